// Refreshing the target warning.
#include "addin/ui/TargetWarning.h"

#include "addin/auth/SessionManager.h"
#include "addin/client/ClientSetup.h"
#include "addin/nx/NxText.h"
#include "addin/ui/DialogShowing.h"
#include "addin/ui/MainDialogState.h"
#include "addin/ui/MessageBoxes.h"
#include "addin/ui/RevisionCheck.h"
#include "addin/ui/WorkspaceSelection.h"

namespace ui {
namespace {

void setWarning(NXOpen::BlockStyler::BlockDialog& dialog, const MainDialogState& state) {
  const bool show =
      state.metadata.managed && state.revisionCheck && state.revisionCheck->matchesLatest;
  if (show) {
    if (auto label = blockProperties(dialog, "targetWarning")) {
      label->SetString(nx::nxText("Label"),
                       nx::nxText("This file matches the latest revision in the workspace. "
                                  "Uploading again will create a new revision."));
    }
  }
  if (auto group = blockProperties(dialog, "targetWarningGroup")) {
    group->SetLogical(nx::nxText("Show"), show);
  }
}

}  // namespace

void refreshTargetWarning(NXOpen::BlockStyler::BlockDialog* dialog) {
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
