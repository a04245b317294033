// One contract, every implementation: the fake, the native platform of this build (POSIX on
// Linux, Win32 under wine) and the forwarding wrapper around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "addin/platform/Platform.h"
#include "addin/platform/PlatformWrapper.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/FakePlatform.h"
#include "addin/tests/support/Gate.h"
#include "addin/tests/support/Links.h"
#include "addin/tests/support/MessageLoop.h"
#include "addin/tests/support/Process.h"
#include "addin/tests/support/TestFiles.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::Gate;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

const char* const kVariable = "BREVIN_CONFORMANCE_VALUE";

class PlatformConformance : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "fake") {
      fake_ = std::make_unique<FakePlatform>();
      fake_->setAddinModulePath(testsupport::selfExecutablePath());
      fake_->setTempDirectory(fs::temp_directory_path() / "");
      subject_ = fake_.get();
    } else if (GetParam() == "native") {
      subject_ = &nativePlatform();
    } else {
      wrapper_ = std::make_unique<PlatformWrapper>(nativePlatform());
      subject_ = wrapper_.get();
    }
    setVariable(std::nullopt);
  }
  void TearDown() override { testsupport::setEnvironmentVariable(kVariable, std::nullopt); }

  void setVariable(const std::optional<fs::path>& value) {
    if (fake_) {
      fake_->setEnvironment(kVariable, value.value_or(fs::path()));
    } else {
      testsupport::setEnvironmentVariable(kVariable, value);
    }
  }

  Platform& subject() { return *subject_; }

  // The calling thread's message loop; the fake's timers fire when the loop turns.
  bool loopUntil(const std::function<bool()>& done, std::chrono::milliseconds atMost) {
    if (!fake_) return testsupport::runMessageLoopUntil(done, atMost);
    const auto deadline = std::chrono::steady_clock::now() + atMost;
    for (;;) {
      fake_->fireTimers();
      if (done()) return true;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(5ms);
    }
  }

  TempDir dir_{"brevin-conformance-J\xc3\xb6rg"};

 private:
  std::unique_ptr<FakePlatform> fake_;
  std::unique_ptr<PlatformWrapper> wrapper_;
  Platform* subject_ = nullptr;
};

using testsupport::makeDirectoryLink;

TEST_P(PlatformConformance, ModuleFileNamesTheModuleHoldingTheAddinCode) {
  const ModuleFile module = subject().addinModuleFile();
  ASSERT_TRUE(module.found);
  ASSERT_FALSE(module.path.empty());
  EXPECT_TRUE(module.path.is_absolute());
  EXPECT_TRUE(fs::equivalent(module.path, testsupport::selfExecutablePath()));
}

TEST_P(PlatformConformance, EnvironmentPathReadsTheVariableInFull) {
  EXPECT_TRUE(subject().environmentPath(kVariable).empty());

  setVariable(dir_.path());
  EXPECT_EQ(subject().environmentPath(kVariable), dir_.path());

  // Longer than the first buffer of 260 characters.
  const fs::path longValue = dir_.path() / std::string(600, 'x');
  setVariable(longValue);
  EXPECT_EQ(subject().environmentPath(kVariable), longValue);

  setVariable(fs::path());
  EXPECT_TRUE(subject().environmentPath(kVariable).empty());
}

TEST_P(PlatformConformance, TempDirectoryIsAnExistingAbsoluteDirectoryEndingInASeparator) {
  const fs::path temp = subject().tempDirectory();
  ASSERT_FALSE(temp.empty());
  EXPECT_TRUE(temp.is_absolute());
  EXPECT_TRUE(fs::is_directory(temp));
  EXPECT_FALSE(temp.has_filename()) << temp.string();
}

TEST_P(PlatformConformance, AppendLineAddsTheBytesAndCrLfAndCreatesTheFile) {
  const fs::path file = dir_ / "J\xc3\xb6rg.log";
  ASSERT_FALSE(subject().appendLine(file, "first \xe2\x82\xac"));
  EXPECT_EQ(readFile(file), "first \xe2\x82\xac\r\n");
  ASSERT_FALSE(subject().appendLine(file, ""));
  ASSERT_FALSE(subject().appendLine(file, "two\nlines"));
  EXPECT_EQ(readFile(file), "first \xe2\x82\xac\r\n\r\ntwo\nlines\r\n");
}

