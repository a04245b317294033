// Session temporary directories: one per key, reused, recreated, discarded and retained.
#include "addin/temp/SessionTempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <stdexcept>
#include <thread>

#include "addin/logging/Log.h"
#include "addin/platform/PlatformWrapper.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/FailingPlatform.h"
#include "addin/tests/support/SessionTempFixture.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using platform::FakePlatform;
using testsupport::writeFile;

class SessionTempDirectory : public testsupport::SessionTempFixture {
 protected:
  void expectFailure(const std::string& key, const std::string& message) {
    try {
      sessionTempDirectory(key);
      ADD_FAILURE() << "no error for key " << key;
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), message.c_str());
    }
  }
  // The base replaced by a file: nothing can be created inside it.
  void replaceBaseWithFile() {
    emptyBase();
    fs::remove(base_);
    writeFile(base_, "not a directory");
  }
  void restoreBase() {
    fs::remove(base_);
    fs::create_directory(base_);
  }
};

TEST(SessionToken, IsSixteenLowerCaseHexDigitsAndFreshEachTime) {
  const std::regex hex("[0-9a-f]{16}");
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    const std::string token = newSessionToken();
    ASSERT_TRUE(std::regex_match(token, hex)) << token;
    seen.insert(token);
  }
  std::thread other([&seen] {
    for (int i = 0; i < 500; ++i) seen.insert(newSessionToken());
  });
  other.join();
  EXPECT_EQ(seen.size(), 2500u);
}

TEST_F(SessionTempDirectory, AFailedFileOperationIsLoggedWithPathAndReasonAndLeavesNothing) {
  configure("false");
  using Operation = platform::FailingPlatform::Operation;
  const std::error_code reason = std::make_error_code(std::errc::permission_denied);
  const std::string base = platform::toUtf8(base_);
  std::string thrown;
  const int failures = platform::failEachOperationInTurn(
      [&] {
        fs::create_directory(base_ / "synquo-00000000000000aa");
        removeStaleSessionTempDirectories();
        thrown.clear();
        try {
          sessionTempDirectory("a");
          sessionTempDirectory("a");
          sessionTempDirectory("b");
        } catch (const std::runtime_error& error) {
          thrown = error.what();
        }
        removeSessionTempDirectory();
      },
      [&](const platform::FailingPlatform& failing) {
        const std::string detail = logging::failureDetail(failing.failedPath(), reason);
        if (!thrown.empty()) {
          EXPECT_TRUE(logged("[ERROR] [Synquo] " + thrown + detail));
        }
        // A name that could not be claimed is retried with another; the log reports its own.
        const bool reported = failing.failedOperation() != Operation::CreateDirectory &&
                              platform::toUtf8(failing.failedPath()).rfind(base, 0) == 0;
        if (reported) {
          const auto entries = logEntries();
          EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
            return entry.find(detail) != std::string::npos;
          })) << detail;
        }
        removeStaleSessionTempDirectories();
        EXPECT_TRUE(fs::is_empty(base_)) << "left behind after a failure and the next sweep";
      },
      reason);
  EXPECT_GT(failures, 5);
}

TEST_F(SessionTempDirectory, TheBaseIsTheOsTemporaryDirectory) {
  const std::optional<fs::path> base = sessionTempBaseDirectory();
  ASSERT_TRUE(base.has_value());
  EXPECT_EQ(base->lexically_normal(), (base_ / "").lexically_normal());
}

TEST_F(SessionTempDirectory, IsNamedAfterANewTokenInTheBase) {
  const fs::path dir = sessionTempDirectory("part-A");
  EXPECT_TRUE(fs::is_directory(dir));
  EXPECT_TRUE(fs::equivalent(dir.parent_path(), base_));
  EXPECT_TRUE(std::regex_match(platform::toUtf8(dir.filename()), std::regex("synquo-[0-9a-f]{16}")))
      << dir.filename();
  EXPECT_NE(platform::toUtf8(dir).find("J\xc3\xb6rg"), std::string::npos);
}

TEST_F(SessionTempDirectory, TheSameKeyGivesTheSamePath) {
  const fs::path first = sessionTempDirectory("part-A");
  writeFile(first / "export.prt", "x");
  EXPECT_EQ(sessionTempDirectory("part-A"), first);
  EXPECT_TRUE(fs::exists(first / "export.prt"));
}

TEST_F(SessionTempDirectory, TheEmptyKeyAndTheDefaultKeyShareADirectory) {
  const fs::path empty = sessionTempDirectory("");
  EXPECT_EQ(sessionTempDirectory("__default__"), empty);
  EXPECT_EQ(sessionTempDirectory(""), empty);
}

