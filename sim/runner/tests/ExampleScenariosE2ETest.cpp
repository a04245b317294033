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
  std::vector<nlohmann::json> scenarios;
  for (const auto& file : files) scenarios.push_back(nlohmann::json::parse(readText(file)));
  SimBatch batch;
  const std::vector<SimRun> runs = batch.run(scenarios);
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(runs[i].exitCode, 0) << files[i].u8string() << "\n" << runs[i].failures();
  }
}

}  // namespace
}  // namespace simrunner::testing
