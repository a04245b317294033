// What an invocation of the add-in shows.
#include "addin/ui/Dispatcher.h"

#include <string>

#include "addin/auth/SessionManager.h"
#include "addin/ui/DialogCycle.h"
#include "addin/ui/MessageBoxes.h"
#include "addin/ui/StartDialog.h"

namespace ui {

void launchAddin() {
  auth::SessionManager& session = auth::sessionManager();
  const std::string pending = session.takePendingMessage();
  if (!pending.empty()) showSynquoError(pending);
  if (session.isSignedIn()) {
    runMainDialogCycle();
  } else {
    showStartDialog();
  }
}

}  // namespace ui
