// A Torvane library that cannot be loaded: every construction in the process fails with the
// first path's message, and the load is never tried again.
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "client/tests/support/TestPaths.h"

namespace vantel {
namespace {

namespace fs = std::filesystem;

std::string failureOf(const std::string& path) {
  try {
    DynamicVantelBridge bridge(path);
  } catch (const VantelException& e) {
    return e.what();
  }
  return "<constructed>";
}

TEST(BridgeLoadFailure, TheFirstFailureIsRememberedForTheWholeProcess) {
  const fs::path directory =
      fs::temp_directory_path() /
      ("vantel-load-failure-" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(directory);
  const fs::path missing = directory / testing::fullFixtureFileName();
  const std::string expected = "Failed to load Torvane library at " + missing.string();

  EXPECT_EQ(failureOf(missing.string()), expected);

  // The library now exists at that path; a second load attempt would succeed.
  fs::copy_file(testing::fullFixturePath(), missing);
  EXPECT_EQ(failureOf(missing.string()), expected);
  EXPECT_EQ(failureOf(testing::fullFixturePath()), expected);
  EXPECT_EQ(failureOf(""), expected);

  std::error_code ignored;
  fs::remove_all(directory, ignored);
}

}  // namespace
}  // namespace vantel
