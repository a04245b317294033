// Whether the chosen workspace already holds the managed model's latest revision, so the
// main dialog can warn that uploading again makes a new one.
#pragma once

#include <vantel/vantel.h>

#include <cstdint>
#include <string>
#include <vector>

#include "addin/auth/SessionManager.h"
#include "addin/client/ServiceOperations.h"
#include "addin/export/ModelMetadata.h"

namespace ui {

struct RevisionCheckResult {
  // The workspace was found in the list.
  bool lookupRan = false;
  // The service knows at least one revision.
  bool matchesLatest = false;
  // The id sent to the service.
  std::string sourceFileId;
  // Why the lookup failed; never shown, the warning just stays hidden.
  std::string error;
  // The sign-in lapsed and could not be renewed; the session is cleared. Unlike other
  // failures this one is shown.
  bool signInExpired = false;
};

// The model's source file id; a family instance's carries "_" and its file name's stem,
// added only when not already there.
std::string revisionLookupSourceFileId(const synquo::ModelMetadata& metadata);

// Never raises. A missing token or an unconfigured lookup behaves like a lookup without
// a match.
RevisionCheckResult checkTargetRevision(int64_t workspaceId,
                                        const std::vector<vantel::VantelWorkspace>& workspaces,
                                        auth::SessionManager& session,
                                        const synquo::ModelMetadata& metadata,
                                        const synquo::ServiceOperations& operations);

}  // namespace ui
