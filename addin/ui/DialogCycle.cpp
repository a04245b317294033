// The main dialog cycle.
#include "addin/ui/DialogCycle.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "addin/auth/SessionManager.h"
#include "addin/client/ClientSetup.h"
#include "addin/export/DisplayMetadata.h"
#include "addin/logging/Log.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/ui/MainDialog.h"
#include "addin/ui/MainDialogState.h"
#include "addin/ui/UploadProgressDialog.h"
#include "addin/ui/UploadWorkflow.h"

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

// The metadata and the workspace list are copies of shared ownership: the upload worker may
// outlive the dialogs.
UploadProgressRequest progressRequestFor(const MainDialogState& state, int64_t workspaceId) {
  auto metadata = std::make_shared<synquo::ModelMetadata>(state.metadata);
  auto workspaces = std::make_shared<const std::vector<vantel::VantelWorkspace>>(state.workspaces);
  UploadProgressRequest request;
  request.fileName = metadata->fileName;
  request.sizeMegabytes = metadata->sizeMegabytes;
  if (const vantel::VantelWorkspace* workspace = findWorkspace(*workspaces, workspaceId)) {
    request.workspaceName = workspaceDisplayName(*workspace);
  }
  // The upload reads the files preparation wrote: every copy of the request, the worker's
  // too, keeps their directory until the last of them goes.
  auto files = std::make_shared<std::shared_ptr<const void>>();
  request.prepare = [metadata, files] {
    synquo::prepareUpload(*metadata);
    *files = synquo::holdSessionTempDirectory();
  };
  request.upload = [metadata, workspaces, workspaceId, files] {
    return runUpload(workspaceId, *workspaces, auth::sessionManager(), *metadata,
                     synquo::clientServiceOperations());
  };
  return request;
}

}  // namespace

DialogCycleDialogs productDialogs() {
  DialogCycleDialogs dialogs;
  dialogs.showMainDialog = showMainDialog;
  dialogs.showUploadProgress = showUploadProgress;
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
    if (!dialogs.showUploadProgress(progressRequestFor(state, workspaceId)).uploadAnother) break;
    synquo::removeSessionTempDirectory();
  }
}

}  // namespace ui
