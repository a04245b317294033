// One contract, every implementation: the fake, the native platform of this build (POSIX on
// Linux, Win32 under wine) and the forwarding wrapper around it.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "addin/platform/Platform.h"
#include "addin/platform/PlatformWrapper.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/FakePlatform.h"
#include "addin/tests/support/Process.h"
#include "addin/tests/support/TestFiles.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
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

  TempDir dir_{"brevin-conformance-J\xc3\xb6rg"};

 private:
  std::unique_ptr<FakePlatform> fake_;
  std::unique_ptr<PlatformWrapper> wrapper_;
  Platform* subject_ = nullptr;
};

bool makeDirectoryLink(const fs::path& target, const fs::path& link) {
  std::error_code error;
  fs::create_directory_symlink(target, link, error);
  return !error && fs::exists(link / "keep.txt");
}

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
  ASSERT_TRUE(subject().appendLine(file, "first \xe2\x82\xac"));
  EXPECT_EQ(readFile(file), "first \xe2\x82\xac\r\n");
  ASSERT_TRUE(subject().appendLine(file, ""));
  ASSERT_TRUE(subject().appendLine(file, "two\nlines"));
  EXPECT_EQ(readFile(file), "first \xe2\x82\xac\r\n\r\ntwo\nlines\r\n");
}

TEST_P(PlatformConformance, AppendLineNeverCreatesTheDirectory) {
  const fs::path file = dir_ / "missing" / "a.log";
  EXPECT_FALSE(subject().appendLine(file, "line"));
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
  EXPECT_TRUE(subject().removeLockedDirectory(std::move(attempt.lock)));
  EXPECT_FALSE(fs::exists(locked));

  fs::create_directory(locked);
  EXPECT_EQ(subject().lockDirectory(locked).status, LockStatus::Acquired);
  EXPECT_FALSE(subject().removeLockedDirectory(nullptr));
}

TEST_P(PlatformConformance, RemoveTreeRemovesFilesAndDirectoriesAndAcceptsAbsence) {
  const fs::path tree = dir_ / "tree";
  fs::create_directories(tree / "a" / "b");
  writeFile(tree / "a" / "b" / "c.txt", "c");
  writeFile(tree / "top.txt", "t");
  fs::permissions(tree / "top.txt", fs::perms::owner_read, fs::perm_options::replace);
  EXPECT_TRUE(subject().removeTree(tree / "a" / ""));
  EXPECT_FALSE(fs::exists(tree / "a"));
  EXPECT_TRUE(subject().removeTree(tree));
  EXPECT_FALSE(fs::exists(tree));
  EXPECT_TRUE(subject().removeTree(tree));

  writeFile(dir_ / "single.txt", "s");
  EXPECT_TRUE(subject().removeTree(dir_ / "single.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "single.txt"));
}

TEST_P(PlatformConformance, RemoveTreeRemovesLinksWithoutFollowingThem) {
  const fs::path outside = dir_ / "outside";
  fs::create_directory(outside);
  writeFile(outside / "keep.txt", "precious");
  const fs::path tree = dir_ / "tree";
  fs::create_directory(tree);
  if (!makeDirectoryLink(outside, tree / "link")) {
    GTEST_SKIP() << "directory links cannot be made on this system";
  }
  EXPECT_TRUE(subject().isLink(tree / "link"));
  EXPECT_FALSE(subject().isLink(tree));
  EXPECT_FALSE(subject().isLink(dir_ / "missing"));

  EXPECT_TRUE(subject().removeTree(tree));
  EXPECT_FALSE(fs::exists(tree));
  EXPECT_EQ(readFile(outside / "keep.txt"), "precious");

  ASSERT_TRUE(makeDirectoryLink(outside, dir_ / "toplink"));
  EXPECT_TRUE(subject().removeTree(dir_ / "toplink"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ / "toplink")));
  EXPECT_EQ(readFile(outside / "keep.txt"), "precious");
}

INSTANTIATE_TEST_SUITE_P(Implementations, PlatformConformance,
                         ::testing::Values("fake", "native", "wrapped"),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                           return param.param;
                         });

}  // namespace
}  // namespace platform
