// NX message boxes as the add-in shows them: its own notices titled "Synquo",
// and exceptions that escape a dialog handler titled "Block Styler".
#pragma once

#include <exception>
#include <string>

namespace ui {

void showSynquoError(const std::string& text);
void showSynquoInformation(const std::string& text);

// Shows an exception's text as NX's Block Styler does for a failed handler.
void showBlockStylerError(const std::string& text);

// Runs a handler body; a standard exception is shown in the "Block Styler" box
// and swallowed, so the handler returns normally to NX.
template <typename Body>
void guardHandler(Body&& body) {
  try {
    body();
  } catch (const std::exception& error) {
    showBlockStylerError(error.what());
  }
}

}  // namespace ui
