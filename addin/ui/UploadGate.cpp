// The upload gate.
#include "addin/ui/UploadGate.h"

#include "addin/settings/PropertiesFile.h"
#include "addin/ui/MainDialogState.h"
#include "addin/ui/MessageBoxes.h"
#include "addin/ui/WorkspaceSelection.h"

namespace ui {

bool runUploadGate(NXOpen::BlockStyler::BlockDialog* dialog) {
  MainDialogState& state = mainDialogState();
  const synquo::ModelMetadata& m = state.metadata;
  if (!m.traceabilityError.empty()) {
    showSynquoError(m.traceabilityError);
    return true;
  }
  if (m.legacyIdentifier && !synquo::fixLegacyIdEnabled()) {
    showSynquoError(
        "Legacy file(s) detected. Upload is disabled because synquo_fix_legacy_id is off in "
        "synquo.properties. Enable synquo_fix_legacy_id and restart NX, or open a non-legacy NX "
        "file.");
    return true;
  }
  const std::optional<int64_t> workspace = selectedWorkspace(dialog, state);
  if (!workspace) {
    showSynquoError(
        "Select a Synquo workspace before uploading. If the workspace list is empty, sign in "
        "again or refresh the Synquo dialog.");
    return true;
  }
  state.pendingUpload = *workspace;
  return false;
}

}  // namespace ui
