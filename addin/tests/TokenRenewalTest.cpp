// Renewing a lapsed sign-in, through the add-in's client and the Go stand-in of Torvane:
// the workspace list stands for every call made for the user. What is logged is checked
// end to end (TokenRenewalE2ETest).
#include "addin/auth/TokenRenewal.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "addin/client/ClientSetup.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/Gate.h"
#include "addin/tests/support/TestFiles.h"
#include "addin/tests/support/TorvaneStandIn.h"
#include "addin/ui/UploadWorkflow.h"
#include "addin/ui/WorkspaceLoader.h"

namespace auth {
namespace {

using testsupport::AddinEnvironment;
using testsupport::TorvaneStandIn;

const char* const kGenerate = "LocalAuthFlowGenerateAccessToken";
const char* const kList = "GetAllWorkspaces";
const char* const kRoot = "GetRootDirectory";
const char* const kUpload = "Upload";
const char* const kPast = "2000-01-01T00:00:00Z";

// The client exists once per process, so every case shares one installation.
class TokenRenewal : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    installation = new AddinEnvironment();
    torvane = new TorvaneStandIn(installation->addinDirectory());
  }
  static void TearDownTestSuite() {
    delete torvane;
    delete installation;
  }

  // A real sign-in at the stand-in, approved at once.
  static vantel::VantelLocalAuthTokens signIn() {
    const auto client = synquo::sharedVantelClient();
    client->localAuthFlowAuthorize();
    return client->localAuthFlowComplete();
  }

  static void hold(SessionManager& session, const vantel::VantelLocalAuthTokens& tokens) {
    const auto state = session.sharedState();
    std::lock_guard<std::mutex> lock(state->mutex);
    state->tokens = tokens;
  }

  // The functions called since `before` calls had been made.
  static std::vector<std::string> calledSince(size_t before) {
    const std::vector<std::string> all = torvane->functions();
    return {all.begin() + static_cast<std::ptrdiff_t>(before), all.end()};
  }

  static AddinEnvironment* installation;
  static TorvaneStandIn* torvane;
};

AddinEnvironment* TokenRenewal::installation = nullptr;
TorvaneStandIn* TokenRenewal::torvane = nullptr;

