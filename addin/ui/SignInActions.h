// The sign-in and sign-out buttons' actions: run the browser flow against the
// shared client and the shell, and tell the user how it went.
#pragma once

#include <string>

#include "addin/auth/SignInFlow.h"

namespace ui {

// Start dialog's button. Never raises.
void runSignInAction();

// Main dialog's sign-out button. Never raises; the session is cleared in every case.
void runSignOutAction();

// Opens a URL in the system browser through the shell. Only plain http and https
// URLs are handed over; anything else is refused with a warning in the log.
// Raises "Failed to launch the system browser for Synquo authentication." when the
// URL is refused or the shell cannot open it.
void openBrowser(const std::string& url);

// The platform bundle of the add-in: the shell launch and the session's worker.
auth::PlatformCallbacks addinPlatformCallbacks(auth::SessionManager& session);

}  // namespace ui
