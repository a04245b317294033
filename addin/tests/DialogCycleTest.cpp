// The main dialog cycle: the sweep before it, the upload round trips, and the session
// temporary directory removed however the cycle ends.
#include "addin/ui/DialogCycle.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/SessionTempFixture.h"
#include "addin/ui/MainDialogState.h"

namespace ui {
namespace {

using DialogCycle = testsupport::SessionTempFixture;

TEST_F(DialogCycle, CycleRunsTheProgressDialogAndShowsTheMainDialogAgainOnRequest) {
  std::filesystem::create_directory(base_ / "synquo-0123456789abcdef");
  int mainShown = 0;
  std::vector<UploadProgressRequest> requests;
  std::vector<bool> sweptBeforeMain;
  std::filesystem::path exportDirectory;

  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = [&] {
    ++mainShown;
    sweptBeforeMain.push_back(!std::filesystem::exists(base_ / "synquo-0123456789abcdef"));
    MainDialogState& state = mainDialogState();
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
  dialogs.showUploadProgress = [&](const UploadProgressRequest& request) {
    requests.push_back(request);
    exportDirectory = synquo::sessionTempDirectory("model-key");
    return UploadProgressOutcome::UploadAnother;
  };
  runMainDialogCycle(dialogs);

  EXPECT_EQ(mainShown, 2);
  EXPECT_EQ(sweptBeforeMain, (std::vector<bool>{true, true}));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].workspaceId, 9);
  EXPECT_EQ(requests[0].workspaceName, "Beta");
  EXPECT_FALSE(mainDialogState().pendingUpload.has_value());
  EXPECT_FALSE(exportDirectory.empty());
  EXPECT_FALSE(std::filesystem::exists(exportDirectory));
}

TEST_F(DialogCycle, CycleWithoutAProgressDialogLogsTheRequestAndEnds) {
  int mainShown = 0;
  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = [&] {
    ++mainShown;
    mainDialogState().reset();
    mainDialogState().pendingUpload = 42;
  };
  runMainDialogCycle(dialogs);
  EXPECT_EQ(mainShown, 1);
  EXPECT_FALSE(mainDialogState().pendingUpload.has_value());
  EXPECT_TRUE(
      logged("[ERROR] [Synquo] Upload requested to workspace 42 but this build has no "
             "upload progress dialog."));
}

TEST_F(DialogCycle, RemovesTheSessionDirectoryWhenADialogRaises) {
  std::filesystem::path exportDirectory;
  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = [&] {
    exportDirectory = synquo::sessionTempDirectory("model-key");
    throw std::runtime_error("dialog failed");
  };
  EXPECT_THROW(runMainDialogCycle(dialogs), std::runtime_error);
  ASSERT_FALSE(exportDirectory.empty());
  EXPECT_FALSE(std::filesystem::exists(exportDirectory));
}

}  // namespace
}  // namespace ui
