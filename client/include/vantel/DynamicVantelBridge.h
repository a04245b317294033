// The bridge that calls the Torvane library, loaded once per process from a file.
#pragma once

#include <vantel/Export.h>
#include <vantel/TorvaneAbi.h>
#include <vantel/VantelBridgeInterface.h>

#include <cstdint>
#include <string>

namespace vantel {

// The constructor loads the library (or reuses the one this process already loaded) and
// binds its exports; it raises VantelException when the library cannot be loaded, when a
// different file is already loaded, or when a required export is missing. The optional
// exports StartUpload, GetUploadStatus, CancelUpload and SetUploadSource are reported
// missing only when called. The library is never unloaded.
//
// An empty path means "torvane-<platform>" next to vantel's own module, or whatever
// library is already loaded.
class VANTEL_API DynamicVantelBridge : public VantelBridgeInterface {
 public:
  explicit DynamicVantelBridge(std::string libraryPath);
  ~DynamicVantelBridge() override;

  // The path the process-wide library was loaded from.
  const std::string& libraryPath() const;

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
  using HolderFn0 = GoStringReturnHolder (*)();
  using HolderFnS = GoStringReturnHolder (*)(GoString);
  using HolderFnI = GoStringReturnHolder (*)(int64_t);
  using HolderFnSS = GoStringReturnHolder (*)(GoString, GoString);
  using HolderFnSU = GoStringReturnHolder (*)(GoString, uint64_t);
  using HolderFnSUS = GoStringReturnHolder (*)(GoString, uint64_t, GoString);
  using HolderFnFindRevision = GoStringReturnHolder (*)(GoString, GoString, GoString, GoString,
                                                        GoString, uint64_t, uint8_t, uint8_t,
                                                        uint8_t, uint8_t);
  using HolderFnSSB = GoStringReturnHolder (*)(GoString, GoString, uint8_t);
  using HolderFnSUUS = GoStringReturnHolder (*)(GoString, uint64_t, uint64_t, GoString);
  using HolderFnSSS = GoStringReturnHolder (*)(GoString, GoString, GoString);
  using VoidFn0 = void (*)();
  using VoidFnB = void (*)(uint8_t);
  using VoidFnS = void (*)(GoString);
  using VoidFnSS = void (*)(GoString, GoString);
  using FreeFn = void (*)(char*);

  BridgeResponse makeResponse(GoStringReturnHolder holder) const;

  void* module_ = nullptr;
  HolderFnS initialize_ = nullptr;
  HolderFn0 localAuthFlowAuthorize_ = nullptr;
  HolderFnI localAuthFlowAuthorizeWithTimeout_ = nullptr;
  HolderFn0 localAuthFlowComplete_ = nullptr;
  HolderFnS localAuthFlowGenerateAccessToken_ = nullptr;
  HolderFn0 localAuthFlowLogout_ = nullptr;
  HolderFnSS getAllWorkspaces_ = nullptr;
  HolderFnSU getWorkspace_ = nullptr;
  HolderFnSUS getWorkspaceUser_ = nullptr;
  HolderFnS getCurrentUser_ = nullptr;
  HolderFnSU getRootDirectory_ = nullptr;
  HolderFnSUS getDirectory_ = nullptr;
  HolderFnSUS getSubDirectories_ = nullptr;
  HolderFnFindRevision findRevision_ = nullptr;
  HolderFnS listSupportedFileTypes_ = nullptr;
  HolderFnSSB upload_ = nullptr;
  HolderFnSSB startUpload_ = nullptr;
  HolderFnS getUploadStatus_ = nullptr;
  HolderFnS cancelUpload_ = nullptr;
  HolderFnSUUS createDirectory_ = nullptr;
  VoidFnB setDebugMode_ = nullptr;
  VoidFnB setUSRegion_ = nullptr;
  VoidFnB setRegisterOnlyIfAllFilesUploaded_ = nullptr;
  HolderFnSSS setUploadSource_ = nullptr;
  HolderFnS setExternalServer_ = nullptr;
  VoidFnS setLogFile_ = nullptr;
  VoidFnS setLogLevel_ = nullptr;
  VoidFn0 closeLogFile_ = nullptr;
  VoidFnSS addServiceInfo_ = nullptr;
  FreeFn freeAllocatedString_ = nullptr;
  std::string libraryPath_;
};

}  // namespace vantel
