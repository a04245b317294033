// The typed client of the service: logs, calls the bridge, turns errors into exceptions
// and payloads into records.
#include <vantel/VantelClient.h>
#include <vantel/VantelException.h>
#include <vantel/Version.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>

namespace vantel {
namespace {

constexpr const char* kTag = "[vantel] ";
constexpr const char* kOwnServiceName = "vantel";
constexpr const char* kRevisionNotFoundStatus = "received non-200 status code: 404";
constexpr const char* kRevisionNotFoundSentence =
    "The revision or asset you requested does not exist or you do not have permission to "
    "access it.";

const char* boolText(bool flag) { return flag ? "true" : "false"; }

// Compact, keys in byte order, UTF-8 written as it is; invalid UTF-8 raises.
std::string compactJson(const nlohmann::json& value) { return value.dump(); }

}  // namespace

VantelClient::VantelClient(std::shared_ptr<VantelBridgeInterface> bridge,
                           std::shared_ptr<IVantelLogger> logger)
    : bridge_(std::move(bridge)), logger_(std::move(logger)) {
  if (!bridge_) throw VantelException("VantelClient requires a bridge instance");
  logDebug("VantelClient initialized (vantel " + versionString() + ")");
}

VantelClient::~VantelClient() = default;

void VantelClient::logDebug(const std::string& message) const {
  if (logger_) logger_->debug((kTag + message).c_str());
}

void VantelClient::logWarning(const std::string& message) const {
  if (logger_) logger_->warning((kTag + message).c_str());
}

void VantelClient::logError(const std::string& message) const {
  if (logger_) logger_->error((kTag + message).c_str());
}

void VantelClient::fail(const std::string& failureName, const std::string& error) const {
  const std::string message = failureName + ": " + error;
  logError(message);
  throw VantelException(message);
}

void VantelClient::failOnError(const std::string& failureName,
                               const BridgeResponse& response) const {
  if (!response.error.empty()) fail(failureName, response.error);
}

void VantelClient::ensureVantelServiceInfoRegistered() const {
  if (serviceInfoRegistered_.load(std::memory_order_acquire)) return;
  std::lock_guard<std::mutex> lock(serviceInfoMutex_);
  if (serviceInfoRegistered_.load(std::memory_order_relaxed)) return;
  bridge_->addServiceInfo(kOwnServiceName, versionString());
  serviceInfoRegistered_.store(true, std::memory_order_release);
}

std::string VantelClient::localAuthFlowAuthorize() const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling LocalAuthFlowAuthorize");
  BridgeResponse response = bridge_->localAuthFlowAuthorize();
  failOnError("LocalAuthFlowAuthorize failed", response);
  return std::move(response.payload);
}

std::string VantelClient::localAuthFlowAuthorizeWithTimeout(int64_t timeout) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling LocalAuthFlowAuthorizeWithTimeout");
  BridgeResponse response = bridge_->localAuthFlowAuthorizeWithTimeout(timeout);
  failOnError("LocalAuthFlowAuthorizeWithTimeout failed", response);
  return std::move(response.payload);
}

VantelLocalAuthTokens VantelClient::localAuthFlowComplete() const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling LocalAuthFlowComplete");
  const BridgeResponse response = bridge_->localAuthFlowComplete();
  failOnError("LocalAuthFlowComplete failed", response);
  return parseLocalAuthTokens(response.payload);
}

VantelLocalAuthTokens VantelClient::localAuthFlowGenerateAccessToken(
    const std::string& text) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling LocalAuthFlowGenerateAccessToken");
  const BridgeResponse response = bridge_->localAuthFlowGenerateAccessToken(text);
  failOnError("LocalAuthFlowGenerateAccessToken failed", response);
  return parseLocalAuthTokens(response.payload);
}

std::string VantelClient::localAuthFlowLogout() const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling LocalAuthFlowLogout");
  BridgeResponse response = bridge_->localAuthFlowLogout();
  if (!response.error.empty()) {
    // Revoking the token is best effort: the logout page still ends the browser session.
    if (response.payload.empty()) fail("LocalAuthFlowLogout failed", response.error);
    logWarning("LocalAuthFlowLogout token revocation failed, continuing with logout URL: " +
               response.error);
  }
  return std::move(response.payload);
}

std::vector<VantelWorkspace> VantelClient::listWorkspaces(const std::string& accessToken,
                                                          const std::string& text) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling GetAllWorkspaces");
  const BridgeResponse response = bridge_->getAllWorkspaces(accessToken, text);
  failOnError("GetAllWorkspaces failed", response);
  if (response.payload.empty()) return {};
  return parseWorkspacesPayload(response.payload);
}

