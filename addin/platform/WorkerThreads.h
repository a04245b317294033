// Worker threads that keep the add-in module loaded while they run, so that NX may
// ask the add-in to clean up while a worker still waits, without unmapping its code.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace platform {

// One worker thread. Like std::thread it is movable, not copyable, and either empty
// or holds one thread until it is joined or detached. Unlike std::thread, dropping
// a worker that was neither joined nor detached detaches it: a worker is never killed
// and never takes the host process down.
//
// Not itself thread-safe: one worker object is used by one thread at a time (the
// session guards its worker with its own mutex).
class WorkerThread {
 public:
  // An empty worker: not joinable, nothing to wait for.
  WorkerThread() noexcept;

  // Starts `task` on a new thread. The thread first takes a reference on the add-in
  // module (on Windows it drops it again by ending itself with FreeLibraryAndExitThread;
  // elsewhere it keeps it for the life of the process). start() returns only after the
  // new thread has done so, so the module is pinned before the caller goes on.
  //
  // The task should not throw. Whatever it throws is swallowed on the worker: an
  // exception must not end the host process.
  // Raises std::system_error when no thread can be created; the task is then dropped.
  static WorkerThread start(std::function<void()> task);

  WorkerThread(WorkerThread&& other) noexcept;
  // Detaches the thread this worker held, if any, then takes over `other`'s.
  WorkerThread& operator=(WorkerThread&& other) noexcept;
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;
  ~WorkerThread();

  bool joinable() const noexcept;

  // The thread's id; the default id for an empty worker.
  std::thread::id id() const noexcept;

  // Whether the thread has run to its very end (including the release of the module
  // reference where there is one). Never blocks: a wait with a zero time-out. An empty
  // worker counts as finished.
  bool hasFinished() const;

  // Waits for the thread, as std::thread::join: raises std::system_error with
  // std::errc::resource_deadlock_would_occur when called on the worker thread itself,
  // and std::errc::invalid_argument for an empty worker. The worker is empty afterwards.
  void join();

  // Lets the thread run on by itself; the worker is empty afterwards. Raises
  // std::system_error with std::errc::invalid_argument for an empty worker.
  void detach();

 private:
  WorkerThread(std::thread thread, std::shared_ptr<std::atomic<bool>> finished) noexcept;

  std::thread thread_;
  // Set by the thread as the last thing it does, where the platform offers no wait on
  // the thread itself (Windows waits on the thread handle instead).
  std::shared_ptr<std::atomic<bool>> finished_;
};

// The parts that are the same on every platform; start() and hasFinished() are
// in WorkerThreadsWin32.cpp and WorkerThreadsPosix.cpp.

inline WorkerThread::WorkerThread() noexcept = default;

inline WorkerThread::WorkerThread(std::thread thread,
                                  std::shared_ptr<std::atomic<bool>> finished) noexcept
    : thread_(std::move(thread)), finished_(std::move(finished)) {}

inline WorkerThread::WorkerThread(WorkerThread&& other) noexcept
    : thread_(std::move(other.thread_)), finished_(std::move(other.finished_)) {}

inline WorkerThread& WorkerThread::operator=(WorkerThread&& other) noexcept {
  if (this != &other) {
    if (thread_.joinable()) thread_.detach();
    thread_ = std::move(other.thread_);
    finished_ = std::move(other.finished_);
  }
  return *this;
}

inline WorkerThread::~WorkerThread() {
  if (thread_.joinable()) thread_.detach();
}

inline bool WorkerThread::joinable() const noexcept { return thread_.joinable(); }

inline std::thread::id WorkerThread::id() const noexcept { return thread_.get_id(); }

inline void WorkerThread::join() {
  thread_.join();
  finished_.reset();
}

inline void WorkerThread::detach() {
  thread_.detach();
  finished_.reset();
}

}  // namespace platform
