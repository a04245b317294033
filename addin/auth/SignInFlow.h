// The browser sign-in flow: opens the authorization page, waits for the tokens on a
// worker thread and hands tokens and user back to the session. It reaches neither the
// service client nor the operating system directly, only through the two callback
// bundles below.
#pragma once

#include <functional>
#include <string>

#include <vantel/vantel.h>

#include "addin/auth/SessionManager.h"
#include "addin/auth/SignInStatus.h"
#include "addin/client/AuthCallbacks.h"

namespace auth {

// The sign-in operations of the service client, as the client layer binds them.
using AuthCallbacks = synquo::AuthCallbacks;

// What the flow needs from the operating system.
struct PlatformCallbacks {
  // Shows the page in the system browser; raises when it cannot.
  std::function<void(const std::string& url)> openBrowser;
  // Runs the task on another thread and returns once it has started.
  std::function<void(std::function<void()> task)> runAsync;
};

// Opens a sign-in attempt on the user-interface thread: the authorization page is opened
// in the browser and a task that waits for the tokens is handed to `platform.runAsync`.
// Answers AlreadySignedIn or InProgress (empty URL, no browser) when the session refuses
// a new attempt, and Started with the URL otherwise. Raises when the attempt cannot be
// started; the failure text is then also left in the session as its pending message,
// and the attempt is closed so that the user can try again at once.
//
// The waiting task holds the session's shared state, not the session: when the attempt
// has been cancelled or the session destroyed by the time it wakes, it writes nothing.
// Otherwise it stores tokens and user, or leaves the failure as the pending message.
SignInStartResult startSignIn(SessionManager& session, const AuthCallbacks& auth,
                              const PlatformCallbacks& platform);

// Signs out: the service's logout, then the local clearing of the session (also when the
// logout raised, which is then raised again), then the logout page in the browser when
// there is one. Returns that page's URL, possibly empty. A failure to open the browser
// is raised with the session already cleared.
std::string signOut(SessionManager& session, const AuthCallbacks& auth,
                    const PlatformCallbacks& platform);

}  // namespace auth
