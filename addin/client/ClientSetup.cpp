// The add-in's one service client and the bundles bound to it.
#include "addin/client/ClientSetup.h"

#include <stdexcept>

#include "addin/client/VantelLoggerAdapter.h"
#include "addin/common/AddinVersion.h"
#include "addin/logging/Log.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/settings/ServiceEnvironment.h"

namespace synquo {
namespace {

constexpr const char* kTorvaneLogFileName = "synquo-torvane-integration.log";
constexpr const char* kServiceName = "brevin";

const char* lowerCaseLevelName(logging::LogLevel level) {
  switch (level) {
    case logging::LogLevel::Debug:
      return "debug";
    case logging::LogLevel::Info:
      return "info";
    case logging::LogLevel::Warning:
      return "warning";
    case logging::LogLevel::Error:
      return "error";
    case logging::LogLevel::Off:
      break;
  }
  return "";
}

}  // namespace

std::filesystem::path addinModuleDirectory() {
  const platform::ModuleFile module = platform::os().addinModuleFile();
  if (!module.found) throw std::runtime_error("Failed to resolve brevin module path.");
  if (module.path.empty()) throw std::runtime_error("Failed to read brevin module filename.");
  return module.path.parent_path();
}

std::filesystem::path torvaneLibraryPath() {
  return addinModuleDirectory() / platform::fromFileNameCodePage(vantel::kTorvaneLibraryFileName);
}

vantel::VantelInitializeOptions buildInitializeOptions() {
  vantel::VantelInitializeOptions options;
  const logging::LogLevel level = logging::currentLogLevel();
  if (level != logging::LogLevel::Off) {
    const std::filesystem::path logFile = logging::logFilePath(kTorvaneLogFileName);
    if (!logFile.empty()) options.logFile = platform::toUtf8(logFile);
    options.logLevel = lowerCaseLevelName(level);
  }
  options.externalServer = resolveServiceEnvironment(readServiceSettings());
  options.serviceInfo[kServiceName] = kAddinVersion;
  return options;
}

std::shared_ptr<vantel::VantelClient> createVantelClient() {
  loadSettings();
  const std::string libraryPath = platform::toFileNameCodePage(torvaneLibraryPath());
  auto bridge = std::make_shared<vantel::DynamicVantelBridge>(libraryPath);
  std::shared_ptr<vantel::IVantelLogger> logger;
  if (logging::currentLogLevel() != logging::LogLevel::Off) {
    logger = std::make_shared<logging::VantelLoggerAdapter>();
  }
  auto client = std::make_shared<vantel::VantelClient>(bridge, logger);
  client->initialize(buildInitializeOptions());
  return client;
}

std::shared_ptr<vantel::VantelClient> sharedVantelClient() {
  // A throwing initialiser leaves the static unset, so the next call tries again.
  static const std::shared_ptr<vantel::VantelClient> client = createVantelClient();
  return client;
}

AuthCallbacks clientAuthCallbacks() {
  AuthCallbacks callbacks;
  callbacks.authorize = [] { return sharedVantelClient()->localAuthFlowAuthorize(); };
  callbacks.complete = [] { return sharedVantelClient()->localAuthFlowComplete(); };
  callbacks.fetchUser = [](const std::string& accessToken) {
    return std::optional<vantel::VantelUser>(sharedVantelClient()->getCurrentUser(accessToken));
  };
  callbacks.logout = [] { return sharedVantelClient()->localAuthFlowLogout(); };
  return callbacks;
}

ServiceOperations clientServiceOperations() {
  ServiceOperations operations;
  operations.listWorkspaces = [](const std::string& accessToken, const std::string& text) {
    return sharedVantelClient()->listWorkspaces(accessToken, text);
  };
  operations.findRevision = [](const std::string& accessToken, int64_t workspaceId,
                               const std::string& textA, const std::string& textB,
                               const std::string& textC, const std::string& textD, bool flag1,
                               bool flag2, bool flag3, bool flag4) {
    return sharedVantelClient()->findRevision(accessToken, workspaceId, textA, textB, textC, textD,
                                              flag1, flag2, flag3, flag4);
  };
  operations.getRootDirectory = [](const std::string& accessToken, int64_t workspaceId) {
    return sharedVantelClient()->getRootDirectory(accessToken, workspaceId);
  };
  operations.upload = [](const std::string& accessToken, const vantel::VantelUploadPayload& payload,
                         bool flag) {
    return sharedVantelClient()->upload(accessToken, payload, flag);
  };
  operations.renewTokens = [](const std::string& refreshToken) {
    return sharedVantelClient()->localAuthFlowGenerateAccessToken(refreshToken);
  };
  return operations;
}

}  // namespace synquo
