// The start dialog: what a user who is not signed in sees; its one button starts
// the browser sign-in.
#pragma once

namespace ui {

void showStartDialog();

}  // namespace ui
