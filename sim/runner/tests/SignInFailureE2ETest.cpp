// A sign-in that fails inside Torvane reaches the designer as a "Synquo" error box: at the
// next invocation, once, before the start dialog; a failure to start also at once.
#include <gtest/gtest.h>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

using nlohmann::json;

json errorBox(const std::string& text) {
  return {{"title", "Synquo"}, {"type", "Error"}, {"text", text}};
}

json startDialogOnly(json boxes) {
  return invokeStep(
      {dialog("start.dlx", {{{"close", true}}})},
      {{"expect_dialogs", {"start.dlx"}}, {"expect_message_boxes", std::move(boxes)}});
}

class WorkerFailureTest : public ::testing::TestWithParam<const char*> {};

TEST_P(WorkerFailureTest, ReachesTheUserAtTheNextInvocationOnce) {
  const std::string function = GetParam();
  SimWorkspace workspace;
  const SimRun run = workspace.run(
      {{"faults", {{function, {{"error", "identity provider unavailable"}}}}},
       {"steps",
        {pressSignIn(
             {{"expect_message_boxes",
               {{{"title", "Synquo"}, {"type", "Information"}, {"text", kBrowserOpenedText}}}}}),
         waitForSignIn("failure"),
         startDialogOnly({errorBox(function + " failed: identity provider unavailable")}),
         startDialogOnly(json::array())}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const auto faulted = run.torvaneCalls(function);
  ASSERT_EQ(faulted.size(), 1u);
  EXPECT_TRUE(faulted[0].value("faulted", false));
  // The error box comes before the start dialog of that invocation.
  const auto& events = run.transcript.at("events");
  int boxAt = -1;
  int dialogAt = -1;
  int current = 0;
  for (int i = 0; i < static_cast<int>(events.size()); ++i) {
    const auto& e = events[static_cast<size_t>(i)];
    if (e.value("event", "") == "invocation") current = e.value("index", 0);
    if (current != 2) continue;
    if (e.value("event", "") == "message_box" && boxAt < 0) boxAt = i;
    if (e.value("event", "") == "dialog_shown" && dialogAt < 0) dialogAt = i;
  }
  EXPECT_LT(boxAt, dialogAt);
}

INSTANTIATE_TEST_SUITE_P(SignInFailureE2ETest, WorkerFailureTest,
                         ::testing::Values("LocalAuthFlowComplete", "GetCurrentUser"));

TEST(SignInFailureE2ETest, AnAuthorizeFailureShowsAtOnceAndOnceMoreAtTheNextInvocation) {
  SimWorkspace workspace;
  const std::string text = "LocalAuthFlowAuthorize failed: client not registered";
  const SimRun run =
      workspace.run({{"faults", {{"LocalAuthFlowAuthorize", {{"error", "client not registered"}}}}},
                     {"steps",
                      {pressSignIn({{"expect_message_boxes", {errorBox(text)}}}),
                       startDialogOnly({errorBox(text)}), startDialogOnly(json::array())}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  EXPECT_TRUE(run.events("url").empty()) << "no browser without an authorization URL";
  EXPECT_TRUE(run.torvaneCalls("LocalAuthFlowComplete").empty());
}

TEST(SignInFailureE2ETest, AFailedAttemptCanBeFollowedByASuccessfulOne) {
  SimWorkspace workspace;
  const SimRun run = workspace.run(
      {{"faults", {{"LocalAuthFlowComplete", {{"error", "access_denied: user cancelled"}}}}},
       {"steps",
        {pressSignIn(),
         waitForSignIn("failure"),
         {{"set_faults", json::object()}},
         pressSignIn({{"expect_message_boxes",
                       {errorBox("LocalAuthFlowComplete failed: access_denied: user cancelled"),
                        {{"type", "Information"}, {"text", kBrowserOpenedText}}}}}),
         waitForSignIn("success"),
         invokeStep(
             {dialog("synquoGui.dlx",
                     {{{"expect", {{"userGreeting", {{"Label", "Welcome back, Jordan Lee!"}}}}}},
                      {{"close", true}}})},
             {{"expect_dialogs", {"synquoGui.dlx"}}})}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
}

}  // namespace
}  // namespace simrunner::testing
