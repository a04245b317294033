// Creating the client fails cleanly, and the same way every time, when the add-in's module
// or the Torvane library beside it cannot be found.
#include <gtest/gtest.h>

#include <vantel/TorvaneLibraryName.h>
#include "addin/client/ClientSetup.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/FailureText.h"
#include "addin/tests/support/TorvaneStandIn.h"

namespace synquo {
namespace {

using platform::FakePlatform;
using testsupport::AddinEnvironment;
using testsupport::failureOf;
using testsupport::TorvaneStandIn;

TEST(ClientSetupFailure, ReportsEachCauseAndRetriesOnlyWhatCanChange) {
  AddinEnvironment installation;
  TorvaneStandIn torvane(installation.addinDirectory(), /*placeLibrary=*/false);
  const AuthCallbacks auth = clientAuthCallbacks();
  const ServiceOperations operations = clientServiceOperations();

  installation.platform().setAddinModuleFile({false, {}});
  EXPECT_EQ(failureOf([&] { auth.authorize(); }), "Failed to resolve brevin module path.");
  installation.platform().setAddinModuleFile({true, {}});
  EXPECT_EQ(failureOf([&] { auth.authorize(); }), "Failed to read brevin module filename.");

  // With the module known but no library beside it, every call names the full path.
  installation.platform().setAddinModulePath(installation.addinDirectory() / "brevin.dll");
  const std::string expected =
      "Failed to load Torvane library at " +
      platform::toFileNameCodePage(installation.addinDirectory() / vantel::kTorvaneLibraryFileName);
  EXPECT_EQ(failureOf([&] { auth.authorize(); }), expected);
  EXPECT_EQ(failureOf([&] { operations.listWorkspaces("token", ""); }), expected);
  EXPECT_EQ(failureOf([&] { auth.complete(); }), expected);
  EXPECT_EQ(failureOf([&] { sharedVantelClient(); }), expected);
  EXPECT_TRUE(torvane.calls("Initialize").empty());
}

}  // namespace
}  // namespace synquo
