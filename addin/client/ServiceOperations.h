// The bundle through which the workspace, revision and upload work reaches the
// service client. An empty callable means that the operation is not configured.
#pragma once

#include <vantel/vantel.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace synquo {

struct ServiceOperations {
  std::function<std::vector<vantel::VantelWorkspace>(const std::string& accessToken,
                                                     const std::string& text)>
      listWorkspaces;
  std::function<std::vector<vantel::VantelFindRevisionResult>(
      const std::string& accessToken, int64_t workspaceId, const std::string& textA,
      const std::string& textB, const std::string& textC, const std::string& textD, bool flag1,
      bool flag2, bool flag3, bool flag4)>
      findRevision;
  std::function<vantel::VantelDirectory(const std::string& accessToken, int64_t workspaceId)>
      getRootDirectory;
  std::function<vantel::VantelUploadResult(const std::string& accessToken,
                                           const vantel::VantelUploadPayload& payload, bool flag)>
      upload;
  // Trades the refresh token for new tokens when the access token has lapsed.
  std::function<vantel::VantelLocalAuthTokens(const std::string& refreshToken)> renewTokens;
};

}  // namespace synquo
