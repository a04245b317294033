// Worker threads that keep the add-in module loaded while they run, so that NX may
// ask the add-in to clean up while a worker still waits, without unmapping its code.
// Platform::startWorker makes them; this is the handle the caller keeps.
#pragma once

#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace platform {

// A started thread as a platform implementation holds it. Destroying it without wait()
// lets the thread run on by itself (a detach).
class RunningThread {
 public:
  virtual ~RunningThread() = default;
  // Whether the thread has run to its very end (including the release of the module
  // reference where there is one). Never blocks.
  virtual bool hasFinished() const = 0;
  // Blocks until the thread has ended. Called at most once, never on the thread itself.
  virtual void wait() = 0;
};

// One worker thread. Like std::thread it is movable, not copyable, and either empty
// or holds one thread until it is joined or detached. Unlike std::thread, dropping
// a worker that was neither joined nor detached detaches it: a worker is never killed
// and never takes the host process down.
//
// The task should not throw. Whatever it throws is swallowed on the worker: an
// exception must not end the host process.
//
// Not itself thread-safe: one worker object is used by one thread at a time (the
// session guards its worker with its own mutex).
class WorkerThread {
 public:
  // An empty worker: not joinable, nothing to wait for.
  WorkerThread() noexcept = default;

  // A worker for a started thread whose id is `id` (the id std::this_thread::get_id()
  // answers on it). Platform implementations make these.
  WorkerThread(std::unique_ptr<RunningThread> thread, std::thread::id id) noexcept
      : thread_(std::move(thread)), id_(thread_ ? id : std::thread::id()) {}

  WorkerThread(WorkerThread&& other) noexcept
      : thread_(std::move(other.thread_)), id_(std::exchange(other.id_, std::thread::id())) {}
  // Detaches the thread this worker held, if any, then takes over `other`'s.
  WorkerThread& operator=(WorkerThread&& other) noexcept {
    if (this != &other) {
      thread_ = std::move(other.thread_);
      id_ = std::exchange(other.id_, std::thread::id());
    }
    return *this;
  }
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;
  ~WorkerThread() = default;

  bool joinable() const noexcept { return thread_ != nullptr; }

  // The thread's id; the default id for an empty worker.
  std::thread::id id() const noexcept { return id_; }

  // Whether the thread has ended; a zero time-out wait. An empty worker counts as finished.
  bool hasFinished() const { return !thread_ || thread_->hasFinished(); }

  // Waits for the thread, as std::thread::join: raises std::system_error with
  // std::errc::resource_deadlock_would_occur when called on the worker thread itself (a
  // wait on oneself never returns), and std::errc::invalid_argument for an empty worker.
  // The worker is empty afterwards.
  void join() {
    if (!thread_) throw std::system_error(std::make_error_code(std::errc::invalid_argument));
    if (id_ == std::this_thread::get_id()) {
      throw std::system_error(std::make_error_code(std::errc::resource_deadlock_would_occur));
    }
    thread_->wait();
    thread_.reset();
    id_ = std::thread::id();
  }

  // Lets the thread run on by itself; the worker is empty afterwards. Raises
  // std::system_error with std::errc::invalid_argument for an empty worker.
  void detach() {
    if (!thread_) throw std::system_error(std::make_error_code(std::errc::invalid_argument));
    thread_.reset();
    id_ = std::thread::id();
  }

 private:
  std::unique_ptr<RunningThread> thread_;
  std::thread::id id_;
};

}  // namespace platform

namespace platform {

// The native way to start a worker (WorkerThreadsWin32.cpp, WorkerThreadsPosix.cpp), behind
// Platform::startWorker of the native platforms.
WorkerThread startNativeWorker(std::function<void()> task);

}  // namespace platform
