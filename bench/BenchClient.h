// A Torvane that answers at once with texts the benchmark gives it.
#pragma once

#include <vantel/vantel.h>

#include <string>

namespace bench {

class InstantTorvane : public vantel::VantelBridgeInterface {
 public:
  std::string workspaces;
  std::string uploadResult;
  std::size_t lastRequestBytes = 0;

  vantel::BridgeResponse initialize(const std::string&) override { return {}; }
  vantel::BridgeResponse localAuthFlowAuthorize() override { return {}; }
  vantel::BridgeResponse localAuthFlowAuthorizeWithTimeout(int64_t) override { return {}; }
  vantel::BridgeResponse localAuthFlowComplete() override { return {}; }
  vantel::BridgeResponse localAuthFlowGenerateAccessToken(const std::string&) override {
    return {};
  }
  vantel::BridgeResponse localAuthFlowLogout() override { return {}; }
  vantel::BridgeResponse getAllWorkspaces(const std::string&, const std::string&) override {
    return {workspaces, ""};
  }
  vantel::BridgeResponse getWorkspace(const std::string&, int64_t) override { return {}; }
  vantel::BridgeResponse getWorkspaceUser(const std::string&, int64_t,
                                          const std::string&) override {
    return {};
  }
  vantel::BridgeResponse getCurrentUser(const std::string&) override { return {}; }
  vantel::BridgeResponse getRootDirectory(const std::string&, int64_t) override { return {}; }
  vantel::BridgeResponse getDirectory(const std::string&, int64_t, const std::string&) override {
    return {};
  }
  vantel::BridgeResponse getSubDirectories(const std::string&, int64_t,
                                           const std::string&) override {
    return {};
  }
  vantel::BridgeResponse findRevision(const std::string&, const std::string&, const std::string&,
                                      const std::string&, const std::string&, int64_t, bool, bool,
                                      bool, bool) override {
    return {};
  }
  vantel::BridgeResponse listSupportedFileTypes(const std::string&) override { return {}; }
  vantel::BridgeResponse upload(const std::string&, const std::string& payloadJson, bool) override {
    lastRequestBytes = payloadJson.size();
    return {uploadResult, ""};
  }
  vantel::BridgeResponse startUpload(const std::string&, const std::string&, bool) override {
    return {};
  }
  vantel::BridgeResponse getUploadStatus(const std::string&) override { return {}; }
  vantel::BridgeResponse cancelUpload(const std::string&) override { return {}; }
  vantel::BridgeResponse createDirectory(const std::string&, int64_t, int64_t,
                                         const std::string&) override {
    return {};
  }
  void setDebugMode(bool) override {}
  void setUSRegion(bool) override {}
  void setRegisterOnlyIfAllFilesUploaded(bool) override {}
  vantel::BridgeResponse setUploadSource(const std::string&, const std::string&,
                                         const std::string&) override {
    return {};
  }
  vantel::BridgeResponse setExternalServer(const std::string&) override { return {}; }
  void setLogFile(const std::string&) override {}
  void setLogLevel(const std::string&) override {}
  void closeLogFile() override {}
  void addServiceInfo(const std::string&, const std::string&) override {}
};

// A workspace list of `count` entries, every field filled, as Torvane writes it.
std::string workspacesText(int count);
// An upload result naming `count` files, each with its link.
std::string uploadResultText(int count);

}  // namespace bench
