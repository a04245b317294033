// The add-in's one client, created on first use against the Torvane stand-in.
#include "addin/client/ClientSetup.h"

#include <gtest/gtest.h>

#include <thread>

#include "addin/platform/TextEncoding.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/settings/ServiceEnvironment.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/TorvaneStandIn.h"

namespace synquo {
namespace {

using testsupport::AddinEnvironment;
using testsupport::TorvaneStandIn;

// The client exists once per process, so this is one story from the first call on.
TEST(ClientSetup, CreatesOneClientOnFirstUseAndBindsTheBundlesToIt) {
  AddinEnvironment installation;
  TorvaneStandIn torvane(installation.addinDirectory());
  installation.writeProperties(
      "synquo_nx_log_level=DEBUG\nsynquo_nx_server=Staging\nsynquo_nx_client_id=override-id\n");

  // Building the bundles does not create the client.
  const AuthCallbacks auth = clientAuthCallbacks();
  const ServiceOperations operations = clientServiceOperations();
  EXPECT_TRUE(torvane.calls("Initialize").empty());

  // Two threads whose first calls coincide share one client.
  std::shared_ptr<vantel::VantelClient> first;
  std::shared_ptr<vantel::VantelClient> second;
  std::thread a([&] { first = sharedVantelClient(); });
  std::thread b([&] { second = sharedVantelClient(); });
  a.join();
  b.join();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(sharedVantelClient(), first);
  EXPECT_EQ(torvane.calls("Initialize").size(), 1u);

  // The request: log file and level, the chosen environment, the add-in's service entry.
  ServiceSettings staging;
  staging.environment = "Staging";
  staging.clientId = "override-id";
  const nlohmann::json expected = {{"externalServer", resolveServiceEnvironment(staging)},
                                   {"logFile", platform::toUtf8(installation.defaultLogDirectory() /
                                                                "synquo-torvane-integration.log")},
                                   {"logLevel", "debug"},
                                   {"serviceInfo", {{"brevin", "1.0.0"}}}};
  EXPECT_EQ(torvane.initializeRequest(), expected);
  // The client library adds its own entry after the add-in's.
  const std::vector<nlohmann::json> services = torvane.calls("AddServiceInfo");
  ASSERT_EQ(services.size(), 1u);
  EXPECT_EQ(services[0].at("args").at("name"), "vantel");

  // The client's own log lines reach the add-in's log under their own tag.
  EXPECT_TRUE(AddinEnvironment::logContains(installation.defaultLogDirectory(),
                                            "[DEBUG] [vantel] Calling Initialize"));

  // Each bundle member reaches the same client with its arguments unchanged.
  const std::string url = auth.authorize();
  EXPECT_EQ(url.rfind("http://127.0.0.1:", 0), 0u) << url;
  const vantel::VantelLocalAuthTokens tokens = auth.complete();
  ASSERT_FALSE(tokens.accessToken.empty());
  const std::optional<vantel::VantelUser> user = auth.fetchUser(tokens.accessToken);
  ASSERT_TRUE(user.has_value());
  EXPECT_EQ(user->firstName, "Jordan");
  const std::vector<vantel::VantelWorkspace> workspaces =
      operations.listWorkspaces(tokens.accessToken, "");
  ASSERT_FALSE(workspaces.empty());
  EXPECT_EQ(operations.getRootDirectory(tokens.accessToken, workspaces[0].id).name.empty(), false);
  EXPECT_TRUE(operations
                  .findRevision(tokens.accessToken, workspaces[0].id, "file-A", "1", "rev-C", "",
                                false, true, false, true)
                  .empty());
  const nlohmann::json lookup = torvane.calls("FindRevision").back().at("args");
  EXPECT_EQ(lookup.at("workspace_id"), workspaces[0].id);
  EXPECT_EQ(lookup.at("text1"), "");
  EXPECT_EQ(lookup.at("text2"), "file-A");
  EXPECT_EQ(lookup.at("text3"), "1");
  EXPECT_EQ(lookup.at("text4"), "rev-C");
  EXPECT_EQ(lookup.at("flags"), nlohmann::json({false, true, false, true}));
  EXPECT_EQ(torvane.calls("Initialize").size(), 1u);

  const std::string logoutUrl = auth.logout();
  EXPECT_EQ(logoutUrl.rfind("https://", 0), 0u) << logoutUrl;
  EXPECT_THROW(operations.listWorkspaces(tokens.accessToken, ""), vantel::VantelException);
}

}  // namespace
}  // namespace synquo
