// The sweep against a real second process: a session directory that another running add-in
// holds is kept, and swept once that process has ended. The test executable plays the second
// process itself, started again with a filter that runs only the child's part.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "addin/platform/Platform.h"
#include "addin/platform/PlatformWrapper.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/Process.h"
#include "addin/tests/support/TestFiles.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::waitUntil;
using testsupport::writeFile;

constexpr const char* kBaseVariable = "BREVIN_LIVE_CHILD_BASE";
constexpr const char* kControlVariable = "BREVIN_LIVE_CHILD_CONTROL";
constexpr std::chrono::seconds kPatience(120);

// The real platform, except that the OS temporary directory is the test's base.
class TempBaseOverride : public platform::PlatformWrapper {
 public:
  explicit TempBaseOverride(const fs::path& base)
      : PlatformWrapper(platform::nativePlatform()), base_(base / "") {}
  fs::path tempDirectory() override { return base_; }

 private:
  fs::path base_;
};

// The second process: takes a session directory, says where, and waits to be released.
class ChildHoldsASessionDirectory : public ::testing::Test {
 public:
  void TestBody() override {
    const fs::path base = platform::nativePlatform().environmentPath(kBaseVariable);
    const fs::path control = platform::nativePlatform().environmentPath(kControlVariable);
    TempBaseOverride override(base);
    platform::ScopedPlatform scope(override);
    const fs::path dir = sessionTempDirectory("child-model");
    writeFile(dir / "export.prt", "uploading");
    writeFile(control / "ready.tmp", platform::toUtf8(dir));
    fs::rename(control / "ready.tmp", control / "ready");
    ASSERT_TRUE(waitUntil([&] { return fs::exists(control / "release"); }, kPatience));
    // Ends without cleaning up, as a process that is killed would.
  }
};

const bool childRegistered = [] {
  if (platform::nativePlatform().environmentPath(kBaseVariable).empty()) return false;
  ::testing::RegisterTest("LiveChild", "HoldsASessionDirectory", nullptr, nullptr, __FILE__,
                          __LINE__,
                          []() -> ::testing::Test* { return new ChildHoldsASessionDirectory(); });
  return true;
}();

TEST(StaleSweepWithLiveProcess, KeepsTheDirectoryOfAnotherRunningSession) {
  ASSERT_FALSE(childRegistered);
  TempDir base("brevin-live-J\xc3\xb6rg");
  TempDir control("brevin-live-control");
  testsupport::setEnvironmentVariable(kBaseVariable, base.path());
  testsupport::setEnvironmentVariable(kControlVariable, control.path());
  std::unique_ptr<testsupport::ChildProcess> child = testsupport::startChild(
      testsupport::selfExecutablePath(), {"--gtest_filter=LiveChild.HoldsASessionDirectory"});
  testsupport::setEnvironmentVariable(kBaseVariable, std::nullopt);
  testsupport::setEnvironmentVariable(kControlVariable, std::nullopt);

  ASSERT_TRUE(
      waitUntil([&] { return fs::exists(control.path() / "ready") || child->wait({}).has_value(); },
                kPatience));
  ASSERT_TRUE(fs::exists(control.path() / "ready")) << "the child ended early";
  const fs::path childDir = platform::fromUtf8(readFile(control.path() / "ready"));
  ASSERT_TRUE(fs::equivalent(childDir.parent_path(), base.path()));

  const fs::path stale = base.path() / "synquo-00000000000000aa";
  fs::create_directories(stale / "managed");
  writeFile(stale / "managed" / "old.prt", "left behind");

  TempBaseOverride override(base.path());
  platform::ScopedPlatform scope(override);
  removeStaleSessionTempDirectories();
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_EQ(readFile(childDir / "export.prt"), "uploading");

  writeFile(control.path() / "release", "");
  ASSERT_EQ(child->wait(kPatience), std::optional<int>(0));
  EXPECT_TRUE(fs::exists(childDir / "export.prt")) << "the child did not clean up";
  removeStaleSessionTempDirectories();
  EXPECT_FALSE(fs::exists(childDir));
}

}  // namespace
}  // namespace synquo
