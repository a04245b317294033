// Every payload parser of the client, reached the way Torvane's answers reach it: a bridge
// that hands the input back as the payload of each operation, with and without an error
// text. Whatever the payload, an operation returns a value or raises VantelException.
#include <vantel/VantelClient.h>
#include <vantel/VantelException.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzCheck.h"

namespace {

using vantel::BridgeResponse;

// Answers every operation with the same two texts.
class EchoBridge : public vantel::VantelBridgeInterface {
 public:
  BridgeResponse response;

  BridgeResponse initialize(const std::string&) override { return response; }
  BridgeResponse localAuthFlowAuthorize() override { return response; }
  BridgeResponse localAuthFlowAuthorizeWithTimeout(int64_t) override { return response; }
  BridgeResponse localAuthFlowComplete() override { return response; }
  BridgeResponse localAuthFlowGenerateAccessToken(const std::string&) override { return response; }
  BridgeResponse localAuthFlowLogout() override { return response; }
  BridgeResponse getAllWorkspaces(const std::string&, const std::string&) override {
    return response;
  }
  BridgeResponse getWorkspace(const std::string&, int64_t) override { return response; }
  BridgeResponse getWorkspaceUser(const std::string&, int64_t, const std::string&) override {
    return response;
  }
  BridgeResponse getCurrentUser(const std::string&) override { return response; }
  BridgeResponse getRootDirectory(const std::string&, int64_t) override { return response; }
  BridgeResponse getDirectory(const std::string&, int64_t, const std::string&) override {
    return response;
  }
  BridgeResponse getSubDirectories(const std::string&, int64_t, const std::string&) override {
    return response;
  }
  BridgeResponse findRevision(const std::string&, const std::string&, const std::string&,
                              const std::string&, const std::string&, int64_t, bool, bool, bool,
                              bool) override {
    return response;
  }
  BridgeResponse listSupportedFileTypes(const std::string&) override { return response; }
  BridgeResponse upload(const std::string&, const std::string&, bool) override { return response; }
  BridgeResponse startUpload(const std::string&, const std::string&, bool) override {
    return response;
  }
  BridgeResponse getUploadStatus(const std::string&) override { return response; }
  BridgeResponse cancelUpload(const std::string&) override { return response; }
  BridgeResponse createDirectory(const std::string&, int64_t, int64_t,
                                 const std::string&) override {
    return response;
  }
  void setDebugMode(bool) override {}
  void setUSRegion(bool) override {}
  void setRegisterOnlyIfAllFilesUploaded(bool) override {}
  BridgeResponse setUploadSource(const std::string&, const std::string&,
                                 const std::string&) override {
    return response;
  }
  BridgeResponse setExternalServer(const std::string&) override { return response; }
  void setLogFile(const std::string&) override {}
  void setLogLevel(const std::string&) override {}
  void closeLogFile() override {}
  void addServiceInfo(const std::string&, const std::string&) override {}
};

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

template <typename Operation>
void expectValueOrVantelException(const char* name, Operation&& operation) {
  try {
    operation();
  } catch (const vantel::VantelException& e) {
    fuzzcheck::require(e.what()[0] != '\0', name, "a VantelException without a message");
  } catch (...) {
    fuzzcheck::unexpectedException(name);
  }
}

void runEveryOperation(const vantel::VantelClient& client, const std::string& error) {
  const vantel::VantelUploadPayload request;
  expectValueOrVantelException("LocalAuthFlowComplete", [&] { client.localAuthFlowComplete(); });
  expectValueOrVantelException("LocalAuthFlowGenerateAccessToken",
                               [&] { client.localAuthFlowGenerateAccessToken("t"); });
  expectValueOrVantelException("LocalAuthFlowLogout", [&] { client.localAuthFlowLogout(); });
  expectValueOrVantelException("GetAllWorkspaces", [&] { client.listWorkspaces("a", "t"); });
  expectValueOrVantelException("GetWorkspace", [&] { client.getWorkspace("a", 1); });
  expectValueOrVantelException("GetWorkspaceUser", [&] { client.getWorkspaceUser("a", 1, 2); });
  expectValueOrVantelException("GetCurrentUser", [&] { client.getCurrentUser("a"); });
  expectValueOrVantelException("GetRootDirectory", [&] { client.getRootDirectory("a", 1); });
  expectValueOrVantelException("GetDirectory", [&] { client.getDirectory("a", 1, 2); });
  expectValueOrVantelException("GetSubDirectories",
                               [&] { client.listSubDirectories("a", 1, 2); });
  expectValueOrVantelException("CreateDirectory", [&] { client.createDirectory("a", 1, 2, "n"); });
  expectValueOrVantelException("FindRevision", [&] {
    client.findRevision("a", 1, "A", "B", "C", "D", true, false, true, false);
  });
  expectValueOrVantelException("ListSupportedFileTypes",
                               [&] { client.listSupportedFileTypes("a"); });
  expectValueOrVantelException("StartUpload", [&] { client.startUpload("a", request, false); });
  expectValueOrVantelException("GetUploadStatus", [&] { client.getUploadStatus("j"); });
  expectValueOrVantelException("CancelUpload", [&] { client.cancelUpload("j"); });
  expectValueOrVantelException("Upload", [&] {
    const vantel::VantelUploadResult result = client.upload("a", request, false);
    // Torvane's error list comes back as its trimmed, non-empty comma-separated items.
    std::size_t listed = 0;
    for (const std::string& item : result.errors) {
      fuzzcheck::require(!item.empty(), "Upload errors", "an empty item");
      fuzzcheck::require(item.find(',') == std::string::npos, "Upload errors", item);
      fuzzcheck::require(!isWhiteSpace(item.front()) && !isWhiteSpace(item.back()),
                         "Upload errors", "untrimmed item: " + item);
      listed += item.size();
    }
    fuzzcheck::require(listed <= error.size(), "Upload errors", "more text than the error");
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  auto bridge = std::make_shared<EchoBridge>();
  const vantel::VantelClient client(bridge, nullptr);

  bridge->response = BridgeResponse{input, ""};
  runEveryOperation(client, "");
  // Operations that go on despite an error still read the payload; the input doubles as
  // the error text so that upload's error list is fuzzed too.
  bridge->response = BridgeResponse{input, input};
  runEveryOperation(client, input);
  return 0;
}
