// The request writers, fed records built from the input and sent through the client as the
// add-in sends them. The one error allowed out is the JSON library's invalid-UTF-8 error
// (type_error 316), exactly when some text is not UTF-8, and then before Torvane is called;
// otherwise what reaches Torvane reads back as the records that were written.
#include <fuzzer/FuzzedDataProvider.h>
#include <vantel/RequestRecords.h>
#include <vantel/VantelClient.h>
#include <vantel/VantelException.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "FuzzCheck.h"

namespace {

using nlohmann::json;
using vantel::BridgeResponse;

// Keeps the JSON texts the client sends; answers with nothing.
class CapturingBridge : public vantel::VantelBridgeInterface {
 public:
  std::string sent;
  int calls = 0;

  BridgeResponse initialize(const std::string& optionsJson) override { return keep(optionsJson); }
  BridgeResponse localAuthFlowAuthorize() override { return {}; }
  BridgeResponse localAuthFlowAuthorizeWithTimeout(int64_t) override { return {}; }
  BridgeResponse localAuthFlowComplete() override { return {}; }
  BridgeResponse localAuthFlowGenerateAccessToken(const std::string&) override { return {}; }
  BridgeResponse localAuthFlowLogout() override { return {}; }
  BridgeResponse getAllWorkspaces(const std::string&, const std::string&) override { return {}; }
  BridgeResponse getWorkspace(const std::string&, int64_t) override { return {}; }
  BridgeResponse getWorkspaceUser(const std::string&, int64_t, const std::string&) override {
    return {};
  }
  BridgeResponse getCurrentUser(const std::string&) override { return {}; }
  BridgeResponse getRootDirectory(const std::string&, int64_t) override { return {}; }
  BridgeResponse getDirectory(const std::string&, int64_t, const std::string&) override {
    return {};
  }
  BridgeResponse getSubDirectories(const std::string&, int64_t, const std::string&) override {
    return {};
  }
  BridgeResponse findRevision(const std::string&, const std::string&, const std::string&,
                              const std::string&, const std::string&, int64_t, bool, bool, bool,
                              bool) override {
    return {};
  }
  BridgeResponse listSupportedFileTypes(const std::string&) override { return {}; }
  BridgeResponse upload(const std::string&, const std::string& payloadJson, bool) override {
    return keep(payloadJson);
  }
  BridgeResponse startUpload(const std::string&, const std::string& payloadJson, bool) override {
    return keep(payloadJson);
  }
  BridgeResponse getUploadStatus(const std::string&) override { return {}; }
  BridgeResponse cancelUpload(const std::string&) override { return {}; }
  BridgeResponse createDirectory(const std::string&, int64_t, int64_t,
                                 const std::string&) override {
    return {};
  }
  void setDebugMode(bool) override {}
  void setUSRegion(bool) override {}
  void setRegisterOnlyIfAllFilesUploaded(bool) override {}
  BridgeResponse setUploadSource(const std::string&, const std::string&,
                                 const std::string&) override {
    return {};
  }
  BridgeResponse setExternalServer(const std::string&) override { return {}; }
  void setLogFile(const std::string&) override {}
  void setLogLevel(const std::string&) override {}
  void closeLogFile() override {}
  void addServiceInfo(const std::string&, const std::string&) override {}

 private:
  BridgeResponse keep(const std::string& text) {
    sent = text;
    ++calls;
    return {};
  }
};

// Texts drawn from the input, remembering whether any of them is not UTF-8.
class Texts {
 public:
  explicit Texts(FuzzedDataProvider& input) : input_(input) {}

  std::string next() { return track(untracked()); }

  // For a text that may not be written after all (a map entry whose key is taken).
  std::string untracked() { return input_.ConsumeRandomLengthString(64); }

  std::string track(std::string text) {
    if (!fuzzcheck::isUtf8(text)) anyInvalid = true;
    return text;
  }

  std::optional<std::string> maybe() {
    if (!input_.ConsumeBool()) return std::nullopt;
    return next();
  }

