// A lapsed sign-in in the example scenarios, seen from the Torvane stand-in's side: which
// calls were refused, when the add-in renewed, and that no token reached the add-in's log.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

using nlohmann::json;

// The calls that carry the user's tokens, each marked when Torvane answered with an error.
std::vector<std::string> tokenCalls(const SimRun& run) {
  std::vector<std::string> out;
  for (const json& call : run.torvaneCalls()) {
    const std::string fn = call.value("fn", "");
    if (fn == "GetCurrentUser" || fn == "GetAllWorkspaces" || fn == "FindRevision" ||
        fn == "GetRootDirectory" || fn == "Upload" || fn == "LocalAuthFlowGenerateAccessToken") {
      out.push_back(fn + (call.value("error", "").empty() ? "" : " refused"));
    }
  }
  return out;
}

std::vector<std::string> issuedTokens(const SimRun& run) {
  const json state = run.torvaneStore();
  std::vector<std::string> tokens;
  for (const char* kind : {"tokens", "refresh_tokens"}) {
    for (const auto& [token, record] : state.at(kind).items()) tokens.push_back(token);
  }
  return tokens;
}

TEST(TokenRenewalE2ETest, TheAddinRenewsOnceWhereTheTokenLapsedAndNeverLogsAToken) {
  struct Case {
    const char* scenario;
    std::vector<std::string> calls;
    std::string logLine;
  };
  const std::vector<Case> cases = {
      {"token-lapses-before-main-dialog",
       {"GetCurrentUser", "GetAllWorkspaces refused", "LocalAuthFlowGenerateAccessToken",
        "GetAllWorkspaces"},
       "[INFO] [Synquo] Synquo sign-in renewed: cause=\"refused\""},
      {"token-renewal-refused",
       {"GetCurrentUser", "GetAllWorkspaces refused", "LocalAuthFlowGenerateAccessToken refused"},
       "[WARNING] [Synquo] Synquo sign-in could not be renewed and is cleared: "
       "LocalAuthFlowGenerateAccessToken failed: received non-200 status code: 401: "
       "invalid_grant: the refresh token has been revoked."},
      {"token-lapses-during-upload",
       {"GetCurrentUser", "GetAllWorkspaces", "GetRootDirectory", "Upload refused",
        "LocalAuthFlowGenerateAccessToken", "Upload"},
       "[INFO] [Synquo] Synquo sign-in renewed: cause=\"refused\""},
  };
  std::vector<json> scenarios;
  for (const Case& c : cases) {
    scenarios.push_back(json::parse(readText(std::filesystem::u8path(SYNQUO_SCENARIOS_DIR) /
                                             (std::string(c.scenario) + ".json"))));
  }
  SimBatch batch;
  const std::vector<SimRun> runs = batch.run(scenarios);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].scenario);
    const SimRun& run = runs[i];
    ASSERT_EQ(run.exitCode, 0) << run.failures();
    EXPECT_EQ(tokenCalls(run), cases[i].calls);
    const std::string log = run.logText();
    EXPECT_NE(log.find(cases[i].logLine), std::string::npos) << log;
    for (const std::string& token : issuedTokens(run)) {
      EXPECT_EQ(log.find(token), std::string::npos) << "a token reached the log";
    }
  }
}

}  // namespace
}  // namespace simrunner::testing