VantelWorkspace VantelClient::getWorkspace(const std::string& accessToken,
                                           int64_t workspaceId) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling GetWorkspace");
  const BridgeResponse response = bridge_->getWorkspace(accessToken, workspaceId);
  failOnError("GetWorkspace failed", response);
  if (response.payload.empty()) {
    const std::string message = "GetWorkspace returned an empty payload";
    logError(message);
    throw VantelException(message);
  }
  return parseSingleWorkspacePayload(response.payload);
}

VantelUser VantelClient::getWorkspaceUser(const std::string& accessToken, int64_t workspaceId,
                                          int64_t userId) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling GetWorkspaceUser");
  const BridgeResponse response =
      bridge_->getWorkspaceUser(accessToken, workspaceId, std::to_string(userId));
  failOnError("GetWorkspaceUser failed", response);
  return parseUserPayload(response.payload);
}

VantelUser VantelClient::getCurrentUser(const std::string& accessToken) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling GetCurrentUser");
  const BridgeResponse response = bridge_->getCurrentUser(accessToken);
  failOnError("GetCurrentUser failed", response);
  return parseUserPayload(response.payload);
}

VantelDirectory VantelClient::getRootDirectory(const std::string& accessToken,
                                               int64_t workspaceId) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling GetRootDirectory");
  const BridgeResponse response = bridge_->getRootDirectory(accessToken, workspaceId);
  failOnError("GetRootDirectory failed", response);
  return parseDirectoryPayload(response.payload);
}

VantelDirectory VantelClient::getDirectory(const std::string& accessToken, int64_t workspaceId,
                                           int64_t directoryId) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling GetDirectory");
  const BridgeResponse response =
      bridge_->getDirectory(accessToken, workspaceId, std::to_string(directoryId));
  failOnError("GetDirectory failed", response);
  return parseDirectoryPayload(response.payload);
}

std::vector<VantelDirectory> VantelClient::listSubDirectories(const std::string& accessToken,
                                                              int64_t workspaceId,
                                                              int64_t directoryId) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling GetSubDirectories");
  const BridgeResponse response =
      bridge_->getSubDirectories(accessToken, workspaceId, std::to_string(directoryId));
  failOnError("GetSubDirectories failed", response);
  if (response.payload.empty()) return {};
  return parseDirectoryListPayload(response.payload);
}

VantelDirectory VantelClient::createDirectory(const std::string& accessToken, int64_t firstId,
                                              int64_t secondId, const std::string& name) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling CreateDirectory");
  const BridgeResponse response = bridge_->createDirectory(accessToken, firstId, secondId, name);
  failOnError("CreateDirectory failed", response);
  return parseDirectoryPayload(response.payload);
}

std::vector<VantelFindRevisionResult> VantelClient::findRevision(
    const std::string& accessToken, int64_t workspaceId, const std::string& textA,
    const std::string& textB, const std::string& textC, const std::string& textD, bool flag1,
    bool flag2, bool flag3, bool flag4) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling FindRevision");
  // Torvane takes the fourth text first.
  const BridgeResponse response = bridge_->findRevision(accessToken, textD, textA, textB, textC,
                                                        workspaceId, flag1, flag2, flag3, flag4);
  if (!response.error.empty()) {
    if (response.error.find(kRevisionNotFoundStatus) != std::string::npos &&
        response.error.find(kRevisionNotFoundSentence) != std::string::npos) {
      return {};
    }
    fail("FindRevision failed", response.error);
  }
  if (response.payload.empty()) return {};
  return parseFindRevisionPayload(response.payload);
}

std::vector<std::string> VantelClient::listSupportedFileTypes(
    const std::string& accessToken) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling ListSupportedFileTypes");
  const BridgeResponse response = bridge_->listSupportedFileTypes(accessToken);
  failOnError("ListSupportedFileTypes failed", response);
  if (response.payload.empty()) return {};
  return parseStringListPayload(response.payload);
}

VantelUploadResult VantelClient::upload(const std::string& accessToken,
                                        const VantelUploadPayload& payload, bool flag) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling Upload");
  const std::string payloadJson = compactJson(nlohmann::json(payload));
  const BridgeResponse response = bridge_->upload(accessToken, payloadJson, flag);
  return parseUploadPayload(response.payload, response.error);
}

