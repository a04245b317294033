// How the add-in's dialogs close themselves: the close command is posted to the
// window that was active when the button was pressed.
#pragma once

#include "addin/platform/Platform.h"

namespace ui {

// The active window now; take it before running the button's action.
platform::WindowHandle activeDialogWindow();

// Posts WM_SYSCOMMAND with SC_CLOSE to the window; with no window the dialog
// stays open. Returns whether the command was posted.
bool closeDialogWindow(platform::WindowHandle window);

}  // namespace ui
