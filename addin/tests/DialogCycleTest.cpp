// The main dialog cycle: the sweep before it, the upload round trips, and the session
// temporary directory removed however the cycle ends.
#include "addin/ui/DialogCycle.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <thread>

#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/Gate.h"
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
      state.metadata.fileName = "bracket.prt";
      state.metadata.sizeMegabytes = 1.5;
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
    UploadProgressOutcome outcome;
    outcome.uploadAnother = true;
    return outcome;
  };
  runMainDialogCycle(dialogs);

  EXPECT_EQ(mainShown, 2);
  EXPECT_EQ(sweptBeforeMain, (std::vector<bool>{true, true}));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].fileName, "bracket.prt");
  EXPECT_EQ(requests[0].sizeMegabytes, 1.5);
  EXPECT_EQ(requests[0].workspaceName, "Beta");
  // The upload goes to the chosen workspace of the list the dialog loaded, even though the
  // dialog state has been reset since; this model was never exported.
  const UploadExecutionResult uploaded = requests[0].upload();
  EXPECT_TRUE(uploaded.workspaceResolved);
  EXPECT_EQ(uploaded.workspaceId, 9);
  EXPECT_EQ(uploaded.error.rfind("No exported NX file is available for upload.", 0), 0u);
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

TEST_F(DialogCycle, TheProgressDialogNamesAnUnnamedWorkspaceAsTheMainDialogDoes) {
  std::vector<std::string> names;
  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = [] {
    MainDialogState& state = mainDialogState();
    state.reset();
    state.workspaces.resize(1);
    state.workspaces[0].id = 7;
    state.pendingUpload = 7;
  };
  dialogs.showUploadProgress = [&](const UploadProgressRequest& request) {
    names.push_back(request.workspaceName);
    return UploadProgressOutcome();
  };
  runMainDialogCycle(dialogs);
  EXPECT_EQ(names, std::vector<std::string>{"(unnamed workspace)"});
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

TEST_F(DialogCycle, AnUploadThatOutlivesTheCycleKeepsItsFilesUntilItEnds) {
  // The progress dialog gives up (NX could not show it again) while its worker still
  // uploads; the worker holds its own copy of the request, as the product's does.
  const testsupport::Gate release;
  std::filesystem::path exportDirectory;
  bool filesWereThere = false;
  std::thread worker;
  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = [&] {
    const bool first = exportDirectory.empty();
    mainDialogState().reset();
    if (first) mainDialogState().pendingUpload = 9;
  };
  dialogs.showUploadProgress = [&](const UploadProgressRequest& request) {
    exportDirectory = synquo::sessionTempDirectory("model-key");
    std::ofstream(exportDirectory / "bracket.prt") << "model";
    request.prepare();
    worker =
        std::thread([request, release, &filesWereThere, file = exportDirectory / "bracket.prt"] {
          release.wait();
          filesWereThere = std::filesystem::exists(file);
          request.upload();
        });
    return UploadProgressOutcome{};
  };
  runMainDialogCycle(dialogs);
  EXPECT_NE(synquo::sessionTempDirectory("model-key"), exportDirectory) << "a fresh one meanwhile";
  release.open();
  worker.join();
  EXPECT_TRUE(filesWereThere);
  EXPECT_FALSE(std::filesystem::exists(exportDirectory));
}

}  // namespace
}  // namespace ui
