// Loads the signed-in user's workspaces for the main dialog.
#pragma once

#include <vantel/vantel.h>

#include <string>
#include <vector>

#include "addin/auth/SessionManager.h"
#include "addin/client/ServiceOperations.h"

namespace ui {

struct WorkspaceLoadResult {
  bool success = false;
  std::vector<vantel::VantelWorkspace> workspaces;  // in the service's order
  std::string error;
  // The sign-in lapsed and could not be renewed; the session is cleared.
  bool signInExpired = false;
};

// Never raises: every failure comes back as the result's error text.
WorkspaceLoadResult loadWorkspaces(auth::SessionManager& session,
                                   const synquo::ServiceOperations& operations);

}  // namespace ui
