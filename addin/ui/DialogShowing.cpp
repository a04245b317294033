// The steps every add-in dialog takes around NX's modal Show().
#include "addin/ui/DialogShowing.h"

#include "addin/host/Nx.h"
#include "addin/host/NxException.h"
#include "addin/ui/HelpContext.h"
#include "addin/ui/MessageBoxes.h"

namespace ui {

std::unique_ptr<host::BlockStyler::BlockDialog> createAddinDialog(const char* dialogFile) {
  host::UI* nxUi = host::nx().GetUI();
  if (nxUi == nullptr) throw host::NxException(1, "NX user interface is not available.");
  return nxUi->CreateDialog(dialogFile);
}

void showModal(host::BlockStyler::BlockDialog& dialog, bool& helpPushed) {
  guardHandler([&dialog] { dialog.Show(); });
  if (!helpPushed) return;
  helpPushed = false;
  try {
    popHelpContext();
  } catch (...) {
    // A failed pop only costs the help key.
  }
}

}  // namespace ui
