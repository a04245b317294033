// NX cleans up and unloads the add-in while its upload worker is still sending and its
// sign-in worker still waits for the browser: the workers finish or wait on in the unloaded
// add-in's place without taking the process down.
#include <gtest/gtest.h>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

using nlohmann::json;

TEST(UnloadE2ETest, WorkersOutliveTheUnloadedAddin) {
  const json scenario = json::parse(R"({
    "torvane": {"auth_timeout": 30},
    "nx": {"parts": [{"name": "bracket", "full_path": "bracket.prt",
                      "unique_identifier": "0b5c4f7e-2d1a-4c3e-9f7a-5e8d6c4b3a21"}],
           "displayed_part": "bracket"},
    "steps": [
      {"invoke": {"dialogs": [{"file": "start.dlx", "actions": [{"press": "signInButton"}]}]}},
      {"wait_for_sign_in": {"timeout_ms": 15000, "expect": "success"}},
      {"set_faults": {"Upload": {"delay_ms": 3000}}},
      {"nx_faults": [{"call": "BlockDialog::Show", "kind": "throw", "nth": 3,
                      "message": "NX could not show the dialog"}]},
      {"invoke": {
        "dialogs": [
          {"file": "synquoGui.dlx", "actions": [{"press": "uploadButton"}]},
          {"file": "uploadProgress.dlx", "actions": [
            {"wait_until": {"block": "sizeSecondaryLabel", "property": "Label",
                            "contains": "Transferring", "timeout_ms": 20000}},
            {"close": true}]}],
        "expect_message_boxes": [{"title": "Block Styler", "text": "NX could not show the dialog"}]}},
      {"invoke": {"dialogs": [{"file": "synquoGui.dlx", "actions": [{"press": "signOutButton"}]}]}},
      {"invoke": {"dialogs": [{"file": "start.dlx", "actions": [{"press": "signInButton"}]}],
                  "browser_approve": false}},
      {"unload": {"wait_ms": 4500}}
    ]})");
  SimWorkspace workspace;
  const SimRun run = workspace.run(scenario);
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const auto uploads = run.torvaneCalls("Upload");
  // Returned after the unload, refused: the sign-out had revoked the token meanwhile.
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_NE(uploads[0].value("error", "").find("401"), std::string::npos);
  EXPECT_EQ(run.torvaneCalls("LocalAuthFlowAuthorize").size(), 2u);
}

}  // namespace
}  // namespace simrunner::testing
