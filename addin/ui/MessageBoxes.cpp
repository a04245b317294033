// NX message boxes as the add-in shows them.
#include "addin/ui/MessageBoxes.h"

#include <exception>

#include "addin/common/CurrentException.h"
#include "addin/host/Nx.h"
#include "addin/logging/Log.h"

namespace ui {
namespace {

constexpr const char* kSynquoTitle = "Synquo";
constexpr const char* kBlockStylerTitle = "Block Styler";

void show(const char* title, host::NXMessageBox::DialogType type, const std::string& text) {
  host::UI* nxUi = host::nx().GetUI();
  host::NXMessageBox* box = nxUi != nullptr ? nxUi->NXMessageBox() : nullptr;
  if (box == nullptr) {
    // Without NX's user interface the text would be lost; keep it in the log.
    logging::error("Cannot show message box \"", title, "\": ", text);
    return;
  }
  try {
    box->Show(title, type, text);
  } catch (...) {
    logging::error("Message box \"", title, "\" failed (", synquo::currentExceptionText(),
                   "): ", text);
  }
}

}  // namespace

void showSynquoError(const std::string& text) {
  show(kSynquoTitle, host::NXMessageBox::DialogType::Error, text);
}

void showSynquoInformation(const std::string& text) {
  show(kSynquoTitle, host::NXMessageBox::DialogType::Information, text);
}

void showBlockStylerError(const std::string& text) {
  show(kBlockStylerTitle, host::NXMessageBox::DialogType::Error, text);
}

void showHandlerFailure() {
  try {
    throw;
  } catch (const std::exception& error) {
    showBlockStylerError(error.what());
  } catch (...) {
    logging::error("A non-standard exception reached the add-in's edge.");
    showBlockStylerError(synquo::kUnknownExceptionText);
  }
}

}  // namespace ui
