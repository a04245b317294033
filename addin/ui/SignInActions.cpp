// The sign-in and sign-out actions.
#include "addin/ui/SignInActions.h"

#include <stdexcept>

#include "addin/client/ClientSetup.h"
#include "addin/common/ShellUrl.h"
#include "addin/logging/Log.h"
#include "addin/platform/Platform.h"
#include "addin/ui/DialogCycle.h"
#include "addin/ui/MainDialogState.h"
#include "addin/ui/MessageBoxes.h"

namespace ui {
namespace {

constexpr const char* kBrowserFailed =
    "Failed to launch the system browser for Synquo authentication.";

// A logout page that cannot be opened safely is not worth an error: the session
// is already cleared, so the URL is only dropped.
void openLogoutPage(const std::string& url) {
  const std::string refusal = synquo::shellUrlRefusal(url);
  if (!refusal.empty()) {
    logging::warning("Dropping Synquo logout URL: ", refusal, ".");
    return;
  }
  openBrowser(url);
}

}  // namespace

void openBrowser(const std::string& url) {
  const std::string refusal = synquo::shellUrlRefusal(url);
  if (!refusal.empty()) {
    logging::warning("Not opening Synquo sign-in URL in the browser: ", refusal, ".");
    throw std::runtime_error(kBrowserFailed);
  }
  if (!platform::os().openUrl(url)) throw std::runtime_error(kBrowserFailed);
}

auth::PlatformCallbacks addinPlatformCallbacks(auth::SessionManager& session) {
  auth::PlatformCallbacks callbacks;
  callbacks.openBrowser = openBrowser;
  callbacks.runAsync = [&session](std::function<void()> task) {
    session.startWorker(std::move(task));
  };
  return callbacks;
}

void runSignInAction() {
  try {
    auth::SessionManager& session = auth::sessionManager();
    if (session.isSignInInProgress()) session.cancelSignIn();
    const auth::PlatformCallbacks platformCallbacks = addinPlatformCallbacks(session);
    const synquo::AuthCallbacks authCallbacks = synquo::clientAuthCallbacks();
    const auth::SignInStartResult result =
        auth::startSignIn(session, authCallbacks, platformCallbacks);
    switch (result.status) {
      case auth::SignInStatus::Started:
        showSynquoInformation(
            "A browser window has been opened for Synquo sign-in. Complete authentication, then "
            "click the button again to open the dialog.");
        break;
      case auth::SignInStatus::AlreadySignedIn:
        runMainDialogCycle();
        break;
      case auth::SignInStatus::InProgress:
        showSynquoInformation(
            "Synquo authentication is already in progress. Finish signing in in the browser, then "
            "click the button again.");
        break;
    }
  } catch (const std::exception& error) {
    showSynquoError(error.what());
  } catch (...) {
    showSynquoError("Failed to start the Synquo authentication flow.");
  }
}

void runSignOutAction() {
  // An upload asked for before signing out is not the next user's to send.
  mainDialogState().pendingUpload.reset();
  try {
    auth::SessionManager& session = auth::sessionManager();
    auth::PlatformCallbacks platformCallbacks = addinPlatformCallbacks(session);
    platformCallbacks.openBrowser = openLogoutPage;
    auth::signOut(session, synquo::clientAuthCallbacks(), platformCallbacks);
  } catch (const std::exception& error) {
    showSynquoError(error.what());
  } catch (...) {
    showSynquoError("Failed to sign out of Synquo.");
  }
}

}  // namespace ui
