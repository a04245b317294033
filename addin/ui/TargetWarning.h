// The main dialog's warning that the selected workspace already holds the managed model's
// latest revision. It never blocks the upload.
#pragma once

#include <NXOpen/BlockStyler_BlockDialog.hxx>

namespace ui {

// Asks the service again for a managed model with a selection (the result is kept in the
// main dialog state), then shows or hides the warning; the dialog may be null.
void refreshTargetWarning(NXOpen::BlockStyler::BlockDialog* dialog);

}  // namespace ui
