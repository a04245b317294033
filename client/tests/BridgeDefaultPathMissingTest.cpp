// An empty library path with no Torvane library next to vantel: the message names the
// default path. This test runs from a directory of its own holding a copy of vantel only.
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <filesystem>
#include <string>

#include "client/bridge/LibraryLoader.h"
#include "client/tests/support/TestPaths.h"

namespace vantel {
namespace {

namespace fs = std::filesystem;

TEST(BridgeDefaultPathMissing, TheMessageNamesTheDefaultPath) {
  const std::string prefix = "Failed to load Torvane library at ";
  std::string message;
  try {
    DynamicVantelBridge bridge("");
  } catch (const VantelException& e) {
    message = e.what();
  }
  ASSERT_EQ(message.compare(0, prefix.size(), prefix), 0) << message;
  const std::string path = message.substr(prefix.size());
  const std::string fileName = std::string(kTorvaneLibraryFileName);
  ASSERT_GT(path.size(), fileName.size() + 1);
  EXPECT_EQ(path.substr(path.size() - fileName.size()), fileName);
  const char separator = path[path.size() - fileName.size() - 1];
  EXPECT_TRUE(separator == '/' || separator == '\\') << path;
  EXPECT_TRUE(testing::samePath(path.substr(0, path.size() - fileName.size() - 1),
                                testing::executableDirectory()))
      << path;

  // Later constructions repeat the same failure, with or without a path.
  for (const std::string& again : {std::string(), testing::fullFixturePath()}) {
    try {
      DynamicVantelBridge bridge(again);
      FAIL() << "constructed after a failed load";
    } catch (const VantelException& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

}  // namespace
}  // namespace vantel
