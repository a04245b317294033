// The steps every add-in dialog takes around NX's modal Show().
#include "addin/ui/DialogShowing.h"

#include <NXOpen/NXException.hxx>
#include <NXOpen/UI.hxx>

#include "addin/nx/NxText.h"
#include "addin/ui/HelpContext.h"
#include "addin/ui/MessageBoxes.h"

namespace ui {

std::unique_ptr<NXOpen::BlockStyler::BlockDialog> createAddinDialog(const char* dialogFile) {
  NXOpen::UI* nxUi = NXOpen::UI::GetUI();
  // Raised as NX raises a failure it has only a message for.
  if (nxUi == nullptr) throw NXOpen::NXException::Create("NX user interface is not available.");
  return std::unique_ptr<NXOpen::BlockStyler::BlockDialog>(
      nxUi->CreateDialog(nx::nxText(dialogFile)));
}

void showModal(NXOpen::BlockStyler::BlockDialog& dialog, bool& helpPushed) {
  guardHandler([&dialog] { dialog.Show(); });
  if (!helpPushed) return;
  helpPushed = false;
  try {
    popHelpContext();
  } catch (...) {
    // A failed pop only costs the help key.
  }
}

std::unique_ptr<NXOpen::BlockStyler::PropertyList> blockProperties(
    NXOpen::BlockStyler::BlockDialog& dialog, const std::string& blockId) {
  return std::unique_ptr<NXOpen::BlockStyler::PropertyList>(
      dialog.GetBlockProperties(nx::nxText(blockId)));
}

}  // namespace ui
