// brevin-sim as a command: its exit codes, the failures it reports when the add-in does not
// do what the scenario expects, and the stage it removes or keeps.
#include <gtest/gtest.h>

#include <fstream>

#include "sim/runner/ChildProcess.h"
#include "sim/runner/RunnerPlatform.h"
#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Command {
  int exitCode = -1;
  std::string output;
  std::string errors;
};

Command runCommand(const SimWorkspace& workspace, const std::vector<std::string>& arguments) {
  const fs::path out = workspace.directory() / "command-out.txt";
  const fs::path err = workspace.directory() / "command-err.txt";
  ChildOptions options;
  options.stdoutFile = out;
  options.stderrFile = err;
  options.timeout = std::chrono::seconds(60);
  const ChildResult child = runChild(builtProgram("brevin-sim"), arguments, options);
  return {child.exitCode, readText(out), readText(err)};
}

std::string lineAfter(const std::string& text, const std::string& marker) {
  const size_t at = text.find(marker);
  if (at == std::string::npos) return std::string();
  const size_t end = text.find_first_of("\r\n", at);
  return text.substr(at + marker.size(), end - at - marker.size());
}

TEST(BrevinSimCommandE2ETest, UnmetExpectationsFailTheRunAndSayWhatHappened) {
  SimWorkspace workspace;
  const SimRun run = workspace.run(
      {{"steps",
        {invokeStep({dialog("synquoGui.dlx", {{{"close", true}}})},
                    {{"expect_dialogs", {"synquoGui.dlx"}},
                     {"expect_message_boxes", {{{"title", "Synquo"}, {"text", "Hello"}}}}}),
         invokeStep({dialog("start.dlx", {{{"expect", {{"signInButton", {{"Label", "Log in"}}}}}},
                                          {{"close", true}}})}),
         {{"wait_for_sign_in", {{"timeout_ms", 100}}}}}}});
  EXPECT_EQ(run.exitCode, 1) << run.failures();
  ASSERT_TRUE(run.transcript.is_object()) << run.failures();
  EXPECT_FALSE(run.transcript.at("ok").get<bool>());
  const std::vector<std::string> failures = run.transcript.at("failures");
  const std::vector<std::string> expected = {
      "The scenario has actions for synquoGui.dlx, but no such dialog was shown when they were due",
      "Invocation 1 showed [start.dlx], expected [synquoGui.dlx]",
      "Invocation 1: 0 message box(es) shown, expected 1",
      "Dialog start.dlx signInButton.Label is \"Sign in to Synquo\", expected \"Log in\"",
      "wait_for_sign_in: no sign-in was started (no successful LocalAuthFlowAuthorize in the "
      "Torvane journal)"};
  EXPECT_EQ(failures, expected);
  EXPECT_NE(run.output.find("Scenario FAILED (5 failure(s))."), std::string::npos) << run.output;
}

TEST(BrevinSimCommandE2ETest, TheNxSessionAndItsFaultsAreWhatTheAddinMeets) {
  SimWorkspace workspace;
  const json fault = {{"call", "UI::CreateDialog"},
                      {"kind", "throw"},
                      {"error_code", 5},
                      {"message", "No dialog today"}};
  const json failedShow = {
      {"expect_dialogs", json::array()},
      {"expect_message_boxes",
       {{{"title", "Block Styler"}, {"type", "Error"}, {"text_contains", "No dialog today"}}}}};
  const SimRun run = workspace.run(
      {{"nx",
        {{"parts",
          {{{"name", "asm"},
            {"full_path", "/models/asm.prt"},
            {"components", {{{"part", "bolt"}}, {{"backing_name", "/models/gone.prt"}}}}},
           {{"name", "bolt"}, {"full_path", "/models/bolt.prt"}}}},
         {"displayed_part", "asm"},
         {"application_module", "modeling"},
         {"print_writes_file", false},
         {"save_outcomes", {{{"part", "bolt"}, {"unsaved_objects", 2}}}},
         {"naming_failures",
          {{"UF_CLONE_perform_clone", {{{"input_name", "/models/bolt.prt"}, {"status", 9}}}}}},
         {"load_failures", {{{"file_name", "/models/gone.prt"}, {"status", 4}}}},
         {"faults", {fault}}}},
       {"steps",
        {invokeStep(json::array(), failedShow),
         invokeStep(json::array(), {{"expect_dialogs", {"start.dlx"}}}),
         {{"nx_faults", {fault}}},
         invokeStep(json::array(), failedShow)}}});
  EXPECT_EQ(run.exitCode, 0) << run.failures();
  EXPECT_EQ(run.transcript.at("nx_violations"), json::array());
}

