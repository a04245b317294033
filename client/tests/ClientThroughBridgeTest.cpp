// VantelClient over the real DynamicVantelBridge and the full fixture library: what Torvane
// receives and how its answers come back, across the C boundary.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <memory>
#include <string>

#include "client/tests/support/FixtureControl.h"
#include "client/tests/support/RecordingLogger.h"
#include "client/tests/support/TestPaths.h"

namespace vantel {
namespace {

using ::testing::ElementsAre;
using testing::FixtureControl;
using testing::fullFixturePath;
using ::testing::IsEmpty;

class ClientThroughBridgeTest : public ::testing::Test {
 protected:
  void SetUp() override { fixture.reset(); }
  void TearDown() override { EXPECT_EQ(fixture.liveTexts(), 0); }

  FixtureControl fixture{fullFixturePath()};
  std::shared_ptr<testing::RecordingLogger> logger = std::make_shared<testing::RecordingLogger>();
  VantelClient client{std::make_shared<DynamicVantelBridge>(fullFixturePath()), logger};
};

TEST_F(ClientThroughBridgeTest, FindRevisionReachesTorvaneInItsOwnArgumentOrder) {
  fixture.script("FindRevision",
                 R"({"asset_id":"12","review":{"id":4.5,"status":"open"},"link":"l"})",
                 std::nullopt);
  const auto revisions =
      client.findRevision("tok", 77, "A", "B", "C", "D", false, true, true, false);
  EXPECT_THAT(fixture.journal(),
              ElementsAre("AddServiceInfo(\"vantel\", \"1.0.2\")",
                          "FindRevision(\"tok\", \"D\", \"A\", \"B\", \"C\", 77, 0, 1, 1, 0)",
                          "FreeAllocatedString(\"{\"asset_id\":\"12\",\"review\":{\"id\":4.5,"
                          "\"status\":\"open\"},\"link\":\"l\"}\")"));
  ASSERT_EQ(revisions.size(), 1u);
  EXPECT_EQ(revisions[0].assetId, 12);
  EXPECT_EQ(revisions[0].reviewId, 5);
  EXPECT_EQ(revisions[0].reviewStatus, "open");
}

TEST_F(ClientThroughBridgeTest, TheNotFoundAnswerIsFreedAndGivesNoRevision) {
  const std::string notFound =
      "received non-200 status code: 404 (The revision or asset you requested does not exist "
      "or you do not have permission to access it.)";
  fixture.script("FindRevision", std::nullopt, notFound);
  EXPECT_THAT(client.findRevision("tok", 1, "a", "b", "c", "d", true, true, true, true), IsEmpty());
  EXPECT_EQ(fixture.journal().back(), "FreeAllocatedString(\"" + notFound + "\")");
  EXPECT_THAT(logger->at("ERROR"), IsEmpty());
}

TEST_F(ClientThroughBridgeTest, TheServiceEntryGoesOutOnceBeforeTheFirstOperation) {
  fixture.script("Initialize", "", std::nullopt);
  client.initialize(VantelInitializeOptions{});
  client.addServiceInfo({{"vantel", "0.0.1"}, {"brevin", "1.4"}});
  client.setUSRegion(true);
  EXPECT_THAT(fixture.journal(),
              ElementsAre("Initialize(\"{}\")", "FreeAllocatedString(\"\")",
                          "AddServiceInfo(\"vantel\", \"1.0.2\")",
                          "AddServiceInfo(\"brevin\", \"1.4\")", "SetUSRegion(1)"));
}

TEST_F(ClientThroughBridgeTest, UploadSendsSortedCompactJsonAndSplitsTheErrorText) {
  fixture.script("Upload", R"([{"b.prt":"11","a.prt":"10"},{"a.prt":"99"}])", "a, b ,, ");
  VantelUploadPayload payload;
  payload.workspaces = {{10, 1}, {9, 2}, {-3, 4}};
  payload.sourceState = "Released";
  VantelUploadPayloadFile file;
  file.localFilePath = "/tmp/synquo-0123456789abcdef/Getriebe \xc3\xbc.prt";
  file.filename = "Getriebe \xc3\xbc.prt";
  payload.files.push_back(file);
  const VantelUploadResult result = client.upload("tok", payload, true);

  const std::vector<std::string> journal = fixture.journal();
  ASSERT_EQ(journal.size(), 4u);
  EXPECT_EQ(journal[1],
            "Upload(\"tok\", \"{\"files\":[{\"autodiscover_model_id\":true,"
            "\"filename\":\"Getriebe \xc3\xbc.prt\","
            "\"local_file_path\":\"/tmp/synquo-0123456789abcdef/Getriebe \xc3\xbc.prt\"}],"
            "\"source_state\":\"Released\",\"upload_option\":\"individual\","
            "\"workspaces\":{\"-3\":4,\"10\":1,\"9\":2}}\", 1)");
  EXPECT_THAT(result.errors, ElementsAre("a", "b"));
  EXPECT_THAT(result.entries,
              ElementsAre(std::make_pair("a.prt", "10"), std::make_pair("b.prt", "11")));
}

TEST_F(ClientThroughBridgeTest, ATorvaneErrorBecomesTheOperationsFailure) {
  fixture.script("GetAllWorkspaces", "ignored", "token expired");
  try {
    client.listWorkspaces("tok", "");
    FAIL() << "no exception";
  } catch (const VantelException& e) {
    EXPECT_STREQ(e.what(), "GetAllWorkspaces failed: token expired");
  }
  EXPECT_THAT(logger->at("ERROR"), ElementsAre("[vantel] GetAllWorkspaces failed: token expired"));
}

TEST_F(ClientThroughBridgeTest, AWorkspaceListThatIsNotAnArrayIsAParseFailure) {
  fixture.script("GetAllWorkspaces", R"({"id":1,"name":"w"})", std::nullopt);
  try {
    client.listWorkspaces("tok", "");
    FAIL() << "no exception";
  } catch (const VantelException& e) {
    EXPECT_STREQ(e.what(),
                 "Failed to parse workspaces payload: Workspaces payload is not an array");
  }
}

TEST_F(ClientThroughBridgeTest, SignInTokensAndTheUserComeBackAsRecords) {
  fixture.script("LocalAuthFlowComplete",
                 R"({"access_token":"at","refresh_token":"rt","expires_at":"2030-01-01"})",
                 std::nullopt);
  fixture.script("GetCurrentUser", R"({"id":"31","first_name":"J\u00f6rg","company_id":null})",
                 std::nullopt);
  const VantelLocalAuthTokens tokens = client.localAuthFlowComplete();
  EXPECT_EQ(tokens.accessToken, "at");
  EXPECT_EQ(tokens.refreshToken, "rt");
  EXPECT_EQ(tokens.expiresAt, "2030-01-01");
  const VantelUser user = client.getCurrentUser(tokens.accessToken);
  EXPECT_EQ(user.id, 31);
  EXPECT_EQ(user.firstName, "J\xc3\xb6rg");
  EXPECT_FALSE(user.companyId.has_value());
  EXPECT_EQ(fixture.journal()[3], "GetCurrentUser(\"at\")");
}

TEST_F(ClientThroughBridgeTest, AMegabyteAnswerIsReadWholeAndFreed) {
  std::string payload = "[";
  int count = 0;
  while (payload.size() < (1u << 20)) {
    payload += (count ? "," : "") + std::string("{\"id\":") + std::to_string(count) +
               ",\"name\":\"Workspace " + std::to_string(count) + " \u00fc\"}";
    ++count;
  }
  payload += "]";
  fixture.script("GetAllWorkspaces", payload, std::nullopt);
  const auto workspaces = client.listWorkspaces("tok", "");
  ASSERT_EQ(workspaces.size(), static_cast<size_t>(count));
  EXPECT_EQ(workspaces.back().name, "Workspace " + std::to_string(count - 1) + " \xc3\xbc");
}

}  // namespace
}  // namespace vantel
