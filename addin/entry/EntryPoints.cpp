// The work behind NX's entry points.
#include "addin/entry/EntryPoints.h"

#include "addin/auth/SessionManager.h"
#include "addin/common/CurrentException.h"
#include "addin/logging/Log.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/ui/Dispatcher.h"
#include "addin/ui/MessageBoxes.h"

namespace synquo {

void runUfusr() noexcept {
  try {
    loadSettings();
    ui::launchAddin();
  } catch (...) {
    try {
      ui::showHandlerFailure();
    } catch (...) {
      // Nothing more can be told without risking NX itself.
    }
  }
}

void runUfusrCleanup() noexcept {
  removeSessionTempDirectory();
  try {
    auth::sessionManager().cancelSignIn();
  } catch (...) {
    try {
      logging::error("Cancelling the sign-in at cleanup failed: ", currentExceptionText());
    } catch (...) {
      // The log itself failed; cleanup goes on regardless.
    }
  }
}

}  // namespace synquo
