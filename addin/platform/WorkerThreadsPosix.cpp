// Worker threads on POSIX: the thread pins the add-in module with dlopen and reports
// its end through a flag, since POSIX offers no zero time-out wait on a thread.
#include <dlfcn.h>

#include <atomic>
#include <future>
#include <utility>

#include "addin/platform/WorkerThreads.h"

namespace platform {
namespace {

// Any function of the add-in: its address tells which module to pin.
void moduleAnchor() {}

// Takes one more reference on the module that holds this code. It is never dropped:
// POSIX has no FreeLibraryAndExitThread, so code inside the module cannot safely
// release the last reference to itself. The module therefore stays mapped for the
// life of the process once a worker has run, which is what the add-in wants anyway.
void pinModule() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&moduleAnchor), &info) == 0 ||
      info.dli_fname == nullptr) {
    return;
  }
  // RTLD_NOLOAD: only a reference on the module that is already mapped, never a second
  // copy. A failure leaves the module as pinned as the host keeps it.
  static_cast<void>(dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD));
}

struct Launch {
  std::function<void()> task;
  std::promise<void> started;
  std::shared_ptr<std::atomic<bool>> finished;
};

void runTask(std::unique_ptr<Launch> launch) {
  try {
    launch->task();
  } catch (...) {
    // Swallowed: an exception leaving a worker would end the host process.
  }
}

void threadBody(std::unique_ptr<Launch> launch) {
  pinModule();
  launch->started.set_value();
  std::shared_ptr<std::atomic<bool>> finished = launch->finished;
  runTask(std::move(launch));
  finished->store(true, std::memory_order_release);
}

class PosixThread : public RunningThread {
 public:
  PosixThread(std::thread thread, std::shared_ptr<std::atomic<bool>> finished)
      : thread_(std::move(thread)), finished_(std::move(finished)) {}
  ~PosixThread() override {
    if (thread_.joinable()) thread_.detach();
  }
  bool hasFinished() const override { return finished_->load(std::memory_order_acquire); }
  void wait() override { thread_.join(); }

 private:
  std::thread thread_;
  std::shared_ptr<std::atomic<bool>> finished_;
};

}  // namespace

WorkerThread startNativeWorker(std::function<void()> task) {
  auto launch = std::make_unique<Launch>();
  launch->task = std::move(task);
  launch->finished = std::make_shared<std::atomic<bool>>(false);
  std::future<void> started = launch->started.get_future();
  std::shared_ptr<std::atomic<bool>> finished = launch->finished;
  std::thread thread([launch = std::move(launch)]() mutable { threadBody(std::move(launch)); });
  started.wait();
  const std::thread::id id = thread.get_id();
  return WorkerThread(std::make_unique<PosixThread>(std::move(thread), std::move(finished)), id);
}

}  // namespace platform