TEST_P(PlatformConformance, AppendLineNeverCreatesTheDirectory) {
  const fs::path file = dir_ / "missing" / "a.log";
  EXPECT_TRUE(subject().appendLine(file, "line"));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_P(PlatformConformance, ADirectoryLockIsExclusiveUntilReleased) {
  const fs::path locked = dir_ / "locked";
  fs::create_directory(locked);
  LockAttempt first = subject().lockDirectory(locked);
  ASSERT_EQ(first.status, LockStatus::Acquired);
  ASSERT_NE(first.lock, nullptr);
  EXPECT_EQ(first.lock->directory(), locked);
  EXPECT_TRUE(fs::exists(locked / kLockFileName));

  LockAttempt second = subject().lockDirectory(locked);
  EXPECT_EQ(second.status, LockStatus::HeldElsewhere);
  EXPECT_EQ(second.lock, nullptr);

  first.lock.reset();
  EXPECT_TRUE(fs::is_empty(locked)) << "the lock file goes with the lock";
  LockAttempt third = subject().lockDirectory(locked);
  EXPECT_EQ(third.status, LockStatus::Acquired);
}

// Only a holder's open lock file means "held"; one that cannot be opened at all is a failure.
TEST_P(PlatformConformance, ALockFileThatCannotBeOpenedIsAFailureNotAHolder) {
  const fs::path locked = dir_ / "locked";
  fs::create_directories(locked / kLockFileName);
  LockAttempt attempt = subject().lockDirectory(locked);
  EXPECT_EQ(attempt.status, LockStatus::Failed);
  EXPECT_TRUE(attempt.error);
  EXPECT_EQ(attempt.lock, nullptr);
}

TEST_P(PlatformConformance, LockingAMissingDirectoryFails) {
  LockAttempt attempt = subject().lockDirectory(dir_ / "missing");
  EXPECT_EQ(attempt.status, LockStatus::Failed);
  EXPECT_EQ(attempt.lock, nullptr);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_P(PlatformConformance, RemoveLockedDirectoryRemovesEverythingAndFreesTheName) {
  const fs::path locked = dir_ / "locked";
  fs::create_directories(locked / "sub" / "deeper");
  writeFile(locked / "sub" / "deeper" / "part.prt", "x");
  writeFile(locked / "a.pdf", "y");
  LockAttempt attempt = subject().lockDirectory(locked);
  ASSERT_EQ(attempt.status, LockStatus::Acquired);
  EXPECT_FALSE(subject().removeLockedDirectory(std::move(attempt.lock)));
  EXPECT_FALSE(fs::exists(locked));

  fs::create_directory(locked);
  EXPECT_EQ(subject().lockDirectory(locked).status, LockStatus::Acquired);
  EXPECT_TRUE(subject().removeLockedDirectory(nullptr));
}

TEST_P(PlatformConformance, RemoveTreeRemovesFilesAndDirectoriesAndAcceptsAbsence) {
  const fs::path tree = dir_ / "tree";
  fs::create_directories(tree / "a" / "b");
  writeFile(tree / "a" / "b" / "c.txt", "c");
  writeFile(tree / "top.txt", "t");
  fs::permissions(tree / "top.txt", fs::perms::owner_read, fs::perm_options::replace);
  EXPECT_FALSE(subject().removeTree(tree / "a" / ""));
  EXPECT_FALSE(fs::exists(tree / "a"));
  EXPECT_FALSE(subject().removeTree(tree));
  EXPECT_FALSE(fs::exists(tree));
  EXPECT_FALSE(subject().removeTree(tree));

  writeFile(dir_ / "single.txt", "s");
  EXPECT_FALSE(subject().removeTree(dir_ / "single.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "single.txt"));
}

TEST_P(PlatformConformance, RemoveTreeRemovesLinksAndJunctionsWithoutFollowingThem) {
  const fs::path outside = dir_ / "outside";
  fs::create_directory(outside);
  writeFile(outside / "keep.txt", "precious");
  const bool removable = testsupport::linksAreRemovable();
  using MakeLink = bool (*)(const fs::path&, const fs::path&);
  const std::vector<std::pair<std::string, MakeLink>> kinds = {
      {"link", testsupport::makeDirectoryLink}, {"junction", testsupport::makeJunction}};
  for (const auto& [kind, makeLink] : kinds) {
    SCOPED_TRACE(kind);
    const fs::path tree = dir_ / ("tree-" + kind);
    fs::create_directory(tree);
    ASSERT_TRUE(makeLink(outside, tree / "link"));
    EXPECT_TRUE(subject().isLink(tree / "link"));
    EXPECT_FALSE(subject().isLink(tree));
    EXPECT_FALSE(subject().isLink(dir_ / "missing"));

    EXPECT_EQ(!subject().removeTree(tree), removable);
    EXPECT_EQ(!fs::exists(fs::symlink_status(tree)), removable);
    EXPECT_EQ(readFile(outside / "keep.txt"), "precious");

    const fs::path top = dir_ / ("top-" + kind);
    ASSERT_TRUE(makeLink(outside, top));
    EXPECT_EQ(!subject().removeTree(top), removable);
    EXPECT_EQ(!fs::exists(fs::symlink_status(top)), removable);
    EXPECT_EQ(readFile(outside / "keep.txt"), "precious");
  }
}

TEST_P(PlatformConformance, StatusTellsWhatThePathNames) {
  writeFile(dir_ / "file.txt", "x");
  fs::create_directory(dir_ / "sub");
  writeFile(dir_ / "sub" / "keep.txt", "k");
  ASSERT_TRUE(makeDirectoryLink(dir_ / "sub", dir_ / "link"));
  struct Case {
    fs::path path;
    Links links;
    FileType expected;
  };
  std::vector<Case> cases = {
      {dir_ / "file.txt", Links::Follow, FileType::Regular},
      {dir_ / "file.txt", Links::DoNotFollow, FileType::Regular},
      {dir_ / "sub", Links::DoNotFollow, FileType::Directory},
      {dir_ / "sub" / "", Links::Follow, FileType::Directory},
      {dir_ / "missing", Links::Follow, FileType::NotFound},
      {dir_ / "missing" / "deeper", Links::DoNotFollow, FileType::NotFound},
      {dir_ / "file.txt" / "under", Links::Follow, FileType::NotFound},
  };
  cases.push_back({dir_ / "link", Links::Follow, FileType::Directory});
  cases.push_back({dir_ / "link", Links::DoNotFollow, FileType::Link});
  for (const Case& c : cases) {
    FileType type = FileType::Other;
    EXPECT_FALSE(subject().status(c.path, c.links, type)) << c.path.string();
    EXPECT_EQ(type, c.expected) << c.path.string();
  }
}

TEST_P(PlatformConformance, CreateDirectoriesMakesTheWholePathOnce) {
  const fs::path deep = dir_ / "a" / "b" / "c";
  EXPECT_FALSE(subject().createDirectories(deep));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_FALSE(subject().createDirectories(deep)) << "an existing directory is success";
  writeFile(dir_ / "file", "x");
  EXPECT_TRUE(subject().createDirectories(dir_ / "file"));
  EXPECT_TRUE(subject().createDirectories(dir_ / "file" / "below"));
}

TEST_P(PlatformConformance, CreateDirectoryClaimsOnlyAFreshName) {
  const fs::path fresh = dir_ / "fresh";
  EXPECT_FALSE(subject().createDirectory(fresh));
  EXPECT_TRUE(fs::is_directory(fresh));
  EXPECT_TRUE(subject().createDirectory(fresh));
  EXPECT_TRUE(subject().createDirectory(dir_ / "missing" / "child"));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_P(PlatformConformance, CopyFileReplacesTheTargetAndDescribesIt) {
  const fs::path from = dir_ / "J\xc3\xb6rg.prt";
  const fs::path to = dir_ / "copy.prt";
  writeFile(from, std::string("a\0b\r\n", 5));
  writeFile(to, "older and longer content");
  EXPECT_FALSE(subject().copyFile(from, to));
  EXPECT_EQ(readFile(to), std::string("a\0b\r\n", 5));

  std::uintmax_t size = 0;
  EXPECT_FALSE(subject().fileSize(to, Links::Follow, size));
  EXPECT_EQ(size, 5u);
  std::chrono::system_clock::time_point when;
  EXPECT_FALSE(subject().lastWriteTime(to, when));
  const auto distance = std::chrono::system_clock::now() - when;
  EXPECT_LT(std::chrono::abs(distance), std::chrono::minutes(5));

  // A link measures as its target's size, or as no file at all when links are not followed.
  std::error_code noLink;
  fs::create_symlink(to, dir_ / "link.prt", noLink);
  if (!noLink) {
    std::uintmax_t linked = 0;
    EXPECT_FALSE(subject().fileSize(dir_ / "link.prt", Links::Follow, linked));
    EXPECT_EQ(linked, 5u);
    EXPECT_TRUE(subject().fileSize(dir_ / "link.prt", Links::DoNotFollow, linked));
  }

  const fs::path missing = dir_ / "missing.prt";
  EXPECT_TRUE(subject().copyFile(missing, to));
  EXPECT_TRUE(subject().fileSize(missing, Links::Follow, size));
  EXPECT_TRUE(subject().fileSize(dir_.path(), Links::DoNotFollow, size));
  EXPECT_TRUE(subject().lastWriteTime(missing, when));
  EXPECT_EQ(size, 5u) << "a failure leaves the result as it was";
}

TEST_P(PlatformConformance, WalkReportsEveryEntryAndNeverEntersLinks) {
  const fs::path outside = dir_ / "outside";
  fs::create_directory(outside);
  writeFile(outside / "keep.txt", "k");
  const fs::path root = dir_ / "root";
  fs::create_directories(root / "sub" / "deeper");
  writeFile(root / "top.txt", "t");
  writeFile(root / "sub" / "deeper" / "part.prt", "p");
  ASSERT_TRUE(makeDirectoryLink(outside, root / "sub" / "link"));

  struct Case {
    Depth depth;
    std::set<std::pair<std::string, FileType>> expected;
  };
  const std::vector<Case> cases = {
      {Depth::Children, {{"top.txt", FileType::Regular}, {"sub", FileType::Directory}}},
      {Depth::Everything,
       {{"top.txt", FileType::Regular},
        {"sub", FileType::Directory},
        {"sub/deeper", FileType::Directory},
        {"sub/deeper/part.prt", FileType::Regular}}},
  };
  for (Case c : cases) {
    if (c.depth == Depth::Everything) c.expected.insert({"sub/link", FileType::Link});
    std::vector<DirectoryEntry> entries;
    EXPECT_FALSE(subject().walk(root, c.depth, entries));
    std::set<std::pair<std::string, FileType>> seen;
    for (const DirectoryEntry& entry : entries) {
      seen.insert({entry.path.lexically_relative(root).generic_string(), entry.type});
    }
    EXPECT_EQ(seen, c.expected);
    // Parents come before their children.
    for (size_t i = 0; i < entries.size(); ++i) {
      for (size_t j = 0; j < i; ++j) {
        EXPECT_NE(entries[j].path.parent_path(), entries[i].path);
      }
    }
  }

  std::vector<DirectoryEntry> entries;
  EXPECT_TRUE(subject().walk(dir_ / "missing", Depth::Everything, entries));
  EXPECT_TRUE(subject().walk(root / "top.txt", Depth::Everything, entries));
  EXPECT_TRUE(subject().walk(root / "sub" / "link", Depth::Everything, entries));
  EXPECT_TRUE(entries.empty());
}

TEST_P(PlatformConformance, RemoveTakesOneEntryAndAcceptsAbsence) {
  writeFile(dir_ / "file.txt", "x");
  fs::create_directory(dir_ / "empty");
  fs::create_directories(dir_ / "full" / "child");
  struct Case {
    fs::path path;
    bool fails;
  };
  const std::vector<Case> cases = {
      {dir_ / "file.txt", false},
      {dir_ / "empty", false},
      {dir_ / "missing", false},
      {dir_ / "full", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<bool>(subject().remove(c.path)), c.fails) << c.path.string();
    EXPECT_EQ(fs::exists(c.path), c.fails) << c.path.string();
  }
}

TEST_P(PlatformConformance, ReadFileGivesTheWholeContentOrAnError) {
  const std::string bytes = std::string("first \xe2\x82\xac\r\n\0", 12) + std::string(40000, 'z');
  writeFile(dir_ / "J\xc3\xb6rg.properties", bytes);
  std::string content = "before";
  EXPECT_FALSE(subject().readFile(dir_ / "J\xc3\xb6rg.properties", content));
  EXPECT_EQ(content, bytes);
  for (const fs::path& unreadable : {dir_ / "missing", dir_.path()}) {
    content = "before";
    EXPECT_TRUE(subject().readFile(unreadable, content)) << unreadable.string();
    EXPECT_EQ(content, "before");
  }
}

TEST_P(PlatformConformance, ThreadTimerRepeatsOnlyInTheLoopOfTheThreadThatSetIt) {
  std::atomic<int> fired{0};
  std::atomic<bool> elsewhere{false};
  const std::thread::id self = std::this_thread::get_id();
  const TimerId timer = subject().setThreadTimer(10, [&] {
    if (std::this_thread::get_id() != self) elsewhere = true;
    ++fired;
  });
  ASSERT_NE(timer, kNoTimer);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(fired, 0) << "nothing runs before the thread's loop turns";
  std::thread([this] { loopUntil([] { return false; }, 50ms); }).join();
  EXPECT_EQ(fired, 0) << "another thread's loop does not deliver it";

  EXPECT_TRUE(loopUntil([&] { return fired >= 3; }, 10s));
  EXPECT_FALSE(elsewhere);
  EXPECT_TRUE(subject().killThreadTimer(timer));
  EXPECT_EQ(subject().setThreadTimer(10, {}), kNoTimer);
}

TEST_P(PlatformConformance, AKilledTimerRunsNoMoreAndReleasesItsCallback) {
  int fired = 0;
  auto owned = std::make_shared<int>(7);
  std::weak_ptr<int> watch = owned;
  const TimerId timer =
      subject().setThreadTimer(10, [&fired, owned = std::move(owned)] { ++fired; });
  ASSERT_NE(timer, kNoTimer);
  ASSERT_TRUE(loopUntil([&] { return fired >= 1; }, 10s));
  EXPECT_TRUE(subject().killThreadTimer(timer));
  EXPECT_TRUE(watch.expired());
  const int firedBeforeKill = fired;
  loopUntil([] { return false; }, 100ms);
  EXPECT_EQ(fired, firedBeforeKill);
  EXPECT_FALSE(subject().killThreadTimer(timer));
  EXPECT_FALSE(subject().killThreadTimer(kNoTimer));
}

TEST_P(PlatformConformance, ATimerCallbackMayKillItsOwnTimerAndSetAnother) {
  std::vector<std::string> fired;
  TimerId first = kNoTimer;
  TimerId second = kNoTimer;
  bool firstKilled = false;
  first = subject().setThreadTimer(10, [&] {
    fired.push_back("first");
    firstKilled = subject().killThreadTimer(first);
    second = subject().setThreadTimer(10, [&] {
      fired.push_back("second");
      subject().killThreadTimer(second);
    });
  });
  ASSERT_NE(first, kNoTimer);
  EXPECT_TRUE(loopUntil([&] { return fired.size() >= 2; }, 10s));
  loopUntil([] { return false; }, 100ms);
  EXPECT_TRUE(firstKilled);
  EXPECT_EQ(fired, (std::vector<std::string>{"first", "second"}));
}

TEST_P(PlatformConformance, WhatATimerCallbackThrowsIsSwallowed) {
  int fired = 0;
  const TimerId timer = subject().setThreadTimer(10, [&fired] {
    ++fired;
    throw std::runtime_error("refresh failed");
  });
  ASSERT_NE(timer, kNoTimer);
  EXPECT_TRUE(loopUntil([&] { return fired >= 2; }, 10s));
  EXPECT_TRUE(subject().killThreadTimer(timer));
}

TEST_P(PlatformConformance, PumpingRunsTheCallingThreadsDueTimersAndReturns) {
  std::atomic<int> fired{0};
  const TimerId timer = subject().setThreadTimer(10, [&fired] { ++fired; });
  ASSERT_NE(timer, kNoTimer);
  std::this_thread::sleep_for(50ms);
  std::thread([this] { subject().pumpMessages(); }).join();
  EXPECT_EQ(fired, 0) << "another thread's pumping does not deliver it";
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (fired == 0 && std::chrono::steady_clock::now() < deadline) {
    subject().pumpMessages();
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_GE(fired, 1);
  EXPECT_TRUE(subject().killThreadTimer(timer));
}

TEST_P(PlatformConformance, ADetachedWorkerRunsOnAfterItsStarterHasReturned) {
  Gate release;
  Gate ended;
  auto owned = std::make_shared<int>(7);
  std::weak_ptr<int> watch = owned;
  [&] {
    subject().startDetachedWorker([release, ended, owned = std::move(owned)] {
      release.wait();
      ended.open();
    });
  }();
  EXPECT_FALSE(ended.waitFor(0ms));
  release.open();
  EXPECT_TRUE(ended.waitFor(10s));
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!watch.expired() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_TRUE(watch.expired()) << "the task goes with its thread";
}

// Only an injected failure can refuse a thread here.
TEST(PlatformFaults, ARefusedDetachedWorkerRaisesSystemErrorAndDropsTheTask) {
  FakePlatform fake;
  fake.fail(FakePlatform::Call::StartDetachedWorker);
  PlatformWrapper wrapped(fake);
  bool ran = false;
  auto owned = std::make_shared<int>(7);
  std::weak_ptr<int> watch = owned;
  EXPECT_THROW(wrapped.startDetachedWorker([&ran, owned = std::move(owned)] { ran = true; }),
               std::system_error);
  EXPECT_TRUE(watch.expired());
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(ran);
}

INSTANTIATE_TEST_SUITE_P(Implementations, PlatformConformance,
                         ::testing::Values("fake", "native", "wrapped"),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                           return param.param;
                         });

}  // namespace
}  // namespace platform
