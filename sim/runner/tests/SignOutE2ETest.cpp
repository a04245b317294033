// Signing out from the main dialog: the session is cleared, also when Torvane's logout
// fails, and the next invocation shows the start dialog again.
#include <gtest/gtest.h>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

using nlohmann::json;

json signOut(json boxes) {
  return invokeStep(
      {dialog("synquoGui.dlx", {{{"press", "signOutButton"}}})},
      {{"expect_dialogs", {"synquoGui.dlx"}}, {"expect_message_boxes", std::move(boxes)}});
}

int revokedTokens(const SimRun& run) {
  const json state = run.torvaneStore();
  int revoked = 0;
  for (const auto& [token, record] : state.at("tokens").items()) {
    if (record.value("revoked", false)) ++revoked;
  }
  return revoked;
}

json startDialogAgain() {
  return invokeStep({dialog("start.dlx", {{{"close", true}}})},
                    {{"expect_dialogs", {"start.dlx"}}, {"expect_message_boxes", json::array()}});
}

TEST(SignOutE2ETest, SigningOutOpensTheLogoutPageAndForgetsTheSession) {
  SimWorkspace workspace;
  const SimRun run = workspace.run(
      {{"steps",
        {pressSignIn(), waitForSignIn("success"), signOut(json::array()), startDialogAgain()}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const auto urls = run.events("url");
  ASSERT_EQ(urls.size(), 2u);
  EXPECT_EQ(urls[1].at("url"),
            "https://login.synquo.example/logout?client_id=u8jzPde0IgxLd6GncfBAepfJBd0Kh8oO");
  EXPECT_FALSE(urls[1].at("followed").get<bool>()) << "not a page of this machine";
  const auto logout = run.torvaneCalls("LocalAuthFlowLogout");
  ASSERT_EQ(logout.size(), 1u);
  EXPECT_EQ(logout[0].value("error", ""), "");
  EXPECT_EQ(revokedTokens(run), 1) << "Torvane revoked the session's token";
}

TEST(SignOutE2ETest, AFailingLogoutIsShownAndTheUserIsSignedOutAnyway) {
  SimWorkspace workspace;
  const SimRun run = workspace.run(
      {{"steps",
        {pressSignIn(),
         waitForSignIn("success"),
         {{"set_faults", {{"LocalAuthFlowLogout", {{"error", "revocation failed"}}}}}},
         signOut({{{"title", "Synquo"},
                   {"type", "Error"},
                   {"text", "LocalAuthFlowLogout failed: revocation failed"}}}),
         startDialogAgain()}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  EXPECT_EQ(run.events("url").size(), 1u) << "no logout page without a logout URL";
  const auto logout = run.torvaneCalls("LocalAuthFlowLogout");
  ASSERT_EQ(logout.size(), 1u);
  EXPECT_TRUE(logout[0].value("faulted", false));
  EXPECT_EQ(revokedTokens(run), 0) << "the failed logout revoked nothing";
  EXPECT_TRUE(run.torvaneCalls("GetAllWorkspaces").size() == 1u)
      << "after signing out the add-in asked for nothing more";
}

}  // namespace
}  // namespace simrunner::testing
