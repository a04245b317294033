// The base of session temporary directories when no temporary directory and no current
// directory can be found: every request fails until one can, and then it is kept.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/FakePlatform.h"
#include "addin/tests/support/TestFiles.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using platform::FakePlatform;

TEST(SessionTempBaseDirectory, WithNothingToGoOnEveryRequestFailsAndTriesAgain) {
  const fs::path original = fs::current_path();
  testsupport::TempDir workspace("brevin-base");
  FakePlatform fake;
  platform::ScopedPlatform scope(fake);
  fake.fail(FakePlatform::Call::TempDirectory);

  ::setenv("TMPDIR", (workspace.path() / "missing").c_str(), 1);
  const fs::path vanished = workspace.path() / "cwd";
  fs::create_directory(vanished);
  ASSERT_EQ(::chdir(vanished.c_str()), 0);
  fs::remove(vanished);

  EXPECT_EQ(sessionTempBaseDirectory(), std::nullopt);
  try {
    sessionTempDirectory("model");
    ADD_FAILURE() << "no error without a base directory";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Unable to resolve base directory for session temp files.");
  }
  EXPECT_NO_THROW(removeStaleSessionTempDirectories());
  EXPECT_NO_THROW(removeSessionTempDirectory());
  EXPECT_EQ(fake.callCount(FakePlatform::Call::TempDirectory), 3u);

  ASSERT_EQ(::chdir(original.c_str()), 0);
  ::setenv("TMPDIR", workspace.path().c_str(), 1);
  EXPECT_EQ(sessionTempBaseDirectory(), workspace.path());
  const fs::path dir = sessionTempDirectory("model");
  EXPECT_EQ(dir.parent_path(), workspace.path());
  removeSessionTempDirectory();
  ::unsetenv("TMPDIR");
}

}  // namespace
}  // namespace synquo
