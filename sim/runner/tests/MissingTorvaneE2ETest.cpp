// Without the Torvane library beside the add-in every service call fails, every time, with
// the load failure naming the full path where the library was looked for.
#include <gtest/gtest.h>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

using nlohmann::json;

TEST(MissingTorvaneE2ETest, EverySignInClickShowsTheLoadFailureWithTheFullPath) {
  SimWorkspace workspace;
  const SimRun run =
      workspace.run({{"torvane", {{"present", false}}}, {"steps", {pressSignIn(), pressSignIn()}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const std::string expected =
      "Failed to load Torvane library at " + run.path("torvane_library").string();
  const auto boxes = run.events("message_box");
  // The first click, then the pending message and the second click of the next invocation.
  ASSERT_EQ(boxes.size(), 3u) << run.output;
  for (const auto& box : boxes) {
    EXPECT_EQ(box.at("title"), "Synquo");
    EXPECT_EQ(box.at("type"), "Error");
    EXPECT_EQ(box.at("text"), expected);
  }
  EXPECT_TRUE(run.events("url").empty());
  EXPECT_FALSE(std::filesystem::exists(run.path("torvane_journal")));
  EXPECT_FALSE(std::filesystem::exists(run.path("torvane_library")));
}

}  // namespace
}  // namespace simrunner::testing