VantelUploadJobStart VantelClient::startUpload(const std::string& accessToken,
                                               const VantelUploadPayload& payload,
                                               bool flag) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling StartUpload");
  const std::string payloadJson = compactJson(nlohmann::json(payload));
  const BridgeResponse response = bridge_->startUpload(accessToken, payloadJson, flag);
  failOnError("StartUpload failed", response);
  VantelUploadJobStart start = parseUploadJobStartPayload(response.payload);
  logDebug("Started upload job: " + start.jobId);
  return start;
}

VantelUploadJobStatus VantelClient::getUploadStatus(const std::string& jobId) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling GetUploadStatus for upload job: " + jobId);
  const BridgeResponse response = bridge_->getUploadStatus(jobId);
  failOnError("GetUploadStatus failed", response);
  return parseUploadJobStatusPayload(response.payload);
}

VantelUploadJobStatus VantelClient::cancelUpload(const std::string& jobId) const {
  ensureVantelServiceInfoRegistered();
  logDebug("Calling CancelUpload for upload job: " + jobId);
  const BridgeResponse response = bridge_->cancelUpload(jobId);
  if (!response.error.empty()) {
    // A job that could not be cancelled still has a status worth showing.
    if (response.payload.empty()) fail("CancelUpload failed", response.error);
    logWarning("CancelUpload returned latest status with warning: " + response.error);
  }
  return parseUploadJobStatusPayload(response.payload);
}

void VantelClient::initialize(const VantelInitializeOptions& options) {
  logDebug("Calling Initialize with typed options");
  initialize(compactJson(nlohmann::json(options)));
}

void VantelClient::initialize(const std::string& optionsJson) {
  logDebug("Calling Initialize");
  const BridgeResponse response = bridge_->initialize(optionsJson);
  failOnError("Initialize failed", response);
  ensureVantelServiceInfoRegistered();
}

void VantelClient::setDebugMode(bool flag) {
  ensureVantelServiceInfoRegistered();
  logDebug(std::string("Setting debug mode: ") + boolText(flag));
  bridge_->setDebugMode(flag);
}

void VantelClient::setUSRegion(bool flag) {
  ensureVantelServiceInfoRegistered();
  logDebug(std::string("Setting US region: ") + boolText(flag));
  bridge_->setUSRegion(flag);
}

void VantelClient::setRegisterOnlyIfAllFilesUploaded(bool flag) {
  ensureVantelServiceInfoRegistered();
  logDebug(std::string("Setting registerOnlyIfAllFilesUploaded: ") + boolText(flag));
  bridge_->setRegisterOnlyIfAllFilesUploaded(flag);
}

void VantelClient::setUploadSource(const VantelUploadSource& source) {
  // An unknown value is refused before anything is logged or sent.
  const std::string identifier = uploadSourceIdentifier(source.sourceType);
  ensureVantelServiceInfoRegistered();
  logDebug("Setting upload source: " + identifier);
  const BridgeResponse response =
      bridge_->setUploadSource(identifier, source.sourceId, source.displayName);
  failOnError("SetUploadSource failed", response);
}

void VantelClient::clearUploadSource() {
  ensureVantelServiceInfoRegistered();
  logDebug("Clearing upload source");
  const BridgeResponse response = bridge_->setUploadSource("", "", "");
  failOnError("SetUploadSource failed", response);
}

void VantelClient::setExternalServer(const std::string& serverJson) {
  ensureVantelServiceInfoRegistered();
  logDebug("Setting external server configuration");
  const BridgeResponse response = bridge_->setExternalServer(serverJson);
  failOnError("SetExternalServer failed", response);
}

void VantelClient::setLogFile(const std::string& path) {
  ensureVantelServiceInfoRegistered();
  logDebug("Setting torvane log file: " + path);
  bridge_->setLogFile(path);
}

void VantelClient::setLogLevel(const std::string& level) {
  ensureVantelServiceInfoRegistered();
  logDebug("Setting torvane log level: " + level);
  bridge_->setLogLevel(level);
}

void VantelClient::closeLogFile() {
  ensureVantelServiceInfoRegistered();
  logDebug("Closing torvane log file");
  bridge_->closeLogFile();
}

void VantelClient::addServiceInfo(const std::map<std::string, std::string>& entries) {
  ensureVantelServiceInfoRegistered();
  for (const auto& [name, version] : entries) {
    if (name.empty() || version.empty() || name == kOwnServiceName) continue;
    bridge_->addServiceInfo(name, version);
  }
}

}  // namespace vantel
