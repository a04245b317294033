// An empty library path loads "torvane-<platform>" from the directory of vantel's own
// module. This test runs from a directory of its own holding a copy of vantel and the full
// fixture under Torvane's file name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <filesystem>
#include <string>

#include "client/bridge/LibraryLoader.h"
#include "client/tests/support/FixtureControl.h"
#include "client/tests/support/TestPaths.h"

namespace vantel {
namespace {

namespace fs = std::filesystem;

TEST(BridgeDefaultPath, AnEmptyPathLoadsTorvaneNextToVantel) {
  DynamicVantelBridge bridge("");
  const fs::path loaded(bridge.libraryPath());
  EXPECT_EQ(loaded.filename().string(), std::string(kTorvaneLibraryFileName));
  EXPECT_TRUE(testing::samePath(loaded.parent_path(), testing::executableDirectory()))
      << bridge.libraryPath();

  testing::FixtureControl fixture(bridge.libraryPath());
  fixture.reset();
  bridge.setLogLevel("warning");
  EXPECT_THAT(fixture.journal(), ::testing::ElementsAre("SetLogLevel(\"warning\")"));

  // The same path given explicitly is the same library; another file is not.
  EXPECT_EQ(DynamicVantelBridge(bridge.libraryPath()).libraryPath(), bridge.libraryPath());
  const std::string other = testing::fullFixturePath();
  try {
    DynamicVantelBridge refused(other);
    FAIL() << "loaded a second library";
  } catch (const VantelException& e) {
    EXPECT_EQ(std::string(e.what()), "Torvane library already loaded from " + bridge.libraryPath() +
                                         ", cannot load " + other);
  }
}

}  // namespace
}  // namespace vantel
