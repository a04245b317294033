// NX message boxes as the add-in shows them: its own notices titled "Synquo",
// and exceptions that escape a dialog handler titled "Block Styler".
#pragma once

#include <string>

namespace ui {

void showSynquoError(const std::string& text);
void showSynquoInformation(const std::string& text);

// Shows an exception's text as NX's Block Styler does for a failed handler.
void showBlockStylerError(const std::string& text);

// Call inside a catch block: shows what was raised in the "Block Styler" box, a standard
// exception with its own text; anything else is logged and shown as a generic text.
void showHandlerFailure();

// Runs a handler body; whatever it raises is shown by showHandlerFailure and swallowed,
// so the handler returns normally to NX.
template <typename Body>
void guardHandler(Body&& body) {
  try {
    body();
  } catch (...) {
    showHandlerFailure();
  }
}

}  // namespace ui
