// The sign-in and sign-out actions.
#include "addin/auth/SignInActions.h"

#include <stdexcept>

#include "addin/client/ClientSetup.h"
#include "addin/common/ShellUrl.h"
#include "addin/entry/AddinLauncher.h"
#include "addin/logging/Log.h"
#include "addin/platform/Platform.h"
#include "addin/ui/MessageBoxes.h"

namespace auth {
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

PlatformCallbacks addinPlatformCallbacks(SessionManager& session) {
  PlatformCallbacks callbacks;
  callbacks.openBrowser = openBrowser;
  callbacks.runAsync = [&session](std::function<void()> task) {
    session.startWorker(std::move(task));
  };
  return callbacks;
}

void runSignInAction() {
  try {
    SessionManager& session = sessionManager();
    if (session.isSignInInProgress()) session.cancelSignIn();
    const PlatformCallbacks platformCallbacks = addinPlatformCallbacks(session);
    const AuthCallbacks authCallbacks = synquo::clientAuthCallbacks();
    const SignInStartResult result = startSignIn(session, authCallbacks, platformCallbacks);
    switch (result.status) {
      case SignInStatus::Started:
        ui::showSynquoInformation(
            "A browser window has been opened for Synquo sign-in. Complete authentication, then "
            "click the button again to open the dialog.");
        break;
      case SignInStatus::AlreadySignedIn:
        synquo::runMainDialogCycle();
        break;
      case SignInStatus::InProgress:
        ui::showSynquoInformation(
            "Synquo authentication is already in progress. Finish signing in in the browser, then "
            "click the button again.");
        break;
    }
  } catch (const std::exception& error) {
    ui::showSynquoError(error.what());
  } catch (...) {
    ui::showSynquoError("Failed to start the Synquo authentication flow.");
  }
}

void runSignOutAction() {
  try {
    SessionManager& session = sessionManager();
    PlatformCallbacks platformCallbacks = addinPlatformCallbacks(session);
    platformCallbacks.openBrowser = openLogoutPage;
    signOut(session, synquo::clientAuthCallbacks(), platformCallbacks);
  } catch (const std::exception& error) {
    ui::showSynquoError(error.what());
  } catch (...) {
    ui::showSynquoError("Failed to sign out of Synquo.");
  }
}

}  // namespace auth
