// Worker threads on Windows: _beginthreadex threads that hold a reference on the add-in
// DLL while they run and drop it by ending themselves with FreeLibraryAndExitThread, so NX
// may unload the add-in only after the last worker is gone.
#include <windows.h>
// process.h declares _beginthreadex.
#include <process.h>

#include <future>
#include <system_error>
#include <utility>

#include "addin/platform/WorkerThreads.h"

namespace platform {
namespace {

// Any function of the add-in: its address tells which module to pin.
void moduleAnchor() {}

// Without GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT the module's reference count
// goes up, which is the point. Null when no reference could be taken.
HMODULE pinModule() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCSTR>(&moduleAnchor), &module)) {
    return nullptr;
  }
  return module;
}

struct Launch {
  std::function<void()> task;
  std::promise<std::thread::id> started;
};

// Takes the launch record by value so that the task and everything it owns are gone
// before the thread ends itself below: FreeLibraryAndExitThread never returns, and
// nothing left on the stack would be destroyed.
void runTask(std::unique_ptr<Launch> launch) {
  try {
    launch->task();
  } catch (...) {
    // Swallowed: an exception leaving a worker would end the host process.
  }
}

unsigned __stdcall threadBody(void* argument) {
  std::unique_ptr<Launch> launch(static_cast<Launch*>(argument));
  HMODULE module = pinModule();
  launch->started.set_value(std::this_thread::get_id());
  runTask(std::move(launch));
  if (module != nullptr) {
    // Drops the reference and ends the thread without returning into the module, which
    // may be unmapped by then. The runtime's few bytes of per-thread data are not freed
    // on this path; that is the price of never returning.
    FreeLibraryAndExitThread(module, 0);
  }
  return 0;
}

class Win32Thread : public RunningThread {
 public:
  explicit Win32Thread(HANDLE handle) : handle_(handle) {}
  ~Win32Thread() override {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  // The handle is signalled only once the thread has really ended.
  bool hasFinished() const override { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }
  void wait() override {
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_;
};

}  // namespace

WorkerThread startNativeWorker(std::function<void()> task) {
  auto launch = std::make_unique<Launch>();
  launch->task = std::move(task);
  std::future<std::thread::id> started = launch->started.get_future();
  unsigned threadId = 0;
  const uintptr_t handle = _beginthreadex(nullptr, 0, &threadBody, launch.get(), 0, &threadId);
  if (handle == 0) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                            "_beginthreadex");
  }
  launch.release();  // the thread owns it now
  const std::thread::id id = started.get();
  return WorkerThread(std::make_unique<Win32Thread>(reinterpret_cast<HANDLE>(handle)), id);
}

}  // namespace platform
