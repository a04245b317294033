// The sign-in as a designer meets it, played by brevin-sim against the add-in and the Torvane
// stand-in: the start dialog, the browser, the information box and the main dialog after it.
#include <gtest/gtest.h>

#include <algorithm>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

using nlohmann::json;

std::vector<std::string> functions(const SimRun& run) {
  std::vector<std::string> out;
  for (const auto& call : run.torvaneCalls()) out.push_back(call.value("fn", ""));
  return out;
}

TEST(SignInE2ETest, FirstInvocationShowsTheStartDialogAndCallsNoService) {
  SimWorkspace workspace;
  const SimRun run =
      workspace.run({{"steps",
                      {invokeStep(json::array(), {{"expect_dialogs", {"start.dlx"}},
                                                  {"expect_message_boxes", json::array()}})}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const auto shown = run.events("dialog_shown");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].at("file"), "start.dlx");
  ASSERT_EQ(shown[0].at("blocks").size(), 1u);
  EXPECT_EQ(shown[0].at("blocks")[0].at("id"), "signInButton");
  EXPECT_EQ(shown[0].at("blocks")[0].at("type"), "Button");
  // The scenario had nothing for it: brevin-sim closed it and said so.
  EXPECT_EQ(run.events("dialog_unscripted").size(), 1u);
  EXPECT_EQ(run.events("dialog_closed").at(0).at("closed_by"), "close command");
  EXPECT_TRUE(functions(run).empty()) << "nothing is asked of Torvane before a service call";
  EXPECT_TRUE(run.events("url").empty());
}

TEST(SignInE2ETest, SigningInOpensTheBrowserAndTheNextInvocationGreetsTheUser) {
  SimWorkspace workspace;
  const json seed = {
      {"user",
       {{"id", 42},
        {"first_name", "Ada"},
        {"last_name", "Okafor"},
        {"email", "ada.okafor@synquo.example"}}},
      {"workspaces", {{{"id", 501}, {"name", "Brackets"}}, {{"id", 502}, {"name", "Housings"}}}}};
  const SimRun run = workspace.run(
      {{"torvane", {{"seed", seed}}},
       {"steps",
        {pressSignIn(
             {{"expect_dialogs", {"start.dlx"}},
              {"expect_message_boxes",
               {{{"title", "Synquo"}, {"type", "Information"}, {"text", kBrowserOpenedText}}}}}),
         waitForSignIn("success"),
         invokeStep({dialog("synquoGui.dlx",
                            {{{"expect",
                               {{"userGreeting", {{"Label", "Welcome back, Ada Okafor!"}}},
                                {"emailLabel", {{"Label", "ada.okafor@synquo.example"}}}}}},
                             {{"close", true}}})},
                    {{"expect_dialogs", {"synquoGui.dlx"}}})}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();

  const auto urls = run.events("url");
  ASSERT_EQ(urls.size(), 1u);
  const std::string url = urls[0].at("url");
  EXPECT_EQ(url.rfind("http://127.0.0.1:", 0), 0u) << url;
  EXPECT_NE(url.find("/authorize?state="), std::string::npos) << url;
  EXPECT_TRUE(urls[0].at("followed").get<bool>());
  EXPECT_EQ(urls[0].at("status"), 200);

  const auto second = run.eventsIn(2, "dialog_shown");
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].at("file"), "synquoGui.dlx");
  EXPECT_TRUE(run.eventsIn(2, "message_box").empty());

  const auto calls = functions(run);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0], "Initialize") << "the client is set up before its first call";
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Initialize"), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "LocalAuthFlowAuthorize"), 1);
  for (const auto& call : run.torvaneCalls()) {
    EXPECT_EQ(call.value("error", ""), "") << call.dump();
  }
  EXPECT_EQ(run.torvaneCalls("LocalAuthFlowComplete").size(), 1u);
  EXPECT_EQ(run.torvaneCalls("GetCurrentUser").size(), 1u);
  EXPECT_NE(run.logText().find("[Synquo]"), std::string::npos) << run.path("log_file");
}

TEST(SignInE2ETest, ASecondClickCancelsTheOpenAttemptAndKeepsOnlyTheSecondTokens) {
  SimWorkspace workspace;
  const SimRun run = workspace.run(
      {{"steps",
        {pressSignIn(
             {{"browser_approve", false},
              {"expect_message_boxes", {{{"type", "Information"}, {"text", kBrowserOpenedText}}}}}),
         pressSignIn(
             {{"browser_approve", true},
              {"expect_dialogs", {"start.dlx"}},
              {"expect_message_boxes", {{{"type", "Information"}, {"text", kBrowserOpenedText}}}}}),
         waitForSignIn("success"),
         invokeStep(
             {dialog("synquoGui.dlx",
                     {{{"expect", {{"userGreeting", {{"Label", "Welcome back, Jordan Lee!"}}}}}},
                      {{"wait_ms", 200}},
                      {{"close", true}}})},
             {{"expect_dialogs", {"synquoGui.dlx"}}, {"expect_message_boxes", json::array()}})}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();

  const auto urls = run.events("url");
  ASSERT_EQ(urls.size(), 2u);
  EXPECT_NE(urls[0].at("url"), urls[1].at("url")) << "each attempt has its own state";

  EXPECT_EQ(run.torvaneCalls("LocalAuthFlowAuthorize").size(), 2u);
  const auto completions = run.torvaneCalls("LocalAuthFlowComplete");
  ASSERT_EQ(completions.size(), 2u);
  int abandoned = 0;
  int succeeded = 0;
  for (const auto& c : completions) {
    const std::string error = c.value("error", "");
    if (error.empty()) ++succeeded;
    if (error.find("abandoned") != std::string::npos) ++abandoned;
  }
  EXPECT_EQ(abandoned, 1);
  EXPECT_EQ(succeeded, 1);
  // Only the second attempt fetched a profile, and the main dialog uses its token.
  const auto profiles = run.torvaneCalls("GetCurrentUser");
  ASSERT_EQ(profiles.size(), 1u);
  const auto lists = run.torvaneCalls("GetAllWorkspaces");
  ASSERT_FALSE(lists.empty());
  const json profileToken = profiles[0].at("args").at("token");
  EXPECT_FALSE(profileToken.get<std::string>().empty());
  for (const auto& list : lists)
    EXPECT_EQ(list.at("args").at("token"), profileToken) << list.dump();
}

}  // namespace
}  // namespace simrunner::testing
