// How the add-in's dialogs close themselves.
#include "addin/ui/DialogWindow.h"

namespace ui {

platform::WindowHandle activeDialogWindow() { return platform::os().activeWindow(); }

bool closeDialogWindow(platform::WindowHandle window) {
  return window != platform::kNoWindow && platform::os().postCloseCommand(window);
}

}  // namespace ui
