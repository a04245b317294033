// The main dialog cycle.
#include "addin/ui/DialogCycle.h"

#include <cstdint>

#include "addin/logging/Log.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/ui/MainDialog.h"
#include "addin/ui/MainDialogState.h"

namespace ui {
namespace {

// Exports of the cycle must not outlive it, however it ends.
class SessionTempDirectoryRemoval {
 public:
  SessionTempDirectoryRemoval() = default;
  ~SessionTempDirectoryRemoval() { synquo::removeSessionTempDirectory(); }
  SessionTempDirectoryRemoval(const SessionTempDirectoryRemoval&) = delete;
  SessionTempDirectoryRemoval& operator=(const SessionTempDirectoryRemoval&) = delete;
};

UploadProgressRequest progressRequestFor(const MainDialogState& state, int64_t workspaceId) {
  UploadProgressRequest request;
  request.workspaceId = workspaceId;
  for (const vantel::VantelWorkspace& workspace : state.workspaces) {
    if (workspace.id == workspaceId) {
      request.workspaceName = workspace.name;
      break;
    }
  }
  return request;
}

}  // namespace

DialogCycleDialogs productDialogs() {
  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = showMainDialog;
  return dialogs;
}

void runMainDialogCycle() { runMainDialogCycle(productDialogs()); }

void runMainDialogCycle(const DialogCycleDialogs& dialogs) {
  const SessionTempDirectoryRemoval removal;
  synquo::removeStaleSessionTempDirectories();
  for (;;) {
    dialogs.showMainDialog();
    MainDialogState& state = mainDialogState();
    if (!state.pendingUpload) break;
    const int64_t workspaceId = *state.pendingUpload;
    state.pendingUpload.reset();

    if (!dialogs.showUploadProgress) {
      logging::error("Upload requested to workspace ", workspaceId,
                     " but this build has no upload progress dialog.");
      break;
    }
    if (dialogs.showUploadProgress(progressRequestFor(state, workspaceId)) !=
        UploadProgressOutcome::UploadAnother) {
      break;
    }
    synquo::removeSessionTempDirectory();
  }
}

}  // namespace ui