  std::map<std::string, std::vector<std::string>> attributes() {
    std::map<std::string, std::vector<std::string>> result;
    const int names = input_.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < names; ++i) {
      std::vector<std::string>& values = result[next()];
      const int count = input_.ConsumeIntegralInRange(0, 3);
      for (int k = 0; k < count; ++k) values.push_back(next());
    }
    return result;
  }

  bool anyInvalid = false;

 private:
  FuzzedDataProvider& input_;
};

template <typename T>
std::optional<T> maybeValue(FuzzedDataProvider& input) {
  if (!input.ConsumeBool()) return std::nullopt;
  if constexpr (std::is_same_v<T, bool>) {
    return input.ConsumeBool();
  } else {
    return input.ConsumeIntegral<T>();
  }
}

vantel::VantelUploadSource makeSource(FuzzedDataProvider& input, Texts& texts) {
  vantel::VantelUploadSource source;
  source.sourceType = static_cast<vantel::VantelUploadSourceType>(input.ConsumeIntegralInRange(0, 12));
  source.sourceId = texts.next();
  source.displayName = texts.next();
  return source;
}

vantel::VantelInitializeOptions makeOptions(FuzzedDataProvider& input, Texts& texts) {
  vantel::VantelInitializeOptions options;
  options.logFile = texts.maybe();
  options.logLevel = texts.maybe();
  options.disableStdStreams = maybeValue<bool>(input);
  options.debugMode = maybeValue<bool>(input);
  options.usRegion = maybeValue<bool>(input);
  options.registerOnlyIfAllFilesUploaded = maybeValue<bool>(input);
  if (input.ConsumeBool()) {
    vantel::VantelUploadConfiguration configuration;
    configuration.registerOnlyIfAllFilesUploaded = maybeValue<bool>(input);
    configuration.jobRetentionMinutes = maybeValue<int32_t>(input);
    configuration.maxRetainedJobs = maybeValue<int32_t>(input);
    options.uploadConfiguration = configuration;
  }
  if (input.ConsumeBool()) options.externalServer = json{{"url", texts.next()}};
  if (input.ConsumeBool()) options.uploadSource = makeSource(input, texts);
  const int services = input.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < services; ++i) {
    std::string name = texts.untracked();
    std::string version = texts.untracked();
    if (options.serviceInfo.count(name) == 0) {
      options.serviceInfo[texts.track(name)] = texts.track(version);
    }
  }
  return options;
}

vantel::VantelUploadPayload makePayload(FuzzedDataProvider& input, Texts& texts) {
  vantel::VantelUploadPayload payload;
  const int workspaces = input.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < workspaces; ++i) {
    payload.workspaces[input.ConsumeIntegral<int64_t>()] = input.ConsumeIntegral<int64_t>();
  }
  payload.securityAttributes = texts.attributes();
  payload.uploadOption = texts.maybe();
  payload.parentFile = texts.maybe();
  payload.sourceState = texts.maybe();
  payload.sourceRevisionName = texts.maybe();
  payload.sourceRevisionTime = texts.maybe();
  payload.sourceRevisionUser = texts.maybe();
  payload.sourceRevisionVersion = texts.maybe();
  payload.sourceRevisionId = texts.maybe();
  const int files = input.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < files; ++i) {
    vantel::VantelUploadPayloadFile file;
    file.localFilePath = texts.next();
    file.filename = texts.next();
    file.securityAttributes = texts.attributes();
    file.sourceFilePath = texts.next();
    file.sourceFileId = texts.next();
    file.sourceRevisionId = texts.next();
    file.sourceFolderId = texts.next();
    file.sourceVersionId = texts.next();
    if (input.ConsumeBool()) file.autodiscoverModelId = maybeValue<bool>(input);
    payload.files.push_back(std::move(file));
  }
  return payload;
}

