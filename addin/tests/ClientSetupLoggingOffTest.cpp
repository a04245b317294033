// With logging off, the client gets no logger and Torvane no log settings.
#include <gtest/gtest.h>

#include "addin/client/ClientSetup.h"
#include "addin/settings/ServiceEnvironment.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/TorvaneStandIn.h"

namespace synquo {
namespace {

using testsupport::AddinEnvironment;
using testsupport::TorvaneStandIn;

TEST(ClientSetupLoggingOff, SendsNeitherLogFileNorLevelAndLogsNothing) {
  AddinEnvironment installation;
  TorvaneStandIn torvane(installation.addinDirectory());
  installation.writeProperties("synquo_nx_log_level=off\n");

  const std::shared_ptr<vantel::VantelClient> client = sharedVantelClient();
  ASSERT_NE(client, nullptr);
  const nlohmann::json expected = {{"externalServer", resolveServiceEnvironment({})},
                                   {"serviceInfo", {{"brevin", "1.0.0"}}}};
  EXPECT_EQ(torvane.initializeRequest(), expected);

  // A refused call would be logged by the client if it had a logger.
  EXPECT_THROW(client->listWorkspaces("no-such-token", ""), vantel::VantelException);
  EXPECT_TRUE(AddinEnvironment::logEntries(installation.defaultLogDirectory()).empty());
  EXPECT_FALSE(std::filesystem::exists(installation.defaultLogDirectory() /
                                       "synquo-torvane-integration.log"));
}

}  // namespace
}  // namespace synquo