TEST_F(TokenRenewal, ALapsedTokenIsRenewedOnceAndAnUnrenewableSignInIsCleared) {
  const std::string k401 = "received non-200 status code: 401: The access token has expired.";
  const std::string k503 = "received non-200 status code: 503: Service Unavailable";
  struct Case {
    const char* name;
    const char* accessToken;   // nullptr: as issued
    const char* refreshToken;  // nullptr: as issued
    const char* expiresAt;     // nullptr: as issued
    nlohmann::json faults;
    std::vector<std::string> calls;
    std::string error;  // empty: the list loaded
    bool signedInAfter;
  };
  const std::vector<Case> cases = {
      {"a live token is used as it is", nullptr, nullptr, nullptr, {}, {kList}, "", true},
      {"a token past its expiry is renewed before the call",
       nullptr,
       nullptr,
       kPast,
       {},
       {kGenerate, kList},
       "",
       true},
      {"a refused token is renewed and the call made again",
       "at_unknown",
       nullptr,
       nullptr,
       {},
       {kList, kGenerate, kList},
       "",
       true},
      {"a refused renewal clears the session",
       "at_unknown",
       "rt_unknown",
       nullptr,
       {},
       {kList, kGenerate},
       kSignInExpiredText,
       false},
      {"without a refresh token the session is cleared",
       "at_unknown",
       "",
       nullptr,
       {},
       {kList},
       kSignInExpiredText,
       false},
      {"another failure is not a reason to renew",
       nullptr,
       nullptr,
       nullptr,
       {{kList, {{"error", k503}}}},
       {kList},
       "GetAllWorkspaces failed: " + k503,
       true},
      {"a call refused again after the renewal fails as it is",
       nullptr,
       nullptr,
       nullptr,
       {{kList, {{"error", k401}}}},
       {kList, kGenerate, kList},
       "GetAllWorkspaces failed: " + k401,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    torvane->setFaults(nlohmann::json::object());
    vantel::VantelLocalAuthTokens tokens = signIn();
    if (c.accessToken) tokens.accessToken = c.accessToken;
    if (c.refreshToken) tokens.refreshToken = c.refreshToken;
    if (c.expiresAt) tokens.expiresAt = c.expiresAt;
    SessionManager session;
    hold(session, tokens);
    torvane->setFaults(c.faults);
    const size_t before = torvane->functions().size();

    const ui::WorkspaceLoadResult loaded =
        ui::loadWorkspaces(session, synquo::clientServiceOperations());

    EXPECT_EQ(calledSince(before), c.calls);
    EXPECT_EQ(loaded.error, c.error);
    EXPECT_EQ(loaded.success, c.error.empty());
    EXPECT_EQ(loaded.signInExpired, c.error == kSignInExpiredText);
    EXPECT_EQ(session.isSignedIn(), c.signedInAfter);
  }
  torvane->setFaults(nlohmann::json::object());
}

TEST_F(TokenRenewal, TwoCallersWhoFindTheTokenExpiredAtOnceRenewItOnce) {
  vantel::VantelLocalAuthTokens tokens = signIn();
  tokens.expiresAt = kPast;
  SessionManager session;
  hold(session, tokens);
  // The renewal lasts long enough for the second caller to arrive while it runs.
  torvane->setFaults({{kGenerate, {{"delay_ms", 300}}}});
  const size_t before = torvane->functions().size();

  testsupport::Gate start;
  ui::WorkspaceLoadResult first, second;
  std::thread a([&] {
    start.wait();
    first = ui::loadWorkspaces(session, synquo::clientServiceOperations());
  });
  std::thread b([&] {
    start.wait();
    second = ui::loadWorkspaces(session, synquo::clientServiceOperations());
  });
  start.open();
  a.join();
  b.join();
  torvane->setFaults(nlohmann::json::object());

  EXPECT_TRUE(first.success) << first.error;
  EXPECT_TRUE(second.success) << second.error;
  EXPECT_EQ(calledSince(before), (std::vector<std::string>{kGenerate, kList, kList}));
  EXPECT_NE(session.accessToken(), tokens.accessToken);
}

// A refusal among the items of an upload that stored something, or failed
// otherwise too, is that upload's failure; only an upload refused as a whole is sent again.
TEST_F(TokenRenewal, AnUploadIsSentAgainOnlyWhenItWasRefusedAsAWhole) {
  const std::string k401 = "received non-200 status code: 401: The access token has expired.";
  const std::string kMissing = "file not found: elsewhere.prt";
  struct Case {
    const char* name;
    nlohmann::json payload;  // null: none
    std::string error;
    std::vector<std::string> calls;
    std::string failure;  // empty: uploaded
  };
  const std::vector<Case> cases = {
      {"a refused item beside a stored file",
       nlohmann::json::array({{{"bracket.prt", "https://models.example/1"}}}),
       k401,
       {kRoot, kUpload},
       k401},
      {"a refused item beside another failure",
       nullptr,
       k401 + ", " + kMissing,
       {kRoot, kUpload},
       k401},
      {"every item refused", nullptr, k401 + ", " + k401, {kRoot, kUpload, kGenerate, kUpload}, ""},
  };
  testsupport::TempDir exported("brevin-upload");
  testsupport::writeFile(exported.path() / "bracket.prt", "native part");
  synquo::ModelMetadata metadata;
  metadata.exportedFile = exported.path() / "bracket.prt";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    torvane->setFaults(nlohmann::json::object());
    SessionManager session;
    hold(session, signIn());
    const ui::WorkspaceLoadResult loaded =
        ui::loadWorkspaces(session, synquo::clientServiceOperations());
    ASSERT_TRUE(loaded.success && !loaded.workspaces.empty()) << loaded.error;
    // Only the next upload answers so; one sent again reaches the service.
    nlohmann::json fault = {{"error", c.error}, {"nth", torvane->calls(kUpload).size() + 1}};
    if (!c.payload.is_null()) fault["payload"] = c.payload;
    torvane->setFaults({{kUpload, fault}});
    const size_t before = torvane->functions().size();

    const ui::UploadExecutionResult result =
        ui::runUpload(loaded.workspaces.front().id, loaded.workspaces, session, metadata,
                      synquo::clientServiceOperations());

    EXPECT_EQ(calledSince(before), c.calls);
    EXPECT_EQ(result.error, c.failure);
    EXPECT_EQ(result.succeeded, c.failure.empty());
  }
  torvane->setFaults(nlohmann::json::object());
}

}  // namespace
}  // namespace auth
