// An in-memory bridge for client tests: answers what the test scripted and records every
// call in the fixture library's journal format.
#include "client/tests/support/RecordingBridge.h"

#include <utility>

namespace vantel::testing {

class RecordingBridge::Call {
 public:
  Call(RecordingBridge& bridge, const char* name) : bridge_(bridge), line_(name) { line_ += "("; }
  ~Call() { bridge_.calls_.push_back(line_ + ")"); }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  Call& text(const std::string& value) { return add("\"" + value + "\""); }
  Call& id(int64_t value) { return add(std::to_string(static_cast<uint64_t>(value))); }
  Call& number(int64_t value) { return add(std::to_string(value)); }
  Call& flag(bool value) { return add(value ? "1" : "0"); }

 private:
  Call& add(const std::string& argument) {
    if (line_.back() != '(') line_ += ", ";
    line_ += argument;
    return *this;
  }
  RecordingBridge& bridge_;
  std::string line_;
};

void RecordingBridge::script(const std::string& exportName, std::string payload,
                             std::string error) {
  answers_[exportName] = BridgeResponse{std::move(payload), std::move(error)};
}

BridgeResponse RecordingBridge::answer(const std::string& exportName) const {
  const auto found = answers_.find(exportName);
  return found == answers_.end() ? BridgeResponse{} : found->second;
}

BridgeResponse RecordingBridge::initialize(const std::string& optionsJson) {
  Call(*this, "Initialize").text(optionsJson);
  return answer("Initialize");
}

BridgeResponse RecordingBridge::localAuthFlowAuthorize() {
  Call(*this, "LocalAuthFlowAuthorize");
  return answer("LocalAuthFlowAuthorize");
}

BridgeResponse RecordingBridge::localAuthFlowAuthorizeWithTimeout(int64_t timeout) {
  Call(*this, "LocalAuthFlowAuthorizeWithTimeout").number(timeout);
  return answer("LocalAuthFlowAuthorizeWithTimeout");
}

BridgeResponse RecordingBridge::localAuthFlowComplete() {
  Call(*this, "LocalAuthFlowComplete");
  return answer("LocalAuthFlowComplete");
}

BridgeResponse RecordingBridge::localAuthFlowGenerateAccessToken(const std::string& text) {
  Call(*this, "LocalAuthFlowGenerateAccessToken").text(text);
  return answer("LocalAuthFlowGenerateAccessToken");
}

BridgeResponse RecordingBridge::localAuthFlowLogout() {
  Call(*this, "LocalAuthFlowLogout");
  return answer("LocalAuthFlowLogout");
}

BridgeResponse RecordingBridge::getAllWorkspaces(const std::string& accessToken,
                                                 const std::string& text) {
  Call(*this, "GetAllWorkspaces").text(accessToken).text(text);
  return answer("GetAllWorkspaces");
}

BridgeResponse RecordingBridge::getWorkspace(const std::string& accessToken, int64_t workspaceId) {
  Call(*this, "GetWorkspace").text(accessToken).id(workspaceId);
  return answer("GetWorkspace");
}

BridgeResponse RecordingBridge::getWorkspaceUser(const std::string& accessToken,
                                                 int64_t workspaceId, const std::string& userId) {
  Call(*this, "GetWorkspaceUser").text(accessToken).id(workspaceId).text(userId);
  return answer("GetWorkspaceUser");
}

BridgeResponse RecordingBridge::getCurrentUser(const std::string& accessToken) {
  Call(*this, "GetCurrentUser").text(accessToken);
  return answer("GetCurrentUser");
}

BridgeResponse RecordingBridge::getRootDirectory(const std::string& accessToken,
                                                 int64_t workspaceId) {
  Call(*this, "GetRootDirectory").text(accessToken).id(workspaceId);
  return answer("GetRootDirectory");
}

BridgeResponse RecordingBridge::getDirectory(const std::string& accessToken, int64_t workspaceId,
                                             const std::string& directoryId) {
  Call(*this, "GetDirectory").text(accessToken).id(workspaceId).text(directoryId);
  return answer("GetDirectory");
}

BridgeResponse RecordingBridge::getSubDirectories(const std::string& accessToken,
                                                  int64_t workspaceId,
                                                  const std::string& directoryId) {
  Call(*this, "GetSubDirectories").text(accessToken).id(workspaceId).text(directoryId);
  return answer("GetSubDirectories");
}

BridgeResponse RecordingBridge::findRevision(const std::string& accessToken,
                                             const std::string& text1, const std::string& text2,
                                             const std::string& text3, const std::string& text4,
                                             int64_t workspaceId, bool flag1, bool flag2,
                                             bool flag3, bool flag4) {
  Call(*this, "FindRevision")
      .text(accessToken)
      .text(text1)
      .text(text2)
      .text(text3)
      .text(text4)
      .id(workspaceId)
      .flag(flag1)
      .flag(flag2)
      .flag(flag3)
      .flag(flag4);
  return answer("FindRevision");
}

BridgeResponse RecordingBridge::listSupportedFileTypes(const std::string& accessToken) {
  Call(*this, "ListSupportedFileTypes").text(accessToken);
  return answer("ListSupportedFileTypes");
}

BridgeResponse RecordingBridge::upload(const std::string& accessToken,
                                       const std::string& payloadJson, bool flag) {
  Call(*this, "Upload").text(accessToken).text(payloadJson).flag(flag);
  return answer("Upload");
}

BridgeResponse RecordingBridge::startUpload(const std::string& accessToken,
                                            const std::string& payloadJson, bool flag) {
  Call(*this, "StartUpload").text(accessToken).text(payloadJson).flag(flag);
  return answer("StartUpload");
}

BridgeResponse RecordingBridge::getUploadStatus(const std::string& jobId) {
  Call(*this, "GetUploadStatus").text(jobId);
  return answer("GetUploadStatus");
}

BridgeResponse RecordingBridge::cancelUpload(const std::string& jobId) {
  Call(*this, "CancelUpload").text(jobId);
  return answer("CancelUpload");
}

BridgeResponse RecordingBridge::createDirectory(const std::string& accessToken, int64_t firstId,
                                                int64_t secondId, const std::string& name) {
  Call(*this, "CreateDirectory").text(accessToken).id(firstId).id(secondId).text(name);
  return answer("CreateDirectory");
}

void RecordingBridge::setDebugMode(bool flag) { Call(*this, "SetDebugMode").flag(flag); }

void RecordingBridge::setUSRegion(bool flag) { Call(*this, "SetUSRegion").flag(flag); }

void RecordingBridge::setRegisterOnlyIfAllFilesUploaded(bool flag) {
  Call(*this, "SetRegisterOnlyIfAllFilesUploaded").flag(flag);
}

BridgeResponse RecordingBridge::setUploadSource(const std::string& sourceIdentifier,
                                                const std::string& sourceId,
                                                const std::string& displayName) {
  Call(*this, "SetUploadSource").text(sourceIdentifier).text(sourceId).text(displayName);
  return answer("SetUploadSource");
}

BridgeResponse RecordingBridge::setExternalServer(const std::string& serverJson) {
  Call(*this, "SetExternalServer").text(serverJson);
  return answer("SetExternalServer");
}

void RecordingBridge::setLogFile(const std::string& path) { Call(*this, "SetLogFile").text(path); }

void RecordingBridge::setLogLevel(const std::string& level) {
  Call(*this, "SetLogLevel").text(level);
}

void RecordingBridge::closeLogFile() { Call(*this, "CloseLogFile"); }

void RecordingBridge::addServiceInfo(const std::string& name, const std::string& version) {
  Call(*this, "AddServiceInfo").text(name).text(version);
}

}  // namespace vantel::testing
