// The add-in's help context: while one of its dialogs is shown, NX's help key
// opens the add-in's own help through the map file beside the add-in library.
#pragma once

#include <string>

namespace synquo {

// Loads the map file and pushes the "synquohelp" context. Returns whether the
// context was pushed; pop only after a successful push. Failures go to the log.
bool pushHelpContext();

// Pops the context pushed last. Failures go to the log.
void popHelpContext();

// The narrow path of "synquohelp.map" beside the add-in library, computed once.
const std::string& helpMapFilePath();

}  // namespace synquo
