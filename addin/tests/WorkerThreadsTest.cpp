// Worker threads that pin the add-in module: start, the zero time-out finished check,
// join, detach and what happens to a worker nobody waits for.
#include "addin/platform/Platform.h"
#include "addin/tests/support/Gate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace platform {
namespace {

using namespace std::chrono_literals;

using testsupport::Gate;

// The thread ends a little after its task; bounded, so a fault fails instead of hanging.
bool waitUntilFinished(const WorkerThread& worker) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!worker.hasFinished()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST(WorkerThreads, TaskRunsOnTheWorkerItsIdNames) {
  std::promise<std::thread::id> ranOn;
  WorkerThread worker =
      nativePlatform().startWorker([&ranOn] { ranOn.set_value(std::this_thread::get_id()); });
  ASSERT_TRUE(worker.joinable());
  const std::thread::id id = worker.id();
  EXPECT_NE(id, std::this_thread::get_id());
  EXPECT_EQ(ranOn.get_future().get(), id);
  worker.join();
  EXPECT_FALSE(worker.joinable());
  EXPECT_EQ(worker.id(), std::thread::id());
}

TEST(WorkerThreads, StartReturnsWhileTheTaskStillBlocks) {
  Gate release;
  Gate taskEnded;
  WorkerThread worker = nativePlatform().startWorker([release, taskEnded] {
    release.wait();
    taskEnded.open();
  });
  // start() did not wait for the task, only for the thread to begin.
  EXPECT_FALSE(taskEnded.waitFor(0ms));
  release.open();
  worker.join();
  EXPECT_TRUE(taskEnded.waitFor(0ms));
}

TEST(WorkerThreads, HasFinishedOnlyOnceTheThreadHasEnded) {
  Gate release;
  WorkerThread worker = nativePlatform().startWorker([release] { release.wait(); });
  EXPECT_FALSE(worker.hasFinished());
  EXPECT_FALSE(worker.hasFinished());
  release.open();
  ASSERT_TRUE(waitUntilFinished(worker));
  EXPECT_TRUE(worker.joinable());
  worker.join();
}

TEST(WorkerThreads, TaskAndWhatItOwnsAreReleasedBeforeTheThreadEnds) {
  auto owned = std::make_shared<int>(7);
  std::weak_ptr<int> watch = owned;
  WorkerThread worker =
      nativePlatform().startWorker([owned = std::move(owned)] { EXPECT_EQ(*owned, 7); });
  ASSERT_TRUE(waitUntilFinished(worker));
  EXPECT_TRUE(watch.expired());
  worker.join();
}

TEST(WorkerThreads, EmptyWorkerIsFinishedAndRefusesJoinAndDetach) {
  WorkerThread empty;
  EXPECT_FALSE(empty.joinable());
  EXPECT_TRUE(empty.hasFinished());
  EXPECT_EQ(empty.id(), std::thread::id());
  try {
    empty.join();
    FAIL() << "join of an empty worker";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::invalid_argument);
  }
  try {
    empty.detach();
    FAIL() << "detach of an empty worker";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::invalid_argument);
  }
}

TEST(WorkerThreads, JoinFromTheWorkerItselfIsAResourceDeadlock) {
  std::promise<WorkerThread*> self;
  std::shared_future<WorkerThread*> selfReady = self.get_future().share();
  std::promise<std::error_code> joinError;
  WorkerThread worker = nativePlatform().startWorker([selfReady, &joinError] {
    try {
      selfReady.get()->join();
      joinError.set_value(std::error_code());
    } catch (const std::system_error& e) {
      joinError.set_value(e.code());
    }
  });
  self.set_value(&worker);
  EXPECT_EQ(joinError.get_future().get(), std::errc::resource_deadlock_would_occur);
  // The refused join left the worker as it was.
  ASSERT_TRUE(worker.joinable());
  worker.join();
}

TEST(WorkerThreads, DetachedWorkerRunsToItsEnd) {
  Gate release;
  Gate taskEnded;
  WorkerThread worker = nativePlatform().startWorker([release, taskEnded] {
    release.wait();
    taskEnded.open();
  });
  worker.detach();
  EXPECT_FALSE(worker.joinable());
  EXPECT_TRUE(worker.hasFinished());
  release.open();
  EXPECT_TRUE(taskEnded.waitFor(10s));
}

TEST(WorkerThreads, DroppingAWorkerThatStillRunsDetachesIt) {
  Gate release;
  Gate taskEnded;
  {
    WorkerThread worker = nativePlatform().startWorker([release, taskEnded] {
      release.wait();
      taskEnded.open();
    });
    ASSERT_TRUE(worker.joinable());
  }
  release.open();
  EXPECT_TRUE(taskEnded.waitFor(10s));
}

TEST(WorkerThreads, MoveCarriesTheThreadAndAssignmentDetachesTheOldOne) {
  Gate releaseFirst;
  Gate firstEnded;
  WorkerThread first = nativePlatform().startWorker([releaseFirst, firstEnded] {
    releaseFirst.wait();
    firstEnded.open();
  });
  const std::thread::id firstId = first.id();
  WorkerThread moved(std::move(first));
  EXPECT_FALSE(first.joinable());
  EXPECT_EQ(moved.id(), firstId);

  Gate releaseSecond;
  WorkerThread second = nativePlatform().startWorker([releaseSecond] { releaseSecond.wait(); });
  const std::thread::id secondId = second.id();
  moved = std::move(second);
  EXPECT_EQ(moved.id(), secondId);
  EXPECT_FALSE(moved.hasFinished());

  releaseFirst.open();
  EXPECT_TRUE(firstEnded.waitFor(10s));
  releaseSecond.open();
  moved.join();
}

TEST(WorkerThreads, ExceptionsFromTheTaskDoNotEndTheProcess) {
  WorkerThread standard =
      nativePlatform().startWorker([] { throw std::runtime_error("task failed"); });
  WorkerThread other = nativePlatform().startWorker([] { throw 42; });
  ASSERT_TRUE(waitUntilFinished(standard));
  ASSERT_TRUE(waitUntilFinished(other));
  standard.join();
  other.join();
}

}  // namespace
}  // namespace platform
