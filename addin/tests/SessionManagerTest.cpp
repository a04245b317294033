// The session controller: the sign-in guard, attempt numbers, the pending message, the
// user's names, and how it treats its worker thread when cancelling, clearing or dying.
#include "addin/auth/SessionManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

#include "addin/auth/SignInFlow.h"
#include "addin/tests/support/Gate.h"

namespace auth {
namespace {

using namespace std::chrono_literals;

using testsupport::Gate;

// Runs `call` on another thread and tells whether it came back within a bound, so a call
// that wrongly waits fails the test instead of hanging it.
template <typename Call>
bool returnsWithin(std::chrono::milliseconds bound, Call call) {
  Gate returned;
  std::thread([call, returned] {
    call();
    returned.open();
  }).detach();
  return returned.waitFor(bound);
}

vantel::VantelUser makeUser(std::string first, std::string last, std::string username,
                            std::string email) {
  vantel::VantelUser user;
  user.id = 11;
  user.firstName = std::move(first);
  user.lastName = std::move(last);
  user.username = std::move(username);
  user.email = std::move(email);
  return user;
}

// Signs in through the flow with a client that answers at once; the waiting task runs on
// the calling thread.
void signIn(SessionManager& session, std::optional<vantel::VantelUser> user) {
  AuthCallbacks auth;
  auth.authorize = [] { return std::string("https://login.example/authorize"); };
  auth.complete = [] {
    return vantel::VantelLocalAuthTokens{"access-1", "refresh-1", "2030-01-01T00:00:00Z"};
  };
  auth.fetchUser = [user](const std::string&) { return user; };
  PlatformCallbacks platform;
  platform.openBrowser = [](const std::string&) {};
  platform.runAsync = [](std::function<void()> task) { task(); };
  ASSERT_EQ(startSignIn(session, auth, platform).status, SignInStatus::Started);
  ASSERT_TRUE(session.isSignedIn());
}

TEST(SessionManager, NewSessionIsSignedOutWithNothingPending) {
  SessionManager session;
  EXPECT_FALSE(session.isSignedIn());
  EXPECT_FALSE(session.isSignInInProgress());
  EXPECT_EQ(session.accessToken(), "");
  EXPECT_EQ(session.displayName(), "");
  EXPECT_EQ(session.userEmail(), "");
  EXPECT_EQ(session.takePendingMessage(), "");
  EXPECT_TRUE(session.aliveFlag()->load());
  EXPECT_EQ(session.generationCounter()->load(), 0u);
}

TEST(SessionManager, BeginSignInOpensOneAttemptWithAFreshGeneration) {
  SessionManager session;
  SignInStartResult result;
  result.authorizationUrl = "left over";
  std::uint64_t generation = 99;
  ASSERT_TRUE(session.beginSignIn(result, generation));
  EXPECT_EQ(result.status, SignInStatus::Started);
  EXPECT_EQ(result.authorizationUrl, "");
  EXPECT_EQ(generation, 1u);
  EXPECT_EQ(session.generationCounter()->load(), 1u);
  EXPECT_EQ(session.sharedState()->generation, 1u);
  EXPECT_TRUE(session.isSignInInProgress());

  // While it is open every other request is refused and nothing moves.
  ASSERT_FALSE(session.beginSignIn(result, generation));
  EXPECT_EQ(result.status, SignInStatus::InProgress);
  EXPECT_EQ(result.authorizationUrl, "");
  EXPECT_EQ(generation, 0u);
  EXPECT_EQ(session.generationCounter()->load(), 1u);
  EXPECT_EQ(session.sharedState()->generation, 1u);
  EXPECT_TRUE(session.isSignInInProgress());

  session.cancelSignIn();
  ASSERT_TRUE(session.beginSignIn(result, generation));
  EXPECT_EQ(generation, 3u);
}

TEST(SessionManager, BeginSignInWhileSignedInIsRefusedAndChangesNothing) {
  SessionManager session;
  signIn(session, makeUser("Ada", "Lovelace", "ada", "ada@example.com"));
  const std::uint64_t before = session.generationCounter()->load();
  SignInStartResult result;
  std::uint64_t generation = 5;
  EXPECT_FALSE(session.beginSignIn(result, generation));
  EXPECT_EQ(result.status, SignInStatus::AlreadySignedIn);
  EXPECT_EQ(result.authorizationUrl, "");
  EXPECT_EQ(generation, 0u);
  EXPECT_EQ(session.generationCounter()->load(), before);
  EXPECT_FALSE(session.isSignInInProgress());
  EXPECT_EQ(session.accessToken(), "access-1");
}

TEST(SessionManager, PendingMessageIsTakenOnceAndANewAttemptForgetsIt) {
  SessionManager session;
  SignInStartResult result;
  std::uint64_t generation = 0;
  ASSERT_TRUE(session.beginSignIn(result, generation));
  session.failSignIn("Could not reach the service.");
  EXPECT_FALSE(session.isSignInInProgress());
  EXPECT_EQ(session.takePendingMessage(), "Could not reach the service.");
  EXPECT_EQ(session.takePendingMessage(), "");

  session.failSignIn("Second failure.");
  ASSERT_TRUE(session.beginSignIn(result, generation));
  EXPECT_EQ(session.takePendingMessage(), "");
}

TEST(SessionManager, CancelSignInKeepsTokensUserAndMessage) {
  SessionManager session;
  signIn(session, makeUser("Ada", "", "", ""));
  session.failSignIn("kept");
  session.cancelSignIn();
  EXPECT_EQ(session.accessToken(), "access-1");
  EXPECT_EQ(session.displayName(), "Ada");
  EXPECT_EQ(session.takePendingMessage(), "kept");
  EXPECT_FALSE(session.isSignInInProgress());
}

TEST(SessionManager, DisplayNamePrefersNamesThenUserNameThenEmail) {
  struct Case {
    vantel::VantelUser user;
    std::string expected;
  };
  const Case cases[] = {
      {makeUser("Ada", "Lovelace", "ada", "ada@example.com"), "Ada Lovelace"},
      {makeUser("Ada", "", "ada", "ada@example.com"), "Ada"},
      {makeUser("", "Lovelace", "ada", "ada@example.com"), "Lovelace"},
      {makeUser("", "", "ada", "ada@example.com"), "ada"},
      {makeUser("", "", "", "ada@example.com"), "ada@example.com"},
      {makeUser("", "", "", ""), ""},
      {makeUser("J\xc3\xb6rg", "M\xc3\xbcller", "", ""), "J\xc3\xb6rg M\xc3\xbcller"},
  };
  for (const Case& c : cases) {
    SessionManager session;
    signIn(session, c.user);
    EXPECT_EQ(session.displayName(), c.expected);
    EXPECT_EQ(session.userEmail(), c.user.email);
  }
}

TEST(SessionManager, WithoutAUserRecordNameAndEmailAreEmpty) {
  SessionManager session;
  signIn(session, std::nullopt);
  EXPECT_EQ(session.displayName(), "");
  EXPECT_EQ(session.userEmail(), "");
}

TEST(SessionManager, ClearSessionForgetsEverythingAndInvalidatesAttempts) {
  SessionManager session;
  signIn(session, makeUser("Ada", "Lovelace", "ada", "ada@example.com"));
  session.failSignIn("old failure");
  const std::uint64_t before = session.generationCounter()->load();
  session.clearSession();
  EXPECT_FALSE(session.isSignedIn());
  EXPECT_EQ(session.accessToken(), "");
  EXPECT_EQ(session.displayName(), "");
  EXPECT_EQ(session.userEmail(), "");
  EXPECT_EQ(session.takePendingMessage(), "");
  EXPECT_FALSE(session.isSignInInProgress());
  EXPECT_EQ(session.generationCounter()->load(), before + 1);
  const std::shared_ptr<SessionSharedState> state = session.sharedState();
  EXPECT_EQ(state->tokens.refreshToken, "");
  EXPECT_EQ(state->tokens.expiresAt, "");
  EXPECT_EQ(state->generation, before + 1);
}

TEST(SessionManager, RenewedTokensReplaceOnlyTheSignInTheyRenewed) {
  struct Case {
    const char* name;
    std::function<void(SessionManager&)> meanwhile;
    bool replaced;
  };
  const Case cases[] = {
      {"nothing happened", [](SessionManager&) {}, true},
      {"signed out", [](SessionManager& s) { s.clearSession(); }, false},
      {"signed out and in again",
       [](SessionManager& s) {
         s.clearSession();
         signIn(s, std::nullopt);
       },
       false},
  };
  const vantel::VantelLocalAuthTokens renewed{"access-2", "refresh-1", "2030-01-01T01:00:00Z"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool expiring : {false, true}) {
      SessionManager session;
      signIn(session, makeUser("Ada", "", "", ""));
      const TokenSnapshot before = session.tokenSnapshot();
      c.meanwhile(session);
      const std::string untouched = session.accessToken();
      const bool changed = expiring ? session.expireSignIn(before.generation)
                                    : session.replaceTokens(before.generation, renewed);
      EXPECT_EQ(changed, c.replaced);
      const std::string expected = !c.replaced ? untouched : expiring ? "" : "access-2";
      EXPECT_EQ(session.accessToken(), expected);
      if (expiring && c.replaced) {
        EXPECT_EQ(session.displayName(), "");
      }
    }
  }
}

TEST(SessionManager, StartWorkerRunsTheTaskOnAnotherThread) {
  SessionManager session;
  std::promise<std::thread::id> ranOn;
  session.startWorker([&ranOn] { ranOn.set_value(std::this_thread::get_id()); });
  EXPECT_NE(ranOn.get_future().get(), std::this_thread::get_id());
  session.joinWorker();
}

TEST(SessionManager, StartWorkerJoinsThePreviousWorker) {
  SessionManager session;
  Gate release;
  session.startWorker([release] { release.wait(); });
  auto second = std::async(std::launch::async, [&session] { session.startWorker([] {}); });
  // The previous worker still runs, so the second start waits for it.
  EXPECT_EQ(second.wait_for(100ms), std::future_status::timeout);
  release.open();
  ASSERT_EQ(second.wait_for(10s), std::future_status::ready);
  second.get();
  session.joinWorker();
}

TEST(SessionManager, CancelDetachesARunningWorkerWithoutWaiting) {
  SessionManager session;
  SignInStartResult result;
  std::uint64_t generation = 0;
  ASSERT_TRUE(session.beginSignIn(result, generation));
  Gate release;
  Gate taskEnded;
  session.startWorker([release, taskEnded] {
    release.wait();
    taskEnded.open();
  });
  EXPECT_TRUE(returnsWithin(10s, [&session] { session.cancelSignIn(); }));
  EXPECT_FALSE(taskEnded.waitFor(0ms));
  EXPECT_FALSE(session.isSignInInProgress());
  // Released, not kept: a later join has nothing to wait for.
  EXPECT_TRUE(returnsWithin(10s, [&session] { session.joinWorker(); }));
  release.open();
  EXPECT_TRUE(taskEnded.waitFor(10s));
}

TEST(SessionManager, CancelAfterTheWorkerEndedLeavesRoomForTheNextOne) {
  SessionManager session;
  Gate firstEnded;
  session.startWorker([firstEnded] { firstEnded.open(); });
  ASSERT_TRUE(firstEnded.waitFor(10s));
  EXPECT_TRUE(returnsWithin(10s, [&session] { session.cancelSignIn(); }));
  Gate secondEnded;
  session.startWorker([secondEnded] { secondEnded.open(); });
  EXPECT_TRUE(secondEnded.waitFor(10s));
  EXPECT_TRUE(returnsWithin(10s, [&session] { session.joinWorker(); }));
}

TEST(SessionManager, ClearSessionWaitsForARunningWorker) {
  SessionManager session;
  Gate release;
  session.startWorker([release] { release.wait(); });
  auto clearing = std::async(std::launch::async, [&session] { session.clearSession(); });
  EXPECT_EQ(clearing.wait_for(100ms), std::future_status::timeout);
  release.open();
  ASSERT_EQ(clearing.wait_for(10s), std::future_status::ready);
  clearing.get();
}

TEST(SessionManager, DestructionWithABlockedWorkerReturnsAtOnce) {
  auto session = std::make_unique<SessionManager>();
  std::shared_ptr<std::atomic<bool>> alive = session->aliveFlag();
  SignInStartResult result;
  std::uint64_t generation = 0;
  ASSERT_TRUE(session->beginSignIn(result, generation));
  Gate release;
  Gate taskEnded;
  session->startWorker([release, taskEnded] {
    release.wait();
    taskEnded.open();
  });
  EXPECT_TRUE(returnsWithin(10s, [&session] { session.reset(); }));
  EXPECT_FALSE(alive->load());
  release.open();
  EXPECT_TRUE(taskEnded.waitFor(10s));
}

TEST(SessionManager, DestructionInvalidatesTheOpenAttempt) {
  auto session = std::make_unique<SessionManager>();
  std::shared_ptr<SessionSharedState> state = session->sharedState();
  std::shared_ptr<std::atomic<std::uint64_t>> counter = session->generationCounter();
  SignInStartResult result;
  std::uint64_t generation = 0;
  ASSERT_TRUE(session->beginSignIn(result, generation));
  session.reset();
  EXPECT_FALSE(state->signInInProgress);
  EXPECT_EQ(counter->load(), generation + 1);
  EXPECT_EQ(state->generation, generation + 1);
}

TEST(SessionManager, JoinWorkerFromTheWorkerItselfIsAResourceDeadlock) {
  SessionManager session;
  Gate stored;
  std::promise<std::error_code> joinError;
  auto owned = std::make_shared<int>(1);
  std::weak_ptr<int> watch = owned;
  session.startWorker([&session, &joinError, stored, owned = std::move(owned)] {
    stored.wait();
    try {
      session.joinWorker();
      joinError.set_value(std::error_code());
    } catch (const std::system_error& e) {
      joinError.set_value(e.code());
    }
  });
  stored.open();
  EXPECT_EQ(joinError.get_future().get(), std::errc::resource_deadlock_would_occur);
  // The refused join left the worker in the session, where it is joined normally.
  session.joinWorker();
  EXPECT_TRUE(watch.expired());
}

TEST(SessionManager, ProcessWideSessionIsOneObject) {
  SessionManager* fromHere = &sessionManager();
  SessionManager* fromElsewhere =
      std::async(std::launch::async, [] { return &sessionManager(); }).get();
  EXPECT_EQ(fromHere, fromElsewhere);
}

}  // namespace
}  // namespace auth
