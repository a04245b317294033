// The main dialog cycle of a signed-in user: the main dialog, then the upload progress
// dialog when an upload was asked for, and the main dialog again when the user wants to
// upload another model.
#pragma once

#include <functional>

#include "addin/ui/UploadProgressRequest.h"

namespace ui {

// The two dialogs the cycle alternates between.
struct DialogCycleDialogs {
  std::function<void()> showMainDialog;
  // Empty: an upload asked for is logged and the cycle ends.
  std::function<UploadProgressOutcome(const UploadProgressRequest&)> showUploadProgress;
};

// The dialogs of the product.
DialogCycleDialogs productDialogs();

// Runs the cycle on the user-interface thread. Stale temporary directories of earlier
// processes are swept first; the session temporary directory is removed on every way
// out, also when a dialog raises (which is then raised on to the caller).
void runMainDialogCycle();
void runMainDialogCycle(const DialogCycleDialogs& dialogs);

}  // namespace ui
