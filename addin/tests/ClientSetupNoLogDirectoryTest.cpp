// With logging on but no log directory, Torvane gets a level and no log file.
#include <gtest/gtest.h>

#include "addin/client/ClientSetup.h"
#include "addin/logging/Log.h"
#include "addin/platform/TextEncoding.h"
#include "addin/settings/ServiceEnvironment.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/TorvaneStandIn.h"

namespace synquo {
namespace {

using testsupport::AddinEnvironment;
using testsupport::TorvaneStandIn;

// A log directory stays empty when the add-in's own directory is unknown and the setting is
// relative. The client itself can only be created where its module is known, so the request
// is built in that state and sent through a client of its own.
TEST(ClientSetupNoLogDirectory, SendsTheLevelWithoutALogFile) {
  AddinEnvironment installation;
  TorvaneStandIn torvane(installation.addinDirectory());
  logging::setLogDirectory({}, "logs");
  logging::applyLogLevel("synquo_nx_log_level", "WARN");
  ASSERT_TRUE(logging::logDirectory().empty());

  const vantel::VantelInitializeOptions options = buildInitializeOptions();
  EXPECT_FALSE(options.logFile.has_value());

  auto bridge = std::make_shared<vantel::DynamicVantelBridge>(
      platform::toFileNameCodePage(torvaneLibraryPath()));
  vantel::VantelClient client(bridge, nullptr);
  client.initialize(options);
  const nlohmann::json expected = {{"externalServer", resolveServiceEnvironment({})},
                                   {"logLevel", "warning"},
                                   {"serviceInfo", {{"brevin", "1.0.0"}}}};
  EXPECT_EQ(torvane.initializeRequest(), expected);
}

}  // namespace
}  // namespace synquo