TEST(BrevinSimCommandE2ETest, TheStageIsRemovedUnlessKept) {
  SimWorkspace workspace;
  const fs::path scenario = workspace.directory() / "plain.json";
  std::ofstream(scenario) << json({{"steps", {invokeStep(json::array())}}}).dump();
  const Command removed = runCommand(workspace, {scenario.u8string()});
  EXPECT_EQ(removed.exitCode, 0) << removed.output << removed.errors;
  const std::string stage = lineAfter(removed.output, "Stage removed: ");
  ASSERT_FALSE(stage.empty()) << removed.output;
  EXPECT_EQ(lineAfter(removed.output, "Stage: "), stage);
  EXPECT_FALSE(fs::exists(fs::u8path(stage)));

  const SimRun kept = workspace.run({{"steps", {invokeStep(json::array())}}});
  EXPECT_EQ(kept.exitCode, 0) << kept.failures();
  EXPECT_TRUE(fs::exists(kept.path("stage_dir") / kept.path("addin").filename()));
  EXPECT_NE(kept.output.find("Stage kept: " + kept.path("stage_dir").u8string()),
            std::string::npos);
}

TEST(BrevinSimCommandE2ETest, BadScenariosAndArgumentsAreRefusedBeforeAnythingRuns) {
  SimWorkspace workspace;
  const fs::path scenario = workspace.directory() / "bad.json";
  std::ofstream(scenario)
      << R"({"steps": [{"invoke": {"dialogs": [{"file": "start.dlx", "actions": [{"push": "x"}]}]}}]})";
  Command bad = runCommand(workspace, {scenario.u8string()});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.errors.find("scenario.steps[0].invoke.dialogs[0].actions[0]: an action is one of"),
            std::string::npos)
      << bad.errors;
  EXPECT_EQ(bad.output.find("Stage"), std::string::npos)
      << "no stage for a scenario that cannot run";

  std::ofstream(scenario, std::ios::trunc) << "{ not json";
  bad = runCommand(workspace, {scenario.u8string()});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.errors.find("is not valid JSON"), std::string::npos) << bad.errors;

  bad = runCommand(workspace, {"--frobnicate", scenario.u8string()});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.errors.find("unknown option --frobnicate"), std::string::npos) << bad.errors;

  bad = runCommand(workspace, {});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.errors.find("no scenario file given"), std::string::npos) << bad.errors;
}

TEST(BrevinSimCommandE2ETest, AnAddinThatCannotBeLoadedIsASetupFailure) {
  SimWorkspace workspace;
  const fs::path scenario = workspace.directory() / "plain.json";
  std::ofstream(scenario) << json({{"steps", {invokeStep(json::array())}}}).dump();
  const fs::path fake = workspace.directory() / "fake" / addinFileName();
  fs::create_directories(fake.parent_path());
  std::ofstream(fake) << "not a module";

  Command command = runCommand(workspace, {"--addin", fake.u8string(), scenario.u8string()});
  EXPECT_EQ(command.exitCode, 3) << command.output << command.errors;
  EXPECT_NE(
      command.errors.find("brevin-sim: Cannot stage " +
                          (fake.parent_path() / torvaneFileName()).u8string() + ": no such file"),
      std::string::npos)
      << command.errors;

  fs::copy_file(builtProgram("brevin-sim").parent_path() / torvaneFileName(),
                fake.parent_path() / torvaneFileName());
  command = runCommand(workspace, {"--addin", fake.u8string(), scenario.u8string()});
  EXPECT_EQ(command.exitCode, 3) << command.output << command.errors;
  EXPECT_NE(command.errors.find("brevin-sim: Cannot load the add-in "), std::string::npos)
      << command.errors;
}

}  // namespace
}  // namespace simrunner::testing
