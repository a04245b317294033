// The main dialog's upload button: whether the displayed model may be uploaded to the
// selected workspace now. Unsaved changes, other file types and drawings only warn.
#pragma once

#include <NXOpen/BlockStyler_BlockDialog.hxx>

namespace ui {

// Shows why not in an error box and returns true (blocked); otherwise records the pending
// upload in the main dialog state and returns false.
bool runUploadGate(NXOpen::BlockStyler::BlockDialog* dialog);

}  // namespace ui
