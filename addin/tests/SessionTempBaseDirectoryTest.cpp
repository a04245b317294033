// The base of session temporary directories when the OS gives no temporary directory: the
// standard library's is used, and whatever was found is kept for the process.
#include <gtest/gtest.h>

#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/FakePlatform.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using platform::FakePlatform;

TEST(SessionTempBaseDirectory, FallsBackToTheStandardTemporaryDirectoryAndKeepsIt) {
  FakePlatform fake;
  platform::ScopedPlatform scope(fake);
  fake.fail(FakePlatform::Call::TempDirectory);

  const std::optional<fs::path> base = sessionTempBaseDirectory();
  ASSERT_TRUE(base.has_value());
  EXPECT_EQ(*base, fs::temp_directory_path());
  EXPECT_EQ(fake.callCount(FakePlatform::Call::TempDirectory), 1u);

  // Found once, kept: the OS is not asked again, even when it would answer differently now.
  fake.heal(FakePlatform::Call::TempDirectory);
  fake.setTempDirectory(fs::current_path());
  EXPECT_EQ(sessionTempBaseDirectory(), base);
  EXPECT_EQ(fake.callCount(FakePlatform::Call::TempDirectory), 1u);

  const fs::path dir = sessionTempDirectory("model");
  EXPECT_EQ(dir.parent_path(), (*base / "").parent_path());
  removeSessionTempDirectory();
  EXPECT_FALSE(fs::exists(dir));
}

}  // namespace
}  // namespace synquo
