// What the POSIX platform answers that has no Windows counterpart to compare with.
#include <gtest/gtest.h>

#include <cstdlib>

#include "addin/platform/Platform.h"
#include "addin/tests/support/TestFiles.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(PosixTempDirectory, IsTmpdirOrTmpWithATrailingSeparator) {
  const char* saved = std::getenv("TMPDIR");
  const std::string previous = saved != nullptr ? saved : "";

  ::setenv("TMPDIR", "/var/somewhere", 1);
  EXPECT_EQ(nativePlatform().tempDirectory(), fs::path("/var/somewhere/"));
  ::setenv("TMPDIR", "/var/already/", 1);
  EXPECT_EQ(nativePlatform().tempDirectory(), fs::path("/var/already/"));
  ::setenv("TMPDIR", "", 1);
  EXPECT_EQ(nativePlatform().tempDirectory(), fs::path("/tmp/"));
  ::unsetenv("TMPDIR");
  EXPECT_EQ(nativePlatform().tempDirectory(), fs::path("/tmp/"));

  if (saved != nullptr) ::setenv("TMPDIR", previous.c_str(), 1);
}

TEST(PosixDirectoryLock, ALockFileReplacedBehindTheHoldersBackIsNotRemovedByIt) {
  testsupport::TempDir dir;
  LockAttempt first = nativePlatform().lockDirectory(dir.path());
  ASSERT_EQ(first.status, LockStatus::Acquired);
  // Someone removes the lock file; another holder makes its own.
  fs::remove(dir.path() / kLockFileName);
  LockAttempt second = nativePlatform().lockDirectory(dir.path());
  ASSERT_EQ(second.status, LockStatus::Acquired);
  first.lock.reset();
  EXPECT_TRUE(fs::exists(dir.path() / kLockFileName)) << "the second holder's file stays";
  EXPECT_EQ(nativePlatform().lockDirectory(dir.path()).status, LockStatus::HeldElsewhere);
}

}  // namespace
}  // namespace platform
