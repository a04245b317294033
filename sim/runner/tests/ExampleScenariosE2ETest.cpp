// The example scenarios shipped in sim/scenarios (the demo among them) play through.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> exampleScenarios() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::u8path(SYNQUO_SCENARIOS_DIR))) {
    if (entry.path().extension() == ".json") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(ExampleScenariosE2ETest, EveryExampleScenarioPasses) {
  const auto files = exampleScenarios();
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    SCOPED_TRACE(file.u8string());
    SimWorkspace workspace;
    const SimRun run = workspace.run(nlohmann::json::parse(readText(file)));
    EXPECT_EQ(run.exitCode, 0) << run.failures();
  }
}

}  // namespace
}  // namespace simrunner::testing