// Runs a write; true when it went out. The invalid-UTF-8 error is allowed only when due.
template <typename Write>
bool written(const char* name, bool anyInvalid, CapturingBridge& bridge, Write&& write) {
  const int before = bridge.calls;
  try {
    write();
  } catch (const json::type_error& e) {
    fuzzcheck::require(e.id == 316, name, std::string("a JSON error other than 316: ") + e.what());
    fuzzcheck::require(anyInvalid, name, std::string("refused valid UTF-8: ") + e.what());
    fuzzcheck::require(bridge.calls == before, name, "Torvane was called with a refused request");
    return false;
  } catch (...) {
    fuzzcheck::unexpectedException(name);
  }
  fuzzcheck::require(!anyInvalid, name, "text that is not UTF-8 went out");
  return true;
}

void checkText(const json& object, const char* key, const std::string& expected) {
  if (expected.empty()) {
    fuzzcheck::require(!object.contains(key), key, "an empty text was written");
  } else {
    fuzzcheck::require(object.at(key) == expected, key, "written differently");
  }
}

void checkPayload(const vantel::VantelUploadPayload& payload, const std::string& sent) {
  const json value = json::parse(sent);
  fuzzcheck::require(value.is_object(), "upload payload", sent);
  const json& files = value.at("files");
  fuzzcheck::require(files.size() == payload.files.size(), "upload files", sent);
  const std::string option = value.at("upload_option").get<std::string>();
  if (payload.uploadOption && !payload.uploadOption->empty()) {
    fuzzcheck::require(option == *payload.uploadOption, "upload_option", sent);
  } else {
    fuzzcheck::require(option == (payload.files.size() < 2 ? "individual" : "assembly"),
                       "upload_option", sent);
  }
  if (payload.workspaces.empty()) {
    fuzzcheck::require(!value.contains("workspaces"), "workspaces", sent);
  } else {
    const json& workspaces = value.at("workspaces");
    fuzzcheck::require(workspaces.size() == payload.workspaces.size(), "workspaces", sent);
    for (const auto& [id, directory] : payload.workspaces) {
      fuzzcheck::require(workspaces.at(std::to_string(id)).get<int64_t>() == directory,
                         "workspaces", sent);
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    const vantel::VantelUploadPayloadFile& file = payload.files[i];
    checkText(files[i], "filename", file.filename);
    checkText(files[i], "local_file_path", file.localFilePath);
    checkText(files[i], "source_revision_id", file.sourceRevisionId);
    fuzzcheck::require(files[i].contains("autodiscover_model_id") ==
                           file.autodiscoverModelId.has_value(),
                       "autodiscover_model_id", sent);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  auto bridge = std::make_shared<CapturingBridge>();
  vantel::VantelClient client(bridge, nullptr);

  Texts sourceTexts(input);
  const vantel::VantelUploadSource source = makeSource(input, sourceTexts);
  written("upload source", sourceTexts.anyInvalid, *bridge, [&] {
    const json value = json(source);
    bridge->sent = value.dump();
    const json back = json::parse(bridge->sent);
    checkText(back, "source_id", source.sourceId);
    checkText(back, "display_name", source.displayName);
  });

  Texts optionTexts(input);
  const vantel::VantelInitializeOptions options = makeOptions(input, optionTexts);
  if (written("initialize options", optionTexts.anyInvalid, *bridge,
              [&] { client.initialize(options); })) {
    const json back = json::parse(bridge->sent);
    fuzzcheck::require(back.is_object(), "initialize options", bridge->sent);
    fuzzcheck::require(back.contains("serviceInfo") == !options.serviceInfo.empty(),
                       "serviceInfo", bridge->sent);
  }

  Texts payloadTexts(input);
  const vantel::VantelUploadPayload payload = makePayload(input, payloadTexts);
  const bool asJob = input.ConsumeBool();
  if (written("upload payload", payloadTexts.anyInvalid, *bridge, [&] {
        if (asJob) {
          try {
            client.startUpload("token", payload, false);
          } catch (const vantel::VantelException&) {
            // An empty answer is no job; only the request matters here.
          }
        } else {
          client.upload("token", payload, true);
        }
      })) {
    checkPayload(payload, bridge->sent);
  }
  return 0;
}
