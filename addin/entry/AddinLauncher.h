// What happens when the user invokes the add-in: any sign-in failure left by the
// worker is shown, then the start dialog or the main dialog cycle.
#pragma once

#include <functional>

#include "addin/ui/UploadProgressRequest.h"

namespace synquo {

// The two dialogs the cycle alternates between.
struct DialogCycleDialogs {
  std::function<void()> showMainDialog;
  // Empty while this build has no upload progress dialog.
  std::function<ui::UploadProgressOutcome(const ui::UploadProgressRequest&)> showUploadProgress;
};

// The dialogs of the product.
DialogCycleDialogs productDialogs();

// What ufusr does: loads the settings and runs the dispatcher; a standard exception
// is shown in the "Block Styler" error box. Never raises.
void runUfusr();

// What ufusr_cleanup does: removes the session temporary directory and cancels a
// running sign-in. Never raises.
void runUfusrCleanup();

// The dispatcher run by ufusr.
void launchAddin();

// Main dialog, then the upload progress dialog when an upload was asked for, and
// the main dialog again when the user wants to upload another model.
void runMainDialogCycle();
void runMainDialogCycle(const DialogCycleDialogs& dialogs);

}  // namespace synquo
