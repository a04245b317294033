// How the add-in's dialogs close themselves.
#include "addin/ui/DialogWindow.h"

namespace ui {

platform::WindowHandle activeDialogWindow() { return platform::os().activeWindow(); }

void closeDialogWindow(platform::WindowHandle window) {
  if (window != platform::kNoWindow) platform::os().postCloseCommand(window);
}

}  // namespace ui
