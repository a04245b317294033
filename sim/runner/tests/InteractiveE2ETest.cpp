// A person at the terminal answers the dialogs and message boxes instead of the scenario,
// which still sets everything up and says when to invoke the add-in.
#include <gtest/gtest.h>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

using nlohmann::json;

TEST(InteractiveE2ETest, APersonSignsInAndClosesTheMainDialog) {
  SimWorkspace workspace;
  const json plainInvoke = {{"invoke", json::object()}};
  const SimRun run = workspace.run(
      {{"steps", {plainInvoke, waitForSignIn("success"), plainInvoke}}}, {"--interactive"},
      "help\ndance\npress nope\npress signInButton\n\nshow\nselect workspaceList 2\nclose\n");
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  EXPECT_NE(run.output.find("press ID              press a button"), std::string::npos);
  EXPECT_NE(run.output.find("Not understood. Type help for the commands."), std::string::npos);
  EXPECT_NE(run.output.find("That did not work: "), std::string::npos) << "an unknown block";

  std::vector<std::string> actions;
  for (const auto& a : run.events("action")) {
    EXPECT_EQ(a.at("by"), "person");
    actions.push_back(a.at("action"));
  }
  EXPECT_EQ(actions, (std::vector<std::string>{"press nope", "press signInButton",
                                               "select workspaceList 2", "close"}));
  const auto boxes = run.events("message_box");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].at("text"), kBrowserOpenedText);
  EXPECT_EQ(boxes[0].at("answer"), 1);
  const auto shown = run.eventsIn(2, "dialog_shown");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].at("file"), "synquoGui.dlx");
}

TEST(InteractiveE2ETest, WithoutInvokeStepsThePersonInvokesUntilQuit) {
  SimWorkspace workspace;
  const SimRun run = workspace.run({{"name", "try"}}, {"--interactive"}, "close\n\nclose\nquit\n");
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  EXPECT_EQ(run.transcript.at("invocations"), 2);
  EXPECT_NE(run.output.find("Invoke the add-in again?"), std::string::npos);
}

TEST(InteractiveE2ETest, TheEndOfTheInputEndsTheRun) {
  SimWorkspace workspace;
  const SimRun run = workspace.run({{"name", "try"}}, {"--interactive"}, "");
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  EXPECT_EQ(run.transcript.at("invocations"), 1);
  EXPECT_EQ(run.events("dialog_closed").size(), 1u);
}

}  // namespace
}  // namespace simrunner::testing
