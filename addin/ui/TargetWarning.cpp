// Refreshing the target warning.
#include "addin/ui/TargetWarning.h"

#include "addin/auth/SessionManager.h"
#include "addin/client/ClientSetup.h"
#include "addin/ui/MainDialogState.h"
#include "addin/ui/MessageBoxes.h"
#include "addin/ui/RevisionCheck.h"
#include "addin/ui/WorkspaceSelection.h"

namespace ui {
namespace {

void setWarning(host::BlockStyler::BlockDialog& dialog, const MainDialogState& state) {
  const bool show =
      state.metadata.managed && state.revisionCheck && state.revisionCheck->matchesLatest;
  if (show) {
    if (auto label = dialog.GetBlockProperties("targetWarning")) {
      label->SetString("Label",
                       "This file matches the latest revision in the workspace. Uploading again "
                       "will create a new revision.");
    }
  }
  if (auto group = dialog.GetBlockProperties("targetWarningGroup")) group->SetLogical("Show", show);
}

}  // namespace

void refreshTargetWarning(host::BlockStyler::BlockDialog* dialog) {
  MainDialogState& state = mainDialogState();
  const std::optional<int64_t> workspace = selectedWorkspace(dialog, state);
  if (workspace && state.metadata.managed) {
    state.revisionCheck = checkTargetRevision(*workspace, state.workspaces, auth::sessionManager(),
                                              state.metadata, synquo::clientServiceOperations());
    if (state.revisionCheck->signInExpired) showSynquoInformation(state.revisionCheck->error);
  } else {
    state.revisionCheck.reset();
  }
  if (dialog != nullptr) setWarning(*dialog, state);
}

}  // namespace ui
