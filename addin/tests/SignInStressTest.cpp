// A thousand rounds of a restless user: sign-in clicks, cancels and sign-outs on one thread
// while the attempts' workers finish at random moments. Whatever the interleaving, the
// session never holds one attempt's tokens with another's user, and it ends signed out.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "addin/auth/SessionManager.h"
#include "addin/auth/SignInFlow.h"

namespace auth {
namespace {

TEST(SignInStressTest, ClicksCancelsAndSignOutsNeverMixAttempts) {
  SessionManager session;
  std::atomic<int> attempt{0};
  std::mt19937 random(20261208);
  AuthCallbacks auth;
  auth.authorize = [] { return std::string("https://login.example/authorize"); };
  auth.complete = [&attempt] {
    const int n = attempt.load();
    // Finishes at a random moment after the click that started it.
    std::this_thread::sleep_for(std::chrono::microseconds((n * 7919) % 1500));
    const std::string name = std::to_string(n);
    return vantel::VantelLocalAuthTokens{"access-" + name, "refresh-" + name, "expires-" + name};
  };
  auth.fetchUser = [](const std::string& token) {
    vantel::VantelUser user;
    user.firstName = token.substr(std::string("access-").size());
    return std::optional<vantel::VantelUser>(user);
  };
  auth.logout = [] { return std::string(); };
  PlatformCallbacks platform;
  platform.openBrowser = [](const std::string&) {};
  platform.runAsync = [&session](std::function<void()> task) { session.startWorker(task); };

  int started = 0;
  for (int round = 0; round < 1000; ++round) {
    switch (random() % 4) {
      case 0:
      case 1:
        ++attempt;
        if (startSignIn(session, auth, platform).status == SignInStatus::Started) ++started;
        break;
      case 2:
        session.cancelSignIn();
        break;
      default:
        signOut(session, auth, platform);
        break;
    }
    const std::shared_ptr<SessionSharedState> state = session.sharedState();
    std::lock_guard<std::mutex> lock(state->mutex);
    if (!state->tokens.accessToken.empty()) {
      ASSERT_TRUE(state->user.has_value()) << "round " << round;
      EXPECT_EQ(state->tokens.accessToken, "access-" + state->user->firstName) << round;
      EXPECT_EQ(state->tokens.refreshToken, "refresh-" + state->user->firstName) << round;
    }
  }
  signOut(session, auth, platform);
  EXPECT_FALSE(session.isSignedIn());
  EXPECT_FALSE(session.isSignInInProgress());
  EXPECT_GT(started, 100) << "the rounds did start attempts";
}

}  // namespace
}  // namespace auth
