// Whether the chosen workspace already holds the managed model's latest revision.
#include "addin/ui/RevisionCheck.h"

#include <exception>

#include "addin/auth/TokenRenewal.h"
#include "addin/export/ExportSupport.h"
#include "addin/ui/MainDialogState.h"

namespace ui {
namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string revisionLookupSourceFileId(const synquo::ModelMetadata& metadata) {
  const std::string& id = metadata.sourceFileId;
  if (!metadata.familyInstance || id.empty()) return id;
  const std::string stem = synquo::fileNameStem(synquo::lastPathElement(metadata.fileName));
  // The display metadata may already have suffixed the id; a second suffix would name
  // another file.
  if (stem.empty() || endsWith(id, "_" + stem)) return id;
  return id + "_" + stem;
}

RevisionCheckResult checkTargetRevision(int64_t workspaceId,
                                        const std::vector<vantel::VantelWorkspace>& workspaces,
                                        auth::SessionManager& session,
                                        const synquo::ModelMetadata& metadata,
                                        const synquo::ServiceOperations& operations) {
  RevisionCheckResult result;
  const vantel::VantelWorkspace* workspace = findWorkspace(workspaces, workspaceId);
  if (workspace == nullptr) return result;
  result.lookupRan = true;
  try {
    const std::string token = session.accessToken();
    if (token.empty() || !operations.findRevision) return result;
    result.sourceFileId = revisionLookupSourceFileId(metadata);
    const std::vector<vantel::VantelFindRevisionResult> revisions =
        auth::callWithRenewal(session, operations.renewTokens, [&](const std::string& accessToken) {
          return operations.findRevision(accessToken, workspace->id, result.sourceFileId, "1",
                                         metadata.revisionId, std::string(), false, true,
                                         metadata.isAssembly, true);
        });
    result.matchesLatest = !revisions.empty();
  } catch (const auth::SignInExpired& expired) {
    result.error = expired.what();
    result.signInExpired = true;
  } catch (const std::exception& error) {
    result.error = error.what();
  } catch (...) {
    result.error = "Revision lookup failed.";
  }
  return result;
}

}  // namespace ui
