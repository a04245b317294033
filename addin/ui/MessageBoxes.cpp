// NX message boxes as the add-in shows them.
#include "addin/ui/MessageBoxes.h"

#include <exception>

#include <NXOpen/NXMessageBox.hxx>
#include <NXOpen/UI.hxx>

#include "addin/common/CurrentException.h"
#include "addin/logging/Log.h"
#include "addin/nx/NxText.h"

namespace ui {
namespace {

constexpr const char* kSynquoTitle = "Synquo";
constexpr const char* kBlockStylerTitle = "Block Styler";

void show(const char* title, NXOpen::NXMessageBox::DialogType type, const std::string& text) {
  NXOpen::UI* nxUi = NXOpen::UI::GetUI();
  NXOpen::NXMessageBox* box = nxUi != nullptr ? nxUi->NXMessageBox() : nullptr;
  if (box == nullptr) {
    // Without NX's user interface the text would be lost; keep it in the log.
    logging::error("Cannot show message box \"", title, "\": ", text);
    return;
  }
  try {
    box->Show(nx::nxText(title), type, nx::nxText(text));
  } catch (...) {
    logging::error("Message box \"", title, "\" failed (", synquo::currentExceptionText(),
                   "): ", text);
  }
}

}  // namespace

void showSynquoError(const std::string& text) {
  show(kSynquoTitle, NXOpen::NXMessageBox::DialogTypeError, text);
}

void showSynquoInformation(const std::string& text) {
  show(kSynquoTitle, NXOpen::NXMessageBox::DialogTypeInformation, text);
}

void showBlockStylerError(const std::string& text) {
  show(kBlockStylerTitle, NXOpen::NXMessageBox::DialogTypeError, text);
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
