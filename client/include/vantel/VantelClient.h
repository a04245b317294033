// The typed client of the service: one method per Torvane operation, records in and out.
#pragma once

#include <vantel/Export.h>
#include <vantel/IVantelLogger.h>
#include <vantel/RequestRecords.h>
#include <vantel/ServiceRecords.h>
#include <vantel/VantelBridgeInterface.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace vantel {

// Every failure is raised as VantelException ("<Operation> failed: <Torvane error>", or a
// parser's "Failed to parse ...: <reason>"), except an unknown upload source value
// (std::invalid_argument) and text that is not UTF-8 in a request (the JSON library's
// error, raised before Torvane is called). Operations may be called from several threads
// as far as the bridge allows.
class VANTEL_API VantelClient {
 public:
  // The bridge is required; the logger may be empty.
  VantelClient(std::shared_ptr<VantelBridgeInterface> bridge,
               std::shared_ptr<IVantelLogger> logger);
  ~VantelClient();

  VantelClient(const VantelClient&) = delete;
  VantelClient& operator=(const VantelClient&) = delete;

  // Service operations.
  std::string localAuthFlowAuthorize() const;
  std::string localAuthFlowAuthorizeWithTimeout(int64_t timeout) const;
  VantelLocalAuthTokens localAuthFlowComplete() const;
  VantelLocalAuthTokens localAuthFlowGenerateAccessToken(const std::string& text) const;
  // Succeeds with the logout text even when token revocation failed (logged as a warning).
  std::string localAuthFlowLogout() const;
  std::vector<VantelWorkspace> listWorkspaces(const std::string& accessToken,
                                              const std::string& text) const;
  VantelWorkspace getWorkspace(const std::string& accessToken, int64_t workspaceId) const;
  VantelUser getWorkspaceUser(const std::string& accessToken, int64_t workspaceId,
                              int64_t userId) const;
  VantelUser getCurrentUser(const std::string& accessToken) const;
  VantelDirectory getRootDirectory(const std::string& accessToken, int64_t workspaceId) const;
  VantelDirectory getDirectory(const std::string& accessToken, int64_t workspaceId,
                               int64_t directoryId) const;
  std::vector<VantelDirectory> listSubDirectories(const std::string& accessToken,
                                                  int64_t workspaceId, int64_t directoryId) const;
  VantelDirectory createDirectory(const std::string& accessToken, int64_t firstId, int64_t secondId,
                                  const std::string& name) const;
  // A revision that does not exist (Torvane's 404 answer) gives an empty list.
  std::vector<VantelFindRevisionResult> findRevision(const std::string& accessToken,
                                                     int64_t workspaceId, const std::string& textA,
                                                     const std::string& textB,
                                                     const std::string& textC,
                                                     const std::string& textD, bool flag1,
                                                     bool flag2, bool flag3, bool flag4) const;
  std::vector<std::string> listSupportedFileTypes(const std::string& accessToken) const;
  // Never raises for an error Torvane reports: its items are returned in `errors`.
  VantelUploadResult upload(const std::string& accessToken, const VantelUploadPayload& payload,
                            bool flag) const;
  VantelUploadJobStart startUpload(const std::string& accessToken,
                                   const VantelUploadPayload& payload, bool flag) const;
  VantelUploadJobStatus getUploadStatus(const std::string& jobId) const;
  // Succeeds with the latest status even when cancelling failed (logged as a warning).
  VantelUploadJobStatus cancelUpload(const std::string& jobId) const;

  // Configuration operations.
  void initialize(const VantelInitializeOptions& options);
  void initialize(const std::string& optionsJson);
  void setDebugMode(bool flag);
  void setUSRegion(bool flag);
  void setRegisterOnlyIfAllFilesUploaded(bool flag);
  void setUploadSource(const VantelUploadSource& source);
  void clearUploadSource();
  void setExternalServer(const std::string& serverJson);
  void setLogFile(const std::string& path);
  void setLogLevel(const std::string& level);
  void closeLogFile();
  // Entries with an empty name or version are skipped; "vantel" is the library's own and
  // cannot be replaced.
  void addServiceInfo(const std::map<std::string, std::string>& entries);

 private:
  void ensureVantelServiceInfoRegistered() const;
  void logDebug(const std::string& message) const;
  void logWarning(const std::string& message) const;
  void logError(const std::string& message) const;
  [[noreturn]] void fail(const std::string& failureName, const std::string& error) const;
  void failOnError(const std::string& failureName, const BridgeResponse& response) const;

  static VantelLocalAuthTokens parseLocalAuthTokens(const std::string& payload);
  static VantelWorkspace parseWorkspace(const nlohmann::json& value);
  static std::vector<VantelWorkspace> parseWorkspacesPayload(const std::string& payload);
  static VantelWorkspace parseSingleWorkspacePayload(const std::string& payload);
  static VantelUser parseUserPayload(const std::string& payload);
  static VantelDirectory parseDirectoryPayload(const std::string& payload);
  static std::vector<VantelDirectory> parseDirectoryListPayload(const std::string& payload);
  static VantelFindRevisionResult parseRevision(const nlohmann::json& value);
  static std::vector<VantelFindRevisionResult> parseFindRevisionPayload(const std::string& payload);
  static std::vector<std::string> parseStringListPayload(const std::string& payload);
  static VantelUploadJobStart parseUploadJobStartPayload(const std::string& payload);
  static VantelUploadJobStatus parseUploadJobStatusPayload(const std::string& payload);
  static VantelUploadResult parseUploadPayload(const std::string& payload,
                                               const std::string& error);

  std::shared_ptr<VantelBridgeInterface> bridge_;
  std::shared_ptr<IVantelLogger> logger_;
  // Set once, after the library's own service entry went out. The mutex makes concurrent
  // first calls wait for that entry instead of sending it twice or overtaking it.
  mutable std::atomic<bool> serviceInfoRegistered_{false};
  mutable std::mutex serviceInfoMutex_;
};

}  // namespace vantel
