// What the add-in asks of Torvane when it sets up its client, as the stand-in journals it:
// the service to use, where and how much Torvane should log, and who is calling.
#include <gtest/gtest.h>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const json kProduction = {{"LoginURL", "https://login.synquo.example/"},
                          {"ServerURL", "https://app.synquo.example/"},
                          {"ClientID", "u8jzPde0IgxLd6GncfBAepfJBd0Kh8oO"},
                          {"Audience", "https://login.synquo.example/api/v2/"}};

json initializeRequest(const SimRun& run) {
  const auto calls = run.torvaneCalls("Initialize");
  if (calls.size() != 1) return nullptr;
  return calls[0].at("args").at("options");
}

TEST(InitializeRequestE2ETest, WithLoggingOffOnlyTheServerAndTheCaller) {
  SimWorkspace workspace;
  const SimRun run =
      workspace.run({{"properties", {{"synquo_nx_log_level", "OFF"}}}, {"steps", {pressSignIn()}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  EXPECT_EQ(initializeRequest(run),
            json({{"externalServer", kProduction}, {"serviceInfo", {{"brevin", "1.0.0"}}}}));
}

TEST(InitializeRequestE2ETest, ByDefaultTorvaneLogsBesideTheAddinLog) {
  SimWorkspace workspace;
  const SimRun run = workspace.run({{"steps", {pressSignIn()}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const json request = initializeRequest(run);
  ASSERT_TRUE(request.is_object()) << run.failures();
  EXPECT_EQ(request.size(), 4u) << request.dump();
  EXPECT_EQ(request.at("externalServer"), kProduction);
  EXPECT_EQ(request.at("serviceInfo"), json({{"brevin", "1.0.0"}}));
  EXPECT_EQ(request.at("logLevel"), "info");
  const fs::path logFile = fs::u8path(request.at("logFile").get<std::string>());
  EXPECT_EQ(
      logFile.lexically_normal(),
      (run.path("log_file").parent_path() / "synquo-torvane-integration.log").lexically_normal());
  EXPECT_TRUE(fs::exists(run.path("log_file"))) << run.path("log_file");
}

TEST(InitializeRequestE2ETest, TheChosenServiceLevelAndLogDirectoryAreSent) {
  SimWorkspace workspace;
  const fs::path logs = workspace.directory() / "logs";
  const SimRun run = workspace.run({{"properties",
                                     {{"synquo_nx_log_level", "debug"},
                                      {"synquo_nx_log_directory", logs.u8string()},
                                      {"synquo_nx_server", "US_PROD"},
                                      {"synquo_nx_client_id", "nx-client.example"}}},
                                    {"steps", {pressSignIn()}}});
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const json request = initializeRequest(run);
  ASSERT_TRUE(request.is_object()) << run.failures();
  EXPECT_EQ(request.at("externalServer"),
            json({{"LoginURL", "https://us-login.synquo.example/"},
                  {"ServerURL", "https://us-app.synquo.example/"},
                  {"ClientID", "nx-client.example"},
                  {"Audience", "https://us-login.synquo.example/api/v2/"}}));
  EXPECT_EQ(request.at("logLevel"), "debug");
  EXPECT_EQ(fs::u8path(request.at("logFile").get<std::string>()).lexically_normal(),
            (logs / "synquo-torvane-integration.log").lexically_normal());
  EXPECT_EQ(run.path("log_file").lexically_normal(),
            (logs / "synquo-integration.log").lexically_normal());
  EXPECT_TRUE(fs::exists(logs / "synquo-integration.log"));
}

}  // namespace
}  // namespace simrunner::testing
