// The bridge that calls the Torvane library's exported C functions.
#include <vantel/DynamicVantelBridge.h>

#include <memory>
#include <string>

#include <vantel/VantelException.h>

#include "client/bridge/LibraryLoader.h"
#include "client/bridge/TorvaneLibrary.h"

namespace vantel {
namespace {

enum class Need { Required, Optional };

template <typename Fn>
void bind(void* module, const char* name, Need need, Fn& target) {
  target = reinterpret_cast<Fn>(loader::findSymbol(module, name));
  if (target == nullptr && need == Need::Required) {
    throw VantelException(std::string("Missing symbol: ") + name);
  }
}

// Optional exports name themselves when missing; a required one can only be null if the
// bridge was never bound.
constexpr const char* kRequired = nullptr;

template <typename Fn, typename... Args>
auto invoke(Fn fn, const char* optionalExport, Args... args) {
  if (fn == nullptr) {
    if (optionalExport != nullptr) {
      throw VantelException(std::string("Missing symbol: ") + optionalExport);
    }
    throw VantelException("Torvane function pointer is null");
  }
  return fn(args...);
}

}  // namespace

DynamicVantelBridge::DynamicVantelBridge(std::string libraryPath) {
  const LoadedTorvaneLibrary library = loadTorvaneLibraryOnce(libraryPath);
  module_ = library.handle;
  libraryPath_ = library.path;
  bind(module_, "Initialize", Need::Required, initialize_);
  bind(module_, "LocalAuthFlowAuthorize", Need::Required, localAuthFlowAuthorize_);
  bind(module_, "LocalAuthFlowAuthorizeWithTimeout", Need::Required,
       localAuthFlowAuthorizeWithTimeout_);
  bind(module_, "LocalAuthFlowComplete", Need::Required, localAuthFlowComplete_);
  bind(module_, "LocalAuthFlowGenerateAccessToken", Need::Required,
       localAuthFlowGenerateAccessToken_);
  bind(module_, "LocalAuthFlowLogout", Need::Required, localAuthFlowLogout_);
  bind(module_, "GetAllWorkspaces", Need::Required, getAllWorkspaces_);
  bind(module_, "GetWorkspace", Need::Required, getWorkspace_);
  bind(module_, "GetWorkspaceUser", Need::Required, getWorkspaceUser_);
  bind(module_, "GetCurrentUser", Need::Required, getCurrentUser_);
  bind(module_, "GetRootDirectory", Need::Required, getRootDirectory_);
  bind(module_, "GetDirectory", Need::Required, getDirectory_);
  bind(module_, "GetSubDirectories", Need::Required, getSubDirectories_);
  bind(module_, "FindRevision", Need::Required, findRevision_);
  bind(module_, "ListSupportedFileTypes", Need::Required, listSupportedFileTypes_);
  bind(module_, "Upload", Need::Required, upload_);
  bind(module_, "StartUpload", Need::Optional, startUpload_);
  bind(module_, "GetUploadStatus", Need::Optional, getUploadStatus_);
  bind(module_, "CancelUpload", Need::Optional, cancelUpload_);
  bind(module_, "CreateDirectory", Need::Required, createDirectory_);
  bind(module_, "SetDebugMode", Need::Required, setDebugMode_);
  bind(module_, "SetUSRegion", Need::Required, setUSRegion_);
  bind(module_, "SetRegisterOnlyIfAllFilesUploaded", Need::Required,
       setRegisterOnlyIfAllFilesUploaded_);
  bind(module_, "SetUploadSource", Need::Optional, setUploadSource_);
  bind(module_, "SetExternalServer", Need::Required, setExternalServer_);
  bind(module_, "SetLogFile", Need::Required, setLogFile_);
  bind(module_, "SetLogLevel", Need::Required, setLogLevel_);
  bind(module_, "CloseLogFile", Need::Required, closeLogFile_);
  bind(module_, "AddServiceInfo", Need::Required, addServiceInfo_);
  bind(module_, "FreeAllocatedString", Need::Required, freeAllocatedString_);
}

DynamicVantelBridge::~DynamicVantelBridge() = default;

const std::string& DynamicVantelBridge::libraryPath() const { return libraryPath_; }

BridgeResponse DynamicVantelBridge::makeResponse(GoStringReturnHolder holder) const {
  // Both texts go back to Torvane however the copies end: a copy that runs out of memory
  // must not leak them.
  const auto release = [free = freeAllocatedString_](char* text) {
    try {
      invoke(free, kRequired, text);
    } catch (...) {
      // Bound at load time, so it cannot be missing; nothing else could be done here.
    }
  };
  // Destroyed in reverse: the result goes back first, as it always has.
  const std::unique_ptr<char, decltype(release)> error(holder.error, release);
  const std::unique_ptr<char, decltype(release)> result(holder.result, release);
  BridgeResponse response;
  if (holder.result != nullptr) response.payload = holder.result;
  if (holder.error != nullptr) response.error = holder.error;
  return response;
}

BridgeResponse DynamicVantelBridge::initialize(const std::string& optionsJson) {
  return makeResponse(invoke(initialize_, kRequired, makeGoString(optionsJson)));
}

BridgeResponse DynamicVantelBridge::localAuthFlowAuthorize() {
  return makeResponse(invoke(localAuthFlowAuthorize_, kRequired));
}

BridgeResponse DynamicVantelBridge::localAuthFlowAuthorizeWithTimeout(int64_t timeout) {
  return makeResponse(invoke(localAuthFlowAuthorizeWithTimeout_, kRequired, timeout));
}

BridgeResponse DynamicVantelBridge::localAuthFlowComplete() {
  return makeResponse(invoke(localAuthFlowComplete_, kRequired));
}

BridgeResponse DynamicVantelBridge::localAuthFlowGenerateAccessToken(const std::string& text) {
  return makeResponse(invoke(localAuthFlowGenerateAccessToken_, kRequired, makeGoString(text)));
}

BridgeResponse DynamicVantelBridge::localAuthFlowLogout() {
  return makeResponse(invoke(localAuthFlowLogout_, kRequired));
}

BridgeResponse DynamicVantelBridge::getAllWorkspaces(const std::string& accessToken,
                                                     const std::string& text) {
  return makeResponse(
      invoke(getAllWorkspaces_, kRequired, makeGoString(accessToken), makeGoString(text)));
}

BridgeResponse DynamicVantelBridge::getWorkspace(const std::string& accessToken,
                                                 int64_t workspaceId) {
  return makeResponse(
      invoke(getWorkspace_, kRequired, makeGoString(accessToken), makeGoUint64(workspaceId)));
}

BridgeResponse DynamicVantelBridge::getWorkspaceUser(const std::string& accessToken,
                                                     int64_t workspaceId,
                                                     const std::string& userId) {
  return makeResponse(invoke(getWorkspaceUser_, kRequired, makeGoString(accessToken),
                             makeGoUint64(workspaceId), makeGoString(userId)));
}

BridgeResponse DynamicVantelBridge::getCurrentUser(const std::string& accessToken) {
  return makeResponse(invoke(getCurrentUser_, kRequired, makeGoString(accessToken)));
}

BridgeResponse DynamicVantelBridge::getRootDirectory(const std::string& accessToken,
                                                     int64_t workspaceId) {
  return makeResponse(
      invoke(getRootDirectory_, kRequired, makeGoString(accessToken), makeGoUint64(workspaceId)));
}

BridgeResponse DynamicVantelBridge::getDirectory(const std::string& accessToken,
                                                 int64_t workspaceId,
                                                 const std::string& directoryId) {
  return makeResponse(invoke(getDirectory_, kRequired, makeGoString(accessToken),
                             makeGoUint64(workspaceId), makeGoString(directoryId)));
}

BridgeResponse DynamicVantelBridge::getSubDirectories(const std::string& accessToken,
                                                      int64_t workspaceId,
                                                      const std::string& directoryId) {
  return makeResponse(invoke(getSubDirectories_, kRequired, makeGoString(accessToken),
                             makeGoUint64(workspaceId), makeGoString(directoryId)));
}

BridgeResponse DynamicVantelBridge::findRevision(const std::string& accessToken,
                                                 const std::string& text1, const std::string& text2,
                                                 const std::string& text3, const std::string& text4,
                                                 int64_t workspaceId, bool flag1, bool flag2,
                                                 bool flag3, bool flag4) {
  return makeResponse(invoke(findRevision_, kRequired, makeGoString(accessToken),
                             makeGoString(text1), makeGoString(text2), makeGoString(text3),
                             makeGoString(text4), makeGoUint64(workspaceId), makeGoBool(flag1),
                             makeGoBool(flag2), makeGoBool(flag3), makeGoBool(flag4)));
}

BridgeResponse DynamicVantelBridge::listSupportedFileTypes(const std::string& accessToken) {
  return makeResponse(invoke(listSupportedFileTypes_, kRequired, makeGoString(accessToken)));
}

BridgeResponse DynamicVantelBridge::upload(const std::string& accessToken,
                                           const std::string& payloadJson, bool flag) {
  return makeResponse(invoke(upload_, kRequired, makeGoString(accessToken),
                             makeGoString(payloadJson), makeGoBool(flag)));
}

BridgeResponse DynamicVantelBridge::startUpload(const std::string& accessToken,
                                                const std::string& payloadJson, bool flag) {
  return makeResponse(invoke(startUpload_, "StartUpload", makeGoString(accessToken),
                             makeGoString(payloadJson), makeGoBool(flag)));
}

BridgeResponse DynamicVantelBridge::getUploadStatus(const std::string& jobId) {
  return makeResponse(invoke(getUploadStatus_, "GetUploadStatus", makeGoString(jobId)));
}

BridgeResponse DynamicVantelBridge::cancelUpload(const std::string& jobId) {
  return makeResponse(invoke(cancelUpload_, "CancelUpload", makeGoString(jobId)));
}

BridgeResponse DynamicVantelBridge::createDirectory(const std::string& accessToken, int64_t firstId,
                                                    int64_t secondId, const std::string& name) {
  return makeResponse(invoke(createDirectory_, kRequired, makeGoString(accessToken),
                             makeGoUint64(firstId), makeGoUint64(secondId), makeGoString(name)));
}

void DynamicVantelBridge::setDebugMode(bool flag) {
  invoke(setDebugMode_, kRequired, makeGoBool(flag));
}

void DynamicVantelBridge::setUSRegion(bool flag) {
  invoke(setUSRegion_, kRequired, makeGoBool(flag));
}

void DynamicVantelBridge::setRegisterOnlyIfAllFilesUploaded(bool flag) {
  invoke(setRegisterOnlyIfAllFilesUploaded_, kRequired, makeGoBool(flag));
}

BridgeResponse DynamicVantelBridge::setUploadSource(const std::string& sourceIdentifier,
                                                    const std::string& sourceId,
                                                    const std::string& displayName) {
  return makeResponse(invoke(setUploadSource_, "SetUploadSource", makeGoString(sourceIdentifier),
                             makeGoString(sourceId), makeGoString(displayName)));
}

BridgeResponse DynamicVantelBridge::setExternalServer(const std::string& serverJson) {
  return makeResponse(invoke(setExternalServer_, kRequired, makeGoString(serverJson)));
}

void DynamicVantelBridge::setLogFile(const std::string& path) {
  invoke(setLogFile_, kRequired, makeGoString(path));
}

void DynamicVantelBridge::setLogLevel(const std::string& level) {
  invoke(setLogLevel_, kRequired, makeGoString(level));
}

void DynamicVantelBridge::closeLogFile() { invoke(closeLogFile_, kRequired); }

void DynamicVantelBridge::addServiceInfo(const std::string& name, const std::string& version) {
  invoke(addServiceInfo_, kRequired, makeGoString(name), makeGoString(version));
}

}  // namespace vantel
