// An in-memory bridge for client tests: answers what the test scripted and records every
// call in the fixture library's journal format.
#pragma once

#include <vantel/BridgeResponse.h>
#include <vantel/VantelBridgeInterface.h>

#include <map>
#include <string>
#include <vector>

namespace vantel::testing {

class RecordingBridge : public VantelBridgeInterface {
 public:
  // What the operation named after its Torvane export (e.g. "GetAllWorkspaces") returns
  // from now on; unscripted operations return two empty texts.
  void script(const std::string& exportName, std::string payload, std::string error = "");

  // Calls as Name("text", 42, 1): texts quoted, ids as the unsigned value Torvane gets,
  // flags as 1 or 0.
  const std::vector<std::string>& calls() const { return calls_; }

  BridgeResponse initialize(const std::string& optionsJson) override;
  BridgeResponse localAuthFlowAuthorize() override;
  BridgeResponse localAuthFlowAuthorizeWithTimeout(int64_t timeout) override;
  BridgeResponse localAuthFlowComplete() override;
  BridgeResponse localAuthFlowGenerateAccessToken(const std::string& text) override;
  BridgeResponse localAuthFlowLogout() override;
  BridgeResponse getAllWorkspaces(const std::string& accessToken, const std::string& text) override;
  BridgeResponse getWorkspace(const std::string& accessToken, int64_t workspaceId) override;
  BridgeResponse getWorkspaceUser(const std::string& accessToken, int64_t workspaceId,
                                  const std::string& userId) override;
  BridgeResponse getCurrentUser(const std::string& accessToken) override;
  BridgeResponse getRootDirectory(const std::string& accessToken, int64_t workspaceId) override;
  BridgeResponse getDirectory(const std::string& accessToken, int64_t workspaceId,
                              const std::string& directoryId) override;
  BridgeResponse getSubDirectories(const std::string& accessToken, int64_t workspaceId,
                                   const std::string& directoryId) override;
  BridgeResponse findRevision(const std::string& accessToken, const std::string& text1,
                              const std::string& text2, const std::string& text3,
                              const std::string& text4, int64_t workspaceId, bool flag1, bool flag2,
                              bool flag3, bool flag4) override;
  BridgeResponse listSupportedFileTypes(const std::string& accessToken) override;
  BridgeResponse upload(const std::string& accessToken, const std::string& payloadJson,
                        bool flag) override;
  BridgeResponse startUpload(const std::string& accessToken, const std::string& payloadJson,
                             bool flag) override;
  BridgeResponse getUploadStatus(const std::string& jobId) override;
  BridgeResponse cancelUpload(const std::string& jobId) override;
  BridgeResponse createDirectory(const std::string& accessToken, int64_t firstId, int64_t secondId,
                                 const std::string& name) override;
  void setDebugMode(bool flag) override;
  void setUSRegion(bool flag) override;
  void setRegisterOnlyIfAllFilesUploaded(bool flag) override;
  BridgeResponse setUploadSource(const std::string& sourceIdentifier, const std::string& sourceId,
                                 const std::string& displayName) override;
  BridgeResponse setExternalServer(const std::string& serverJson) override;
  void setLogFile(const std::string& path) override;
  void setLogLevel(const std::string& level) override;
  void closeLogFile() override;
  void addServiceInfo(const std::string& name, const std::string& version) override;

 private:
  class Call;
  BridgeResponse answer(const std::string& exportName) const;

  std::map<std::string, BridgeResponse> answers_;
  std::vector<std::string> calls_;
};

}  // namespace vantel::testing
