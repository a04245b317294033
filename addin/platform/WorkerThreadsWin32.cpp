// Worker threads on Windows: the thread holds a reference on the add-in DLL while it
// runs and drops it by ending itself with FreeLibraryAndExitThread, so NX may unload
// the add-in only after the last worker is gone.
#include "addin/platform/WorkerThreads.h"

#include <pthread.h>
#include <windows.h>

#include <future>
#include <utility>

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
  std::promise<void> started;
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

void threadBody(std::unique_ptr<Launch> launch) {
  HMODULE module = pinModule();
  launch->started.set_value();
  runTask(std::move(launch));
  if (module != nullptr) {
    // Drops the reference and ends the thread without returning into the module, which
    // may be unmapped by then. The runtime's few bytes of thread start record are not
    // freed on this path; that is the price of never returning.
    FreeLibraryAndExitThread(module, 0);
  }
}

}  // namespace

WorkerThread WorkerThread::start(std::function<void()> task) {
  auto launch = std::make_unique<Launch>();
  launch->task = std::move(task);
  std::future<void> started = launch->started.get_future();
  std::thread thread([launch = std::move(launch)]() mutable { threadBody(std::move(launch)); });
  started.wait();
  return WorkerThread(std::move(thread), nullptr);
}

bool WorkerThread::hasFinished() const {
  if (!thread_.joinable()) return true;
  // std::thread::native_handle() is a winpthreads pthread_t here; the Win32 handle
  // behind it is signalled only once the thread has really ended.
  auto handle =
      static_cast<HANDLE>(pthread_gethandle(const_cast<std::thread&>(thread_).native_handle()));
  return handle != nullptr && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
}

}  // namespace platform
