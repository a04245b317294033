// A Torvane library without a required export (CreateDirectory): no bridge can be built
// from it, and the failure names the export.
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <string>

#include "client/tests/support/TestPaths.h"

namespace vantel {
namespace {

std::string failureOf(const std::string& path) {
  try {
    DynamicVantelBridge bridge(path);
  } catch (const VantelException& e) {
    return e.what();
  }
  return "<constructed>";
}

TEST(BridgeMissingRequired, ConstructionNamesTheMissingExportEveryTime) {
  const std::string path = testing::noCreateDirectoryFixturePath();
  EXPECT_EQ(failureOf(path), "Missing symbol: CreateDirectory");
  // The library stays loaded; binding it again fails the same way.
  EXPECT_EQ(failureOf(path), "Missing symbol: CreateDirectory");
  EXPECT_EQ(failureOf(""), "Missing symbol: CreateDirectory");
}

TEST(BridgeMissingRequired, TheLoadedLibraryStillBlocksAnother) {
  const std::string loaded = testing::noCreateDirectoryFixturePath();
  EXPECT_EQ(failureOf(loaded), "Missing symbol: CreateDirectory");
  const std::string full = testing::fullFixturePath();
  EXPECT_EQ(failureOf(full),
            "Torvane library already loaded from " + loaded + ", cannot load " + full);
}

}  // namespace
}  // namespace vantel
