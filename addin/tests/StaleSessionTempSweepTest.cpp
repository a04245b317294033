// The sweep of session temporary directories left behind: what goes and what stays.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/Links.h"
#include "addin/tests/support/SessionTempFixture.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using platform::FakePlatform;
using testsupport::readFile;
using testsupport::writeFile;

class StaleSweep : public testsupport::SessionTempFixture {
 protected:
  fs::path makeStale(const std::string& name) {
    const fs::path dir = base_ / name;
    fs::create_directories(dir / "managed" / "deeper");
    writeFile(dir / "managed" / "deeper" / "part.prt", "exported");
    writeFile(dir / "drawing.pdf", "printed");
    return dir;
  }
};

TEST_F(StaleSweep, RemovesLeftoverSessionDirectoriesWithTheirContent) {
  const fs::path stale = makeStale("synquo-0123456789abcdef");
  removeStaleSessionTempDirectories();
  EXPECT_FALSE(fs::exists(stale));
}

// Only a session directory's own name makes a candidate: the prefix alone is someone else's.
TEST_F(StaleSweep, TakesOnlyNamesOfSixteenLowerCaseHexDigits) {
  const std::vector<std::string> others = {"synquo-anything", "synquo-0123456789ABCDEF",
                                           "synquo-0123456789abcdef0", "synquo-0123456789abcde"};
  for (const std::string& name : others) makeStale(name);
  removeStaleSessionTempDirectories();
  for (const std::string& name : others) EXPECT_TRUE(fs::exists(base_ / name / "drawing.pdf"));
}

TEST_F(StaleSweep, LeavesFilesOtherPrefixesAndOtherEntriesAlone) {
  writeFile(base_ / "synquo-0123456789abcdef", "a file, not a directory");
  const fs::path other = makeStale("other-0123456789abcdef");
  const fs::path upper = makeStale("SYNQUO-1123456789abcdef");
  removeStaleSessionTempDirectories();
  EXPECT_EQ(readFile(base_ / "synquo-0123456789abcdef"), "a file, not a directory");
  EXPECT_TRUE(fs::exists(other / "drawing.pdf"));
  // The prefix is compared as written.
  EXPECT_TRUE(fs::exists(upper / "drawing.pdf"));
}

TEST_F(StaleSweep, KeepsTheCurrentDirectoryAndItsKey) {
  const fs::path current = sessionTempDirectory("part-A");
  writeFile(current / "export.prt", "in use");
  const fs::path stale = makeStale("synquo-00000000000000aa");
  removeStaleSessionTempDirectories();
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_EQ(readFile(current / "export.prt"), "in use");
  EXPECT_EQ(sessionTempDirectory("part-A"), current);
}

TEST_F(StaleSweep, KeepsADirectoryThatALiveSessionHolds) {
  const fs::path held = makeStale("synquo-00000000000000bb");
  platform::FakePlatform::holdElsewhere(held);
  removeStaleSessionTempDirectories();
  EXPECT_TRUE(fs::exists(held / "drawing.pdf"));
  // Its process ended: the next sweep takes it.
  platform::FakePlatform::releaseElsewhere(held);
  removeStaleSessionTempDirectories();
  EXPECT_FALSE(fs::exists(held));
}

// A live session always holds its lock, so a lock that cannot even be tried is nobody's.
TEST_F(StaleSweep, RemovesADirectoryWhoseLockCannotBeTried) {
  const fs::path stale = makeStale("synquo-00000000000000cc");
  fs::create_directories(stale / platform::kLockFileName);  // no file can be opened there
  removeStaleSessionTempDirectories();
  EXPECT_FALSE(fs::exists(stale));
}

TEST_F(StaleSweep, NeverFollowsALinkOrJunctionOutOfTheBase) {
  const bool removable = testsupport::linksAreRemovable();
  using MakeLink = bool (*)(const fs::path&, const fs::path&);
  struct Kind {
    const char* name;
    MakeLink make;
    const char* holding;  // a stale directory with a link inside
    const char* named;    // a link of a session directory's name
  };
  const std::vector<Kind> kinds = {{"link", testsupport::makeDirectoryLink,
                                    "synquo-00000000000000d1", "synquo-00000000000000e1"},
                                   {"junction", testsupport::makeJunction,
                                    "synquo-00000000000000d2", "synquo-00000000000000e2"}};
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    testsupport::TempDir outside("brevin-outside");
    writeFile(outside.path() / "precious.txt", "keep me");
    const fs::path stale = makeStale(kind.holding);
    ASSERT_TRUE(kind.make(outside.path(), stale / "link"));
    ASSERT_TRUE(kind.make(outside.path(), base_ / kind.named));
    removeStaleSessionTempDirectories();
    // Wine cannot remove the links it reports, so there they stay, and so does what holds one.
    EXPECT_EQ(!fs::exists(fs::symlink_status(stale)), removable);
    EXPECT_EQ(!fs::exists(fs::symlink_status(base_ / kind.named)), removable);
    EXPECT_EQ(readFile(outside.path() / "precious.txt"), "keep me");
  }
}

TEST_F(StaleSweep, RetentionSkipsTheSweep) {
  configure("True");
  const fs::path stale = makeStale("synquo-00000000000000ff");
  removeStaleSessionTempDirectories();
  EXPECT_TRUE(fs::exists(stale / "drawing.pdf"));
  EXPECT_TRUE(
      logged("[DEBUG] [Synquo] Skipping stale temp directory cleanup because "
             "synquo_nx_retain_temp_files is true."));
  EXPECT_EQ(addin_.platform().callCount(FakePlatform::Call::LockDirectory), 0u);
}

TEST_F(StaleSweep, AnEmptyBaseIsFine) { EXPECT_NO_THROW(removeStaleSessionTempDirectories()); }

}  // namespace
}  // namespace synquo
