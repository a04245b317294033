// Following the latest sign-in attempt through the Torvane journal.
#include "sim/runner/SignInProgress.h"

#include <gtest/gtest.h>

namespace simrunner {
namespace {

using nlohmann::json;
using State = SignInProgress::State;

json call(const std::string& fn, const std::string& time, const std::string& error = "") {
  json line = {{"time", time}, {"fn", fn}, {"args", json::object()}, {"duration_ms", 1}};
  if (!error.empty()) line["error"] = error;
  return line;
}

TEST(SignInProgressTest, NoSuccessfulAuthorizeMeansNoAttempt) {
  EXPECT_EQ(signInProgress({}).state, State::NoAttempt);
  EXPECT_EQ(signInProgress({call("Initialize", "2026-01-01T10:00:00Z"),
                            call("LocalAuthFlowAuthorize", "2026-01-01T10:00:01Z", "boom")})
                .state,
            State::NoAttempt);
}

TEST(SignInProgressTest, AnAttemptWaitsForItsCompletionAndProfile) {
  std::vector<json> journal = {call("LocalAuthFlowAuthorize", "2026-01-01T10:00:01.5Z")};
  EXPECT_EQ(signInProgress(journal).state, State::Waiting);
  journal.push_back(call("LocalAuthFlowComplete", "2026-01-01T10:00:01.6Z"));
  EXPECT_EQ(signInProgress(journal).state, State::Waiting) << "the profile is still missing";
  journal.push_back(call("GetCurrentUser", "2026-01-01T10:00:02.01Z"));
  EXPECT_EQ(signInProgress(journal).state, State::SignedIn);
}

TEST(SignInProgressTest, AFailedCompletionOrProfileEndsTheAttempt) {
  SignInProgress p =
      signInProgress({call("LocalAuthFlowAuthorize", "2026-01-01T10:00:01Z"),
                      call("LocalAuthFlowComplete", "2026-01-01T10:00:02Z", "access_denied: no")});
  EXPECT_EQ(p.state, State::Failed);
  EXPECT_EQ(p.error, "LocalAuthFlowComplete: access_denied: no");

  p = signInProgress({call("LocalAuthFlowAuthorize", "2026-01-01T10:00:01Z"),
                      call("LocalAuthFlowComplete", "2026-01-01T10:00:02Z"),
                      call("GetCurrentUser", "2026-01-01T10:00:03Z", "401")});
  EXPECT_EQ(p.state, State::Failed);
  EXPECT_EQ(p.error, "GetCurrentUser: 401");
}

TEST(SignInProgressTest, AnAbandonedAttemptDoesNotCountForTheLatestOne) {
  // The first attempt's completion returns after the second authorize was journaled, but it
  // started before it.
  const std::vector<json> journal = {
      call("LocalAuthFlowAuthorize", "2026-01-01T10:00:01.100Z"),
      call("LocalAuthFlowAuthorize", "2026-01-01T10:00:05Z"),
      call("LocalAuthFlowComplete", "2026-01-01T10:00:01.2Z", "authorization flow abandoned"),
  };
  EXPECT_EQ(signInProgress(journal).state, State::Waiting);
  std::vector<json> done = journal;
  done.push_back(call("LocalAuthFlowComplete", "2026-01-01T10:00:05.25Z"));
  done.push_back(call("GetCurrentUser", "2026-01-01T10:00:05.3Z"));
  EXPECT_EQ(signInProgress(done).state, State::SignedIn);
}

TEST(SignInProgressTest, TimesSortWithTheirFractionsPadded) {
  EXPECT_LT(sortableTime("2026-01-01T10:00:34.123Z"), sortableTime("2026-01-01T10:00:34.5Z"));
  EXPECT_LT(sortableTime("2026-01-01T10:00:34Z"), sortableTime("2026-01-01T10:00:34.000001Z"));
  EXPECT_EQ(sortableTime("2026-01-01T10:00:34Z"), "2026-01-01T10:00:34.000000000");
  EXPECT_EQ(sortableTime("2026-01-01T10:00:34.5Z"), "2026-01-01T10:00:34.500000000");
}

}  // namespace
}  // namespace simrunner
