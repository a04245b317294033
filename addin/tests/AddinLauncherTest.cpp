// What an invocation of the add-in does: the pending sign-in failure, the start dialog or
// the main dialog cycle, and the upload round trips of that cycle.
#include "addin/entry/AddinLauncher.h"

#include <gtest/gtest.h>

#include "addin/auth/SessionManager.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/SessionTempFixture.h"
#include "addin/ui/MainDialogState.h"
#include "sim/nx/NxSim.h"

namespace synquo {
namespace {

using host::NXMessageBox;

std::vector<std::string> shownFiles() {
  std::vector<std::string> files;
  for (const nxsim::DialogRecord& record : nxsim::dialogHistory()) files.push_back(record.file);
  return files;
}

std::vector<std::string> boxTexts(const std::string& title) {
  std::vector<std::string> texts;
  for (const nxsim::MessageBoxRecord& box : nxsim::messageBoxes()) {
    if (box.title == title) texts.push_back(box.text);
  }
  return texts;
}

class AddinLauncher : public testsupport::SessionTempFixture {
 protected:
  AddinLauncher() {
    nxsim::reset();
    nxsim::setDialogDriver([](nxsim::OpenDialog& dialog) { dialog.postClose(); });
    auth::sessionManager().clearSession();
  }
  ~AddinLauncher() override {
    auth::sessionManager().clearSession();
    nxsim::setDialogDriver({});
  }

  static void signIn() {
    const std::shared_ptr<auth::SessionSharedState> state = auth::sessionManager().sharedState();
    std::lock_guard<std::mutex> lock(state->mutex);
    state->tokens.accessToken = "access";
  }
};

TEST_F(AddinLauncher, ShowsTheStartDialogWhenSignedOutAndAPendingFailureOnce) {
  runUfusr();
  EXPECT_EQ(shownFiles(), std::vector<std::string>{"start.dlx"});
  EXPECT_TRUE(nxsim::messageBoxes().empty());

  auth::sessionManager().failSignIn("The browser flow timed out.");
  runUfusr();
  runUfusr();
  EXPECT_EQ(boxTexts("Synquo"), std::vector<std::string>{"The browser flow timed out."});
  EXPECT_EQ(nxsim::messageBoxes().front().type, NXMessageBox::DialogType::Error);
  EXPECT_EQ(shownFiles(), (std::vector<std::string>{"start.dlx", "start.dlx", "start.dlx"}));
}

TEST_F(AddinLauncher, DialogThatCannotBeMadeIsReportedAndTheNextInvocationWorks) {
  nxsim::injectFault({"UI::CreateDialog", nxsim::FaultKind::Throw, 1, false, 1, 1234,
                      "Dialog resources are locked"});
  runUfusr();
  EXPECT_EQ(boxTexts("Block Styler"), std::vector<std::string>{"Dialog resources are locked"});
  EXPECT_TRUE(shownFiles().empty());
  runUfusr();
  EXPECT_EQ(shownFiles(), std::vector<std::string>{"start.dlx"});
}

TEST_F(AddinLauncher, SignedInGoesToTheMainDialogAndStaysSignedIn) {
  signIn();
  runUfusr();
  runUfusr();
  EXPECT_EQ(shownFiles(), (std::vector<std::string>{"synquoGui.dlx", "synquoGui.dlx"}));
  EXPECT_TRUE(auth::sessionManager().isSignedIn());
}

TEST_F(AddinLauncher, CycleRunsTheProgressDialogAndShowsTheMainDialogAgainOnRequest) {
  std::filesystem::create_directory(base_ / "synquo-0123456789abcdef");
  int mainShown = 0;
  std::vector<ui::UploadProgressRequest> requests;
  std::vector<bool> sweptBeforeMain;
  std::filesystem::path exportDirectory;

  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = [&] {
    ++mainShown;
    sweptBeforeMain.push_back(!std::filesystem::exists(base_ / "synquo-0123456789abcdef"));
    ui::MainDialogState& state = ui::mainDialogState();
    state.reset();
    if (mainShown == 1) {
      state.workspaces.resize(2);
      state.workspaces[0].id = 5;
      state.workspaces[0].name = "Alpha";
      state.workspaces[1].id = 9;
      state.workspaces[1].name = "Beta";
      state.pendingUpload = 9;
    }
  };
  dialogs.showUploadProgress = [&](const ui::UploadProgressRequest& request) {
    requests.push_back(request);
    exportDirectory = sessionTempDirectory("model-key");
    return ui::UploadProgressOutcome::UploadAnother;
  };
  runMainDialogCycle(dialogs);

  EXPECT_EQ(mainShown, 2);
  EXPECT_EQ(sweptBeforeMain, (std::vector<bool>{true, true}));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].workspaceId, 9);
  EXPECT_EQ(requests[0].workspaceName, "Beta");
  EXPECT_FALSE(ui::mainDialogState().pendingUpload.has_value());
  EXPECT_FALSE(exportDirectory.empty());
  EXPECT_FALSE(std::filesystem::exists(exportDirectory));
}

TEST_F(AddinLauncher, CycleWithoutAProgressDialogLogsTheRequestAndEnds) {
  int mainShown = 0;
  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = [&] {
    ++mainShown;
    ui::mainDialogState().reset();
    ui::mainDialogState().pendingUpload = 42;
  };
  runMainDialogCycle(dialogs);
  EXPECT_EQ(mainShown, 1);
  EXPECT_FALSE(ui::mainDialogState().pendingUpload.has_value());
  EXPECT_TRUE(
      logged("[ERROR] [Synquo] Upload requested to workspace 42 but this build has no "
             "upload progress dialog."));
}

}  // namespace
}  // namespace synquo
