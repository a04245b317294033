// A Torvane library without the optional exports: the bridge binds, the four optional calls
// fail only when used, and everything else works, through the bridge and the client.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <functional>
#include <memory>
#include <string>

#include "client/tests/support/FixtureControl.h"
#include "client/tests/support/TestPaths.h"

namespace vantel {
namespace {

using ::testing::ElementsAre;
using testing::FixtureControl;
using testing::noOptionalFixturePath;

std::string failureOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const VantelException& e) {
    return e.what();
  }
  return "<no VantelException>";
}

class BridgeMissingOptionalTest : public ::testing::Test {
 protected:
  void SetUp() override { fixture.reset(); }

  std::shared_ptr<DynamicVantelBridge> bridge =
      std::make_shared<DynamicVantelBridge>(noOptionalFixturePath());
  FixtureControl fixture{noOptionalFixturePath()};
};

TEST_F(BridgeMissingOptionalTest, EachMissingOptionalExportIsNamedWhenUsed) {
  EXPECT_EQ(failureOf([&] { bridge->startUpload("tok", "{}", true); }),
            "Missing symbol: StartUpload");
  EXPECT_EQ(failureOf([&] { bridge->getUploadStatus("job"); }), "Missing symbol: GetUploadStatus");
  EXPECT_EQ(failureOf([&] { bridge->cancelUpload("job"); }), "Missing symbol: CancelUpload");
  EXPECT_EQ(failureOf([&] { bridge->setUploadSource("brevin", "", ""); }),
            "Missing symbol: SetUploadSource");
  EXPECT_THAT(fixture.journal(), ::testing::IsEmpty());
}

TEST_F(BridgeMissingOptionalTest, EveryOtherCallWorks) {
  fixture.script("Upload", "[{\"part.prt\":\"ok\"}]", std::nullopt);
  EXPECT_EQ(bridge->upload("tok", "{}", false).payload, "[{\"part.prt\":\"ok\"}]");
  bridge->initialize("{}");
  bridge->localAuthFlowAuthorize();
  bridge->localAuthFlowAuthorizeWithTimeout(3);
  bridge->localAuthFlowComplete();
  bridge->localAuthFlowGenerateAccessToken("r");
  bridge->localAuthFlowLogout();
  bridge->getAllWorkspaces("tok", "");
  bridge->getWorkspace("tok", 1);
  bridge->getWorkspaceUser("tok", 1, "2");
  bridge->getCurrentUser("tok");
  bridge->getRootDirectory("tok", 1);
  bridge->getDirectory("tok", 1, "2");
  bridge->getSubDirectories("tok", 1, "2");
  bridge->findRevision("tok", "a", "b", "c", "d", 1, false, false, false, false);
  bridge->listSupportedFileTypes("tok");
  bridge->createDirectory("tok", 1, 2, "n");
  bridge->setDebugMode(false);
  bridge->setUSRegion(true);
  bridge->setRegisterOnlyIfAllFilesUploaded(false);
  bridge->setExternalServer("{}");
  bridge->setLogFile("l");
  bridge->setLogLevel("info");
  bridge->closeLogFile();
  bridge->addServiceInfo("a", "b");
  EXPECT_EQ(fixture.journal().size(), 26u);
  EXPECT_EQ(fixture.journal().front(), "Upload(\"tok\", \"{}\", 0)");
  EXPECT_EQ(fixture.journal().back(), "AddServiceInfo(\"a\", \"b\")");
}

TEST_F(BridgeMissingOptionalTest, TheClientPassesTheBindingFailureThroughUnchanged) {
  VantelClient client(bridge, nullptr);
  EXPECT_EQ(failureOf([&] { client.startUpload("tok", VantelUploadPayload{}, false); }),
            "Missing symbol: StartUpload");
  EXPECT_EQ(failureOf([&] { client.cancelUpload("job-9"); }), "Missing symbol: CancelUpload");
  EXPECT_EQ(failureOf([&] { client.clearUploadSource(); }), "Missing symbol: SetUploadSource");
  EXPECT_THAT(fixture.journal(), ElementsAre("AddServiceInfo(\"vantel\", \"1.0.2\")"));
}

}  // namespace
}  // namespace vantel
