// Loads the signed-in user's workspaces for the main dialog.
#include "addin/ui/WorkspaceLoader.h"

#include "addin/auth/TokenRenewal.h"

namespace ui {

WorkspaceLoadResult loadWorkspaces(auth::SessionManager& session,
                                   const synquo::ServiceOperations& operations) {
  WorkspaceLoadResult result;
  try {
    const std::string token = session.accessToken();
    if (token.empty()) {
      result.error =
          "No Synquo auth token is available to load workspaces. Sign out, sign in again, and "
          "reopen the Synquo dialog.";
      return result;
    }
    if (!operations.listWorkspaces) {
      result.error =
          "The Synquo workspace client is not configured. NX could not request the workspace "
          "list from Synquo.";
      return result;
    }
    result.workspaces =
        auth::callWithRenewal(session, operations.renewTokens, [&](const std::string& accessToken) {
          return operations.listWorkspaces(accessToken, std::string());
        });
    result.success = true;
  } catch (const auth::SignInExpired& expired) {
    result.workspaces.clear();
    result.error = expired.what();
    result.signInExpired = true;
  } catch (const std::exception& error) {
    result.workspaces.clear();
    result.error = error.what();
  } catch (...) {
    result.workspaces.clear();
    result.error =
        "Workspace fetch failed before Synquo returned details. Sign in again or try reopening "
        "the Synquo dialog.";
  }
  return result;
}

}  // namespace ui
