// The records the client reads back from the service's JSON answers.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantel {

struct VantelWorkspace {
  int64_t id = 0;
  std::string name;
  std::string color;
  std::optional<int64_t> createdByUserId;
  std::string createdTime;
  std::string modifiedTime;
  bool downloadingAllowed = false;
  std::optional<int64_t> projectId;
  std::optional<std::string> sourceState;
  std::string uuid;
};

struct VantelDirectory {
  int64_t id = 0;
  std::string name;
  std::optional<std::string> parentId;
  std::string createdTime;
  std::string modifiedTime;
};

struct VantelUser {
  int64_t id = 0;
  std::optional<int64_t> companyId;
  std::string email;
  std::string username;
  std::string firstName;
  std::string lastName;
  std::string phoneNumber;
  std::string jobTitle;
  std::string createdTime;
  std::string modifiedTime;
};

struct VantelFindRevisionResult {
  std::optional<int64_t> assetId;
  std::optional<int64_t> bomAssetId;
  std::optional<int64_t> directoryId;
  std::string link;
  std::optional<int64_t> revisionLinkId;
  std::optional<int64_t> workspaceId;
  std::string bomRevisionId;
  std::optional<int64_t> unresolvedFeedbackCount;
  std::optional<int64_t> reviewId;
  std::string reviewStatus;
  std::string message;
  std::string sourceVersion;
  std::string sourceRevisionId;
};

struct VantelLocalAuthTokens {
  std::string accessToken;
  std::string refreshToken;
  std::string expiresAt;
};

struct VantelUploadJobStart {
  std::string jobId;
};

struct VantelUploadJobStatus {
  std::string jobId;
  std::string status;
  std::string createdAt;
  std::string updatedAt;
  std::optional<std::string> expiresAt;
  int32_t inputFilesTotal = 0;
  int32_t workspacesTotal = 0;
  int32_t filesTotal = 0;
  int32_t filesUploading = 0;
  int32_t filesUploaded = 0;
  int32_t filesFailed = 0;
  int32_t filesRemaining = 0;
  int64_t bytesTotal = 0;
  int64_t bytesUploaded = 0;
  int32_t registrationPending = 0;
  int32_t registrationRegistering = 0;
  int32_t registrationRegistered = 0;
  int32_t registrationFailed = 0;
  int32_t registrationSkipped = 0;
  bool cancellationRequested = false;
  bool canCancel = false;
  std::optional<std::string> cancellationReason;
  std::vector<std::string> errors;
};

// What a synchronous upload reports: the uploaded files by name, and the errors Torvane
// listed even when some files went through.
struct VantelUploadResult {
  std::map<std::string, std::string> entries;
  std::vector<std::string> errors;
};

}  // namespace vantel
