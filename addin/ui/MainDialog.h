// The main dialog: what a signed-in user sees. It greets the user, lists the
// workspaces and offers sign-out.
#pragma once

namespace ui {

// Shows the dialog modally; returns when it is closed. Fills MainDialogState.
void showMainDialog();

}  // namespace ui
