// The add-in's help context: while one of its dialogs is shown, NX's help key
// opens the add-in's own help through the map file beside the add-in library.
#pragma once

#include <string>

namespace ui {

// Loads the map file and pushes the "synquohelp" context. Returns whether the
// context was pushed; pop only after a successful push. Never raises: failures go to
// the log and count as not pushed.
bool pushHelpContext();

// Pops the context pushed last. Never raises: failures go to the log.
void popHelpContext();

// The UTF-8 path of "synquohelp.map" beside the add-in library, as the UF calls take it,
// computed once. Raises when the add-in's folder cannot be found; the next call then tries
// again.
const std::string& helpMapFilePath();

}  // namespace ui
