// The upload itself: turns the prepared model into one request to the chosen workspace.
#include "addin/ui/UploadWorkflow.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "addin/auth/TokenRenewal.h"
#include "addin/platform/TextEncoding.h"
#include "addin/ui/MainDialogState.h"
#include "addin/ui/RevisionCheck.h"

namespace ui {
namespace {

std::string exportedFileName(const synquo::ModelMetadata& metadata) {
  return platform::toUtf8(metadata.exportedFile.filename());
}

std::optional<std::string> parentFileFor(
    const synquo::ModelMetadata& metadata,
    const std::vector<vantel::VantelUploadPayloadFile>& files) {
  if (metadata.uploadName && !metadata.uploadName->empty()) return metadata.uploadName;
  // A single part is its own upload: it names a parent only through its upload name.
  if (!metadata.isAssembly) return std::nullopt;
  if (!files.empty() && !files.front().filename.empty()) return files.front().filename;
  const std::string exported = exportedFileName(metadata);
  if (!exported.empty()) return exported;
  if (!metadata.fileName.empty()) return metadata.fileName;
  return std::nullopt;
}

// The service refused the upload as a whole, so nothing was stored and sending it again
// makes no second revision. Torvane reports a refusal among the upload's error items: the
// call's own error is the only item, and a refusal per file leaves every item refused. A
// refused item beside a link or another failure is the upload's failure as it stands.
bool tokenRefused(const vantel::VantelUploadResult& answer) {
  return answer.entries.empty() && !answer.errors.empty() &&
         std::all_of(answer.errors.begin(), answer.errors.end(), auth::isTokenRefused);
}

bool hasLocalFile(const std::vector<vantel::VantelUploadPayloadFile>& files) {
  return std::any_of(files.begin(), files.end(), [](const vantel::VantelUploadPayloadFile& f) {
    return !f.localFilePath.empty();
  });
}

}  // namespace

std::vector<vantel::VantelUploadPayloadFile> uploadFilesFor(const synquo::ModelMetadata& metadata) {
  if (!metadata.files.empty()) return metadata.files;
  vantel::VantelUploadPayloadFile file;
  file.localFilePath = platform::toUtf8(metadata.exportedFile);
  file.filename = exportedFileName(metadata);
  if (file.filename.empty()) file.filename = metadata.fileName;
  file.sourceFilePath = metadata.source;
  file.sourceFileId = revisionLookupSourceFileId(metadata);
  file.sourceRevisionId = metadata.revisionId;
  file.sourceVersionId = "1";
  return {file};
}

vantel::VantelUploadPayload buildUploadPayload(const synquo::ModelMetadata& metadata,
                                               int64_t workspaceId, int64_t rootDirectoryId) {
  vantel::VantelUploadPayload payload;
  payload.workspaces[workspaceId] = rootDirectoryId;
  payload.files = uploadFilesFor(metadata);
  payload.parentFile = parentFileFor(metadata, payload.files);
  if (!metadata.revisionId.empty()) {
    payload.sourceRevisionId = metadata.revisionId;
    payload.sourceRevisionName = metadata.revisionId;
    payload.sourceRevisionVersion = "1";
  }
  if (!metadata.lastModifiedUtc.empty()) payload.sourceRevisionTime = metadata.lastModifiedUtc;
  return payload;
}

UploadExecutionResult runUpload(int64_t workspaceId,
                                const std::vector<vantel::VantelWorkspace>& workspaces,
                                auth::SessionManager& session,
                                const synquo::ModelMetadata& metadata,
                                const synquo::ServiceOperations& operations) {
  UploadExecutionResult result;
  try {
    if (findWorkspace(workspaces, workspaceId) == nullptr) {
      result.error =
          "The selected Synquo workspace was not found in the workspace list loaded by NX. "
          "Refresh the Synquo dialog and select the workspace again.";
      return result;
    }
    result.workspaceResolved = true;
    result.workspaceId = workspaceId;

    if (!metadata.traceabilityError.empty()) {
      result.error = metadata.traceabilityError;
      return result;
    }
    if (!metadata.preparationError.empty()) {
      result.error = metadata.preparationError;
      return result;
    }
    if (!hasLocalFile(uploadFilesFor(metadata))) {
      result.error =
          metadata.isAssembly
              ? "No exported NX assembly files are available for upload. The NX export step did "
                "not produce local files for the assembly root or members. If NX logging is "
                "enabled, check synquo-integration.log in the configured NX log directory for "
                "export details. Then try the upload again."
              : "No exported NX file is available for upload. The NX export step did not produce "
                "a local .prt, or .pdf file. If NX logging is enabled, check "
                "synquo-integration.log in the configured NX log directory for export details. "
                "Then try the upload again.";
      return result;
    }
    // Read after the file checks: a sign-out on another path is reported only when the
    // files themselves were fine.
    if (session.accessToken().empty()) {
      result.error =
          "No Synquo auth token is available for upload. Sign out, sign in again, and retry the "
          "upload.";
      return result;
    }
    if (!operations.getRootDirectory || !operations.upload) {
      result.error =
          "The Synquo upload client is not fully configured. NX could not create the "
          "root-directory or upload operation needed to send the exported files.";
      return result;
    }

    // Each call takes the session's token anew: the one before may have renewed it.
    result.rootDirectoryId =
        auth::callWithRenewal(session, operations.renewTokens, [&](const std::string& accessToken) {
          return operations.getRootDirectory(accessToken, workspaceId);
        }).id;
    const vantel::VantelUploadPayload payload =
        buildUploadPayload(metadata, workspaceId, result.rootDirectoryId);
    vantel::VantelUploadResult uploaded = auth::callWithRenewal(
        session, operations.renewTokens,
        [&](const std::string& accessToken) {
          return operations.upload(accessToken, payload, false);
        },
        tokenRefused);
    result.links = std::move(uploaded.entries);
    result.messages = std::move(uploaded.errors);
    result.succeeded = result.messages.empty();
    if (!result.succeeded) {
      result.error = result.messages.front();
    } else if (result.links.empty()) {
      // Files were sent, so an answer without a single link or error confirms nothing.
      result.succeeded = false;
      result.error = kUnconfirmedUploadText;
    }
  } catch (const auth::SignInExpired& expired) {
    result.succeeded = false;
    result.signInExpired = true;
    result.error = expired.what();
  } catch (const std::exception& error) {
    result.succeeded = false;
    result.error = error.what();
  } catch (...) {
    result.succeeded = false;
    result.error =
        "Upload failed before Synquo returned details. If NX logging is enabled, check "
        "synquo-integration.log in the configured NX log directory for the preceding export "
        "and upload events. Then try again.";
  }
  return result;
}

}  // namespace ui
