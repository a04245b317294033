// Filling the stage a run loads the add-in from, and where the add-in's log will be.
#include "sim/runner/Stage.h"

#include <gtest/gtest.h>

#include <fstream>

#include "sim/runner/RunnerPlatform.h"
#include "sim/runner/tests/support/SimRun.h"

namespace simrunner {
namespace {

namespace fs = std::filesystem;
using testing::readText;

class StageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(source_);
    fs::create_directories(stageDir_);
    write(source_ / addinFileName(), "module");
    write(source_ / torvaneFileName(), "torvane");
    write(source_ / "synquohelp.map", "map");
  }
  void TearDown() override { fs::remove_all(dir_); }
  static void write(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
  }
  fs::path dir_ = makeTemporaryDirectory("stage-test-");
  fs::path source_ = dir_ / "bin";
  fs::path stageDir_ = dir_ / "stage";
};

TEST_F(StageTest, CopiesTheModulesAndWritesTheProperties) {
  const Scenario scenario = parseScenario({{"properties", {{"synquo_nx_log_level", "DEBUG"}}},
                                           {"faults", {{"GetCurrentUser", {{"error", "x"}}}}}});
  const Stage stage = prepareStage(scenario, stageDir_, source_ / addinFileName());
  EXPECT_EQ(stage.addin, stageDir_ / addinFileName());
  EXPECT_EQ(readText(stage.addin), "module");
  EXPECT_EQ(readText(stageDir_ / torvaneFileName()), "torvane");
  EXPECT_EQ(stage.torvaneLibrary, stageDir_ / torvaneFileName());
  EXPECT_EQ(readText(stageDir_ / "synquohelp.map"), "map");
  EXPECT_EQ(readText(stageDir_ / "synquo.properties"), "synquo_nx_log_level=DEBUG\n");
  EXPECT_EQ(nlohmann::json::parse(readText(stage.faultsFile)), scenario.faults);
  EXPECT_EQ(stage.torvaneHome, stageDir_ / "torvane-home");
  EXPECT_TRUE(fs::is_directory(stage.torvaneHome));
  EXPECT_TRUE(stage.seedFile.empty());
  EXPECT_FALSE(fs::exists(stage.torvaneJournal));
}

TEST_F(StageTest, WithoutPropertiesNoFileAndWithoutTorvaneNoLibrary) {
  const Stage stage = prepareStage(parseScenario({{"torvane", {{"present", false}}}}), stageDir_,
                                   source_ / addinFileName());
  EXPECT_FALSE(fs::exists(stageDir_ / "synquo.properties"));
  EXPECT_FALSE(fs::exists(stageDir_ / torvaneFileName()));
  EXPECT_EQ(stage.torvaneLibrary, stageDir_ / torvaneFileName());
}

TEST_F(StageTest, WithoutStagingTheModuleIsUsedInPlace) {
  const Stage stage =
      prepareStage(parseScenario({{"stage", false}}), stageDir_, source_ / addinFileName());
  EXPECT_EQ(stage.addin, source_ / addinFileName());
  EXPECT_FALSE(fs::exists(stageDir_ / addinFileName()));
  EXPECT_TRUE(fs::exists(stage.faultsFile)) << "journals and faults still live in the stage";
}

TEST_F(StageTest, AMissingModuleIsNamed) {
  fs::remove(source_ / torvaneFileName());
  try {
    prepareStage(parseScenario(nlohmann::json::object()), stageDir_, source_ / addinFileName());
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot stage " + (source_ / torvaneFileName()).u8string() + ": no such file");
  }
}

TEST_F(StageTest, SeedsAreWrittenOrFoundBesideTheScenario) {
  Stage stage = prepareStage(
      parseScenario({{"torvane", {{"seed", {{"workspaces", nlohmann::json::array()}}}}}}),
      stageDir_, source_ / addinFileName());
  EXPECT_EQ(nlohmann::json::parse(readText(stage.seedFile)).at("workspaces"),
            nlohmann::json::array());

  Scenario scenario = parseScenario({{"torvane", {{"seed", "catalog.json"}, {"home", "store"}}}});
  scenario.directory = dir_;
  EXPECT_THROW(prepareStage(scenario, stageDir_, source_ / addinFileName()), std::runtime_error);
  write(dir_ / "catalog.json", "{}");
  stage = prepareStage(scenario, stageDir_, source_ / addinFileName());
  EXPECT_EQ(stage.seedFile, dir_ / "catalog.json");
  EXPECT_EQ(stage.torvaneHome, dir_ / "store");
}

TEST_F(StageTest, FaultsAreReplacedWhole) {
  const Stage stage =
      prepareStage(parseScenario(nlohmann::json::object()), stageDir_, source_ / addinFileName());
  EXPECT_EQ(readText(stage.faultsFile), "{}\n");
  writeFaults(stage.faultsFile, {{"GetAllWorkspaces", {{"delay_ms", 5}}}});
  EXPECT_EQ(nlohmann::json::parse(readText(stage.faultsFile)).at("GetAllWorkspaces").at("delay_ms"),
            5);
  EXPECT_FALSE(fs::exists(stage.faultsFile.string() + ".partial"));
}

TEST_F(StageTest, TheLogIsWhereThePropertiesOrTheEnvironmentPutIt) {
  Scenario scenario = parseScenario({{"properties", "synquo_nx_log_directory = logs \n"}});
  Stage stage;
  stage.addin = stageDir_ / addinFileName();
  EXPECT_EQ(expectedLogFile(scenario, stage, "/ignored"),
            stageDir_ / "logs" / "synquo-integration.log");
  scenario =
      parseScenario({{"properties", {{"synquo_nx_log_directory", (dir_ / "abs").u8string()}}}});
  EXPECT_EQ(expectedLogFile(scenario, stage, ""), dir_ / "abs" / "synquo-integration.log");
  scenario = parseScenario(nlohmann::json::object());
  EXPECT_EQ(expectedLogFile(scenario, stage, (dir_ / "local").u8string()),
            dir_ / "local" / "Synquo" / "NX" / "logs" / "synquo-integration.log");
  EXPECT_EQ(expectedLogFile(scenario, stage, ""), stageDir_ / "synquo-integration.log");
}

TEST(PropertyValueTest, ReadsTheLastValueOfAKeyIgnoringComments) {
  const std::string text = "# a=1\n! b=2\n a = 3 \nother=x\na=4\nnoequals\n";
  EXPECT_EQ(propertyValue(text, "a"), "4");
  EXPECT_EQ(propertyValue(text, "b"), "");
  EXPECT_EQ(propertyValue(text, "other"), "x");
}

}  // namespace
}  // namespace simrunner
