// What happens when the user invokes the add-in.
#include "addin/entry/AddinLauncher.h"

#include <string>

#include "addin/auth/SessionManager.h"
#include "addin/logging/Log.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/ui/MainDialog.h"
#include "addin/ui/MainDialogState.h"
#include "addin/ui/MessageBoxes.h"
#include "addin/ui/StartDialog.h"

namespace synquo {

DialogCycleDialogs productDialogs() {
  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = ui::showMainDialog;
  return dialogs;
}

void runUfusr() {
  try {
    loadSettings();
    launchAddin();
  } catch (const std::exception& error) {
    ui::showBlockStylerError(error.what());
  }
}

void runUfusrCleanup() {
  removeSessionTempDirectory();
  try {
    auth::sessionManager().cancelSignIn();
  } catch (const std::exception& error) {
    logging::error("Cancelling the sign-in at cleanup failed: ", error.what());
  }
}

void launchAddin() {
  auth::SessionManager& session = auth::sessionManager();
  const std::string pending = session.takePendingMessage();
  if (!pending.empty()) ui::showSynquoError(pending);
  if (session.isSignedIn()) {
    runMainDialogCycle();
  } else {
    ui::showStartDialog();
  }
}

void runMainDialogCycle() { runMainDialogCycle(productDialogs()); }

void runMainDialogCycle(const DialogCycleDialogs& dialogs) {
  removeStaleSessionTempDirectories();
  for (;;) {
    dialogs.showMainDialog();
    ui::MainDialogState& state = ui::mainDialogState();
    if (!state.pendingUpload) break;
    const int64_t workspaceId = *state.pendingUpload;
    state.pendingUpload.reset();

    ui::UploadProgressRequest request;
    request.workspaceId = workspaceId;
    for (size_t i = 0; i < state.workspaces.size(); ++i) {
      if (state.workspaces[i].id == workspaceId) {
        request.workspaceName = state.workspaces[i].name;
        break;
      }
    }
    if (!dialogs.showUploadProgress) {
      logging::error("Upload requested to workspace ", workspaceId,
                     " but this build has no upload progress dialog.");
      break;
    }
    if (dialogs.showUploadProgress(request) != ui::UploadProgressOutcome::UploadAnother) break;
    removeSessionTempDirectory();
  }
  removeSessionTempDirectory();
}

}  // namespace synquo
