// The steps every add-in dialog takes around NX's modal Show(): create it from its dialog
// file, show it, and give back the help context its dialog-shown handler pushed.
#pragma once

#include <memory>

#include "addin/host/BlockStyler.h"

namespace ui {

// Raises NX's exception when NX has no user interface or the file cannot be loaded.
std::unique_ptr<host::BlockStyler::BlockDialog> createAddinDialog(const char* dialogFile);

// Shows the dialog until it is closed; a failure of Show() is reported in the "Block Styler"
// box. Afterwards the help context is popped when helpPushed says it was pushed, and the flag
// is cleared even when the pop fails.
void showModal(host::BlockStyler::BlockDialog& dialog, bool& helpPushed);

}  // namespace ui