TEST_F(SessionTempDirectory, AnotherKeyDiscardsThePreviousDirectory) {
  const fs::path first = sessionTempDirectory("part-A");
  writeFile(first / "export.prt", "x");
  const fs::path second = sessionTempDirectory("part-B");
  EXPECT_NE(second, first);
  EXPECT_FALSE(fs::exists(first));
  EXPECT_TRUE(fs::is_directory(second));
  // Back to the first key: yet another directory.
  const fs::path third = sessionTempDirectory("part-A");
  EXPECT_NE(third, first);
  EXPECT_FALSE(fs::exists(second));
}

TEST_F(SessionTempDirectory, ADirectoryDeletedBehindItsBackIsRecreatedUnderTheSameName) {
  const fs::path first = sessionTempDirectory("part-A");
  fs::remove_all(first);
  ASSERT_FALSE(fs::exists(first));
  EXPECT_EQ(sessionTempDirectory("part-A"), first);
  EXPECT_TRUE(fs::is_directory(first));
  // It is locked again, so a sweep leaves it alone.
  removeStaleSessionTempDirectories();
  EXPECT_TRUE(fs::is_directory(first));
}

TEST_F(SessionTempDirectory, AFileAtThePathIsAnError) {
  const fs::path first = sessionTempDirectory("part-A");
  fs::remove_all(first);
  writeFile(first, "in the way");
  expectFailure("part-A", "Session temp path exists but is not a directory.");
  EXPECT_EQ(testsupport::readFile(first), "in the way");
  fs::remove(first);
  EXPECT_EQ(sessionTempDirectory("part-A"), first);
}

TEST_F(SessionTempDirectory, AMissingDirectoryThatCannotBeCreatedIsAnError) {
  const fs::path first = sessionTempDirectory("part-A");
  replaceBaseWithFile();
  expectFailure("part-A", "Failed to create session temp directory.");
  restoreBase();
  EXPECT_EQ(sessionTempDirectory("part-A"), first);
}

TEST_F(SessionTempDirectory, NoNameThatCanBeCreatedIsAnError) {
  replaceBaseWithFile();
  expectFailure("part-A", "Unable to allocate a unique session temp directory.");
  restoreBase();
  EXPECT_TRUE(fs::is_directory(sessionTempDirectory("part-A")));
}

// A base folder that refuses new folders with one reason, as a read-only TEMP does.
class RefusingFolders : public platform::PlatformWrapper {
 public:
  RefusingFolders(platform::Platform& target, std::error_code reason)
      : PlatformWrapper(target), reason_(reason) {}
  std::error_code createDirectory(const fs::path&) override { return reason_; }
  std::error_code createDirectories(const fs::path&) override { return reason_; }

 private:
  const std::error_code reason_;
};

TEST_F(SessionTempDirectory, ABaseThatRefusesWritesIsNamedWithTheReason) {
  struct Row {
    const char* name;
    std::errc reason;
    bool current;  // the key's directory exists already and vanished, else a new one is made
  };
  const std::vector<Row> rows = {
      {"new directory, permission denied", std::errc::permission_denied, false},
      {"new directory, read-only file system", std::errc::read_only_file_system, false},
      {"vanished directory, permission denied", std::errc::permission_denied, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.current) fs::remove_all(sessionTempDirectory("part-A"));
    const std::error_code reason = std::make_error_code(row.reason);
    std::string reasonText = reason.message();
    if (!reasonText.empty() && reasonText.back() == '.') reasonText.pop_back();
    const std::string message =
        "Synquo cannot create its temporary folder in \"" +
        platform::toUtf8(base_.lexically_normal()) + "\": " + reasonText +
        ". Make sure you can write to that folder, or set TEMP to a folder you can write to, "
        "then try again.";
    {
      RefusingFolders refusing(addin_.platform(), reason);
      platform::ScopedPlatform scope(refusing);
      expectFailure("part-A", message);
    }
    const auto entries = logEntries();
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
      return entry.rfind("[ERROR] [Synquo] " + message + " path=\"", 0) == 0;
    }));
    removeSessionTempDirectory();
    EXPECT_TRUE(fs::is_empty(base_)) << "nothing left behind";
  }
}

// Answers the first lock attempt as if a sweep of another process held the new directory.
class SweepInProgress : public platform::PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  platform::LockAttempt lockDirectory(const fs::path& directory) override {
    if (taken_.empty()) {
      taken_ = directory;
      return {platform::LockStatus::HeldElsewhere, nullptr, {}};
    }
    return PlatformWrapper::lockDirectory(directory);
  }
  fs::path taken_;
};

