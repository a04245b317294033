// The Torvane library as the client sees it: one operation per exported function.
#pragma once

#include <vantel/BridgeResponse.h>
#include <vantel/Export.h>

#include <cstdint>
#include <string>

namespace vantel {

// Each operation forwards its arguments to the Torvane function of the same name and
// returns its texts untouched; deciding whether a call failed is the caller's job. An
// implementation raises VantelException only for failures of the binding itself.
class VANTEL_API VantelBridgeInterface {
 public:
  virtual ~VantelBridgeInterface();

  virtual BridgeResponse initialize(const std::string& optionsJson) = 0;
  virtual BridgeResponse localAuthFlowAuthorize() = 0;
  virtual BridgeResponse localAuthFlowAuthorizeWithTimeout(int64_t timeout) = 0;
  virtual BridgeResponse localAuthFlowComplete() = 0;
  virtual BridgeResponse localAuthFlowGenerateAccessToken(const std::string& text) = 0;
  virtual BridgeResponse localAuthFlowLogout() = 0;
  virtual BridgeResponse getAllWorkspaces(const std::string& accessToken,
                                          const std::string& text) = 0;
  virtual BridgeResponse getWorkspace(const std::string& accessToken, int64_t workspaceId) = 0;
  virtual BridgeResponse getWorkspaceUser(const std::string& accessToken, int64_t workspaceId,
                                          const std::string& userId) = 0;
  virtual BridgeResponse getCurrentUser(const std::string& accessToken) = 0;
  virtual BridgeResponse getRootDirectory(const std::string& accessToken, int64_t workspaceId) = 0;
  virtual BridgeResponse getDirectory(const std::string& accessToken, int64_t workspaceId,
                                      const std::string& directoryId) = 0;
  virtual BridgeResponse getSubDirectories(const std::string& accessToken, int64_t workspaceId,
                                           const std::string& directoryId) = 0;
  virtual BridgeResponse findRevision(const std::string& accessToken, const std::string& text1,
                                      const std::string& text2, const std::string& text3,
                                      const std::string& text4, int64_t workspaceId, bool flag1,
                                      bool flag2, bool flag3, bool flag4) = 0;
  virtual BridgeResponse listSupportedFileTypes(const std::string& accessToken) = 0;
  virtual BridgeResponse upload(const std::string& accessToken, const std::string& payloadJson,
                                bool flag) = 0;
  virtual BridgeResponse startUpload(const std::string& accessToken, const std::string& payloadJson,
                                     bool flag) = 0;
  virtual BridgeResponse getUploadStatus(const std::string& jobId) = 0;
  virtual BridgeResponse cancelUpload(const std::string& jobId) = 0;
  virtual BridgeResponse createDirectory(const std::string& accessToken, int64_t firstId,
                                         int64_t secondId, const std::string& name) = 0;
  virtual void setDebugMode(bool flag) = 0;
  virtual void setUSRegion(bool flag) = 0;
  virtual void setRegisterOnlyIfAllFilesUploaded(bool flag) = 0;
  virtual BridgeResponse setUploadSource(const std::string& sourceIdentifier,
                                         const std::string& sourceId,
                                         const std::string& displayName) = 0;
  virtual BridgeResponse setExternalServer(const std::string& serverJson) = 0;
  virtual void setLogFile(const std::string& path) = 0;
  virtual void setLogLevel(const std::string& level) = 0;
  virtual void closeLogFile() = 0;
  virtual void addServiceInfo(const std::string& name, const std::string& version) = 0;
};

}  // namespace vantel
