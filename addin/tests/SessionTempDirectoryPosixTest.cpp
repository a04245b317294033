// A session directory whose status cannot be read (a link loop in its place, POSIX only).
#include <gtest/gtest.h>

#include <stdexcept>

#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/SessionTempFixture.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;

class SessionTempDirectoryPosix : public testsupport::SessionTempFixture {};

TEST_F(SessionTempDirectoryPosix, AnUnreadableStatusIsAnError) {
  const fs::path dir = sessionTempDirectory("part-A");
  fs::remove_all(dir);
  fs::create_symlink(dir.filename(), dir);
  try {
    sessionTempDirectory("part-A");
    ADD_FAILURE() << "no error for a link loop";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Failed to check session temp directory existence.");
  }
  fs::remove(dir);
  EXPECT_EQ(sessionTempDirectory("part-A"), dir);
  EXPECT_TRUE(fs::is_directory(dir));
}

}  // namespace
}  // namespace synquo