TEST_F(SessionTempDirectory, ANameHeldByASweepInProgressIsPassedOver) {
  SweepInProgress sweep(addin_.platform());
  platform::ScopedPlatform scope(sweep);
  const fs::path dir = sessionTempDirectory("part-A");
  ASSERT_FALSE(sweep.taken_.empty());
  EXPECT_NE(dir, sweep.taken_);
  EXPECT_TRUE(fs::exists(dir / platform::kLockFileName));
}

// Unlocked, another session's sweep could delete the directory while it is in use.
TEST_F(SessionTempDirectory, ADirectoryThatCannotBeLockedIsNeverHandedOut) {
  platform::FakePlatform& fake = addin_.platform();
  fake.fail(FakePlatform::Call::LockDirectory);
  expectFailure("part-A", "Failed to lock session temp directory.");
  EXPECT_TRUE(fs::is_empty(base_));
  fake.heal(FakePlatform::Call::LockDirectory);
  const fs::path dir = sessionTempDirectory("part-B");
  fs::remove_all(dir);  // recreated, it must be locked anew
  fake.fail(FakePlatform::Call::LockDirectory);
  expectFailure("part-B", "Failed to lock session temp directory.");
  fake.heal(FakePlatform::Call::LockDirectory);
  EXPECT_EQ(sessionTempDirectory("part-B"), dir);
  EXPECT_TRUE(fs::exists(dir / platform::kLockFileName));
}

TEST_F(SessionTempDirectory, RemovalDeletesTheDirectoryAndForgetsIt) {
  const fs::path first = sessionTempDirectory("part-A");
  fs::create_directories(first / "managed" / "sub");
  writeFile(first / "managed" / "sub" / "a.prt", "x");
  removeSessionTempDirectory();
  EXPECT_FALSE(fs::exists(first));
  removeSessionTempDirectory();
  const fs::path again = sessionTempDirectory("part-A");
  EXPECT_NE(again, first);
  EXPECT_TRUE(fs::is_directory(again));
  EXPECT_GE(addin_.platform().callCount(FakePlatform::Call::RemoveLockedDirectory), 1u);
}

TEST_F(SessionTempDirectory, RemovalThatFailsLeavesTheDirectoryButForgetsIt) {
  const fs::path first = sessionTempDirectory("part-A");
  addin_.platform().fail(FakePlatform::Call::RemoveLockedDirectory);
  EXPECT_NO_THROW(removeSessionTempDirectory());
  EXPECT_TRUE(fs::exists(first));
  addin_.platform().heal(FakePlatform::Call::RemoveLockedDirectory);
  EXPECT_NE(sessionTempDirectory("part-A"), first);
  // No longer current nor locked, the leftover goes with the next sweep.
  removeStaleSessionTempDirectories();
  EXPECT_FALSE(fs::exists(first));
}

TEST_F(SessionTempDirectory, RetentionKeepsDirectoriesButStillStartsANewOne) {
  configure("TRUE");
  const fs::path first = sessionTempDirectory("part-A");
  removeSessionTempDirectory();
  EXPECT_TRUE(fs::is_directory(first));
  EXPECT_TRUE(logged(
      "[DEBUG] [Synquo] Skipping temp directory cleanup because synquo_nx_retain_temp_files is "
      "true."));
  EXPECT_FALSE(fs::exists(first / platform::kLockFileName)) << "no longer held";

  const fs::path second = sessionTempDirectory("part-A");
  EXPECT_NE(second, first);
  const fs::path third = sessionTempDirectory("part-B");
  EXPECT_TRUE(fs::is_directory(second));
  EXPECT_TRUE(fs::is_directory(third));
}

TEST_F(SessionTempDirectory, RetentionMessageIsDebugOnly) {
  configure("true", "INFO");
  const fs::path first = sessionTempDirectory("part-A");
  removeSessionTempDirectory();
  EXPECT_TRUE(fs::is_directory(first));
  for (const std::string& entry : logEntries()) {
    EXPECT_EQ(entry.find("Skipping"), std::string::npos) << entry;
  }
}

TEST_F(SessionTempDirectory, ConcurrentRequestsAgreeOnOneDirectory) {
  std::vector<fs::path> seen(4);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&seen, i] {
      for (int round = 0; round < 50; ++round) seen[i] = sessionTempDirectory("shared");
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const fs::path& path : seen) EXPECT_EQ(path, seen[0]);
  EXPECT_TRUE(fs::is_directory(seen[0]));
}

}  // namespace
}  // namespace synquo
