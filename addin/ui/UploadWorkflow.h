// The upload itself: turns the prepared model into one request to the chosen workspace.
// Runs on the upload worker thread, so it makes no NX call and shows nothing.
#pragma once

#include <vantel/vantel.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "addin/auth/SessionManager.h"
#include "addin/client/ServiceOperations.h"
#include "addin/export/ModelMetadata.h"

namespace ui {

struct UploadExecutionResult {
  // The chosen workspace id was found in the workspace list.
  bool workspaceResolved = false;
  // The upload call returned and reported no error messages.
  bool succeeded = false;
  int64_t workspaceId = 0;
  int64_t rootDirectoryId = 0;
  // Link of each uploaded file, keyed by file name.
  std::map<std::string, std::string> links;
  std::vector<std::string> messages;
  // The first failure, as the user sees it; empty on success.
  std::string error;
  // The sign-in lapsed and could not be renewed; the session is cleared and `error` is the
  // notice for the user.
  bool signInExpired = false;
};

// The collected records unchanged; without any, one record made from the model itself.
std::vector<vantel::VantelUploadPayloadFile> uploadFilesFor(const synquo::ModelMetadata& metadata);

vantel::VantelUploadPayload buildUploadPayload(const synquo::ModelMetadata& metadata,
                                               int64_t workspaceId, int64_t rootDirectoryId);

// The error when the service answers an upload with neither links nor errors.
inline constexpr const char* kUnconfirmedUploadText =
    "Synquo did not confirm the upload: the service returned neither uploaded files nor errors. "
    "Check the workspace in Synquo, then try the upload again.";

// Uploads to the workspace of `workspaces` whose id is `workspaceId`. Uses that list
// rather than asking the service again, so a workspace deleted meanwhile is still found.
// Never raises: every failure comes back as the result's error text.
UploadExecutionResult runUpload(int64_t workspaceId,
                                const std::vector<vantel::VantelWorkspace>& workspaces,
                                auth::SessionManager& session,
                                const synquo::ModelMetadata& metadata,
                                const synquo::ServiceOperations& operations);

}  // namespace ui
