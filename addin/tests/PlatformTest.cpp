// The process's platform accessor, its test override, the forwarding wrapper and the fake's
// fault injection.
#include "addin/platform/Platform.h"

#include <gtest/gtest.h>

#include "addin/platform/PlatformWrapper.h"
#include "addin/tests/support/FakePlatform.h"
#include "addin/tests/support/TestFiles.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using Call = FakePlatform::Call;

TEST(PlatformAccessor, IsTheNativePlatformUnlessReplaced) {
  EXPECT_EQ(&os(), &nativePlatform());
  FakePlatform outer;
  {
    ScopedPlatform outerScope(outer);
    EXPECT_EQ(&os(), &outer);
    FakePlatform inner;
    {
      ScopedPlatform innerScope(inner);
      EXPECT_EQ(&os(), &inner);
    }
    EXPECT_EQ(&os(), &outer);
  }
  EXPECT_EQ(&os(), &nativePlatform());
}

// Breaks only the temporary directory; everything else is the real thing.
class NoTempDirectory : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  fs::path tempDirectory() override { return {}; }
};

TEST(PlatformWrapper, ForwardsEveryCallItDoesNotOverride) {
  FakePlatform fake;
  fake.setAddinModulePath("/opt/nx/brevin.dll");
  fake.setEnvironment("LOCALAPPDATA", "/home/j/local");
  fake.setTempDirectory("/tmp/");
  NoTempDirectory wrapper(fake);
  EXPECT_EQ(&wrapper.target(), &fake);

  EXPECT_EQ(wrapper.addinModuleFile().path, fs::path("/opt/nx/brevin.dll"));
  EXPECT_EQ(wrapper.environmentPath("LOCALAPPDATA"), fs::path("/home/j/local"));
  EXPECT_TRUE(wrapper.tempDirectory().empty());
  testsupport::TempDir dir;
  EXPECT_EQ(wrapper.appendLine(dir.path() / "x.log", "line"), std::error_code());
  LockAttempt lock = wrapper.lockDirectory(dir.path());
  EXPECT_EQ(lock.status, LockStatus::Acquired);
  EXPECT_FALSE(wrapper.isLink(dir.path()));
  fs::create_directory(dir.path() / "sub");
  EXPECT_EQ(wrapper.removeTree(dir.path() / "sub"), std::error_code());
  EXPECT_EQ(wrapper.removeLockedDirectory(std::move(lock.lock)), std::error_code());

  const std::vector<Call> expected{
      Call::AddinModuleFile, Call::EnvironmentPath, Call::AppendLine,           Call::LockDirectory,
      Call::IsLink,          Call::RemoveTree,      Call::RemoveLockedDirectory};
  std::vector<Call> seen;
  for (const auto& record : fake.records()) seen.push_back(record.call);
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(fake.callCount(Call::TempDirectory), 0u);
}

TEST(FakePlatform, StartsWithNothingKnown) {
  FakePlatform fake;
  EXPECT_FALSE(fake.addinModuleFile().found);
  EXPECT_TRUE(fake.environmentPath("LOCALAPPDATA").empty());
  EXPECT_TRUE(fake.tempDirectory().empty());
}

TEST(FakePlatform, FailsACallAfterTheGivenSuccessesUntilHealed) {
  FakePlatform fake;
  fake.setTempDirectory("/tmp/");
  fake.fail(Call::TempDirectory, 2);
  EXPECT_EQ(fake.tempDirectory(), fs::path("/tmp/"));
  EXPECT_EQ(fake.tempDirectory(), fs::path("/tmp/"));
  EXPECT_TRUE(fake.tempDirectory().empty());
  EXPECT_TRUE(fake.tempDirectory().empty());
  fake.heal(Call::TempDirectory);
  EXPECT_EQ(fake.tempDirectory(), fs::path("/tmp/"));
  EXPECT_EQ(fake.callCount(Call::TempDirectory), 5u);
}

TEST(FakePlatform, FailedFileCallsTouchNothing) {
  FakePlatform fake;
  testsupport::TempDir dir;
  fs::create_directory(dir.path() / "kept");
  fake.fail(Call::AppendLine);
  fake.fail(Call::RemoveTree);
  fake.fail(Call::LockDirectory);
  EXPECT_EQ(fake.appendLine(dir.path() / "x.log", "line"), FakePlatform::kInjectedError);
  EXPECT_FALSE(fs::exists(dir.path() / "x.log"));
  EXPECT_EQ(fake.removeTree(dir.path() / "kept"), FakePlatform::kInjectedError);
  EXPECT_TRUE(fs::exists(dir.path() / "kept"));
  EXPECT_EQ(fake.lockDirectory(dir.path() / "kept").status, LockStatus::Failed);
  EXPECT_TRUE(fs::is_empty(dir.path() / "kept"));
  const auto records = fake.records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].text, "line");
  EXPECT_EQ(records[1].path, dir.path() / "kept");
}

TEST(FakePlatform, ADirectoryHeldElsewhereCannotBeLockedUntilReleased) {
  FakePlatform fake;
  testsupport::TempDir dir;
  FakePlatform::holdElsewhere(dir.path());
  EXPECT_EQ(fake.lockDirectory(dir.path()).status, LockStatus::HeldElsewhere);
  FakePlatform::releaseElsewhere(dir.path());
  EXPECT_EQ(fake.lockDirectory(dir.path()).status, LockStatus::Acquired);
}

}  // namespace
}  // namespace platform
