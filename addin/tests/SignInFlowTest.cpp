// The browser sign-in flow on real worker threads: starting an attempt and every way it
// can fail, the waiting task's hand-back, late results after a cancel or after the
// session is gone, and signing out.
#include "addin/auth/SignInFlow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "addin/auth/SessionManager.h"
#include "addin/tests/support/Gate.h"

namespace auth {
namespace {

using namespace std::chrono_literals;

using testsupport::Gate;

const std::string kAuthorizeUrl = "https://login.example/authorize?attempt=1";

vantel::VantelLocalAuthTokens tokensNamed(const std::string& name) {
  return {"access-" + name, "refresh-" + name, "expires-" + name};
}

vantel::VantelUser userNamed(const std::string& name) {
  vantel::VantelUser user;
  user.id = 42;
  user.companyId = 7;
  user.firstName = name;
  user.email = name + "@example.com";
  return user;
}

// A client whose completion answers when the test opens `release`.
AuthCallbacks clientReleasedBy(Gate release, const std::string& name) {
  AuthCallbacks auth;
  auth.authorize = [] { return kAuthorizeUrl; };
  auth.complete = [release, name] {
    release.wait();
    return tokensNamed(name);
  };
  auth.fetchUser = [name](const std::string&) { return std::optional(userNamed(name)); };
  auth.logout = [] { return std::string(); };
  return auth;
}

AuthCallbacks clientAnsweringAtOnce(const std::string& name) {
  Gate open;
  open.open();
  return clientReleasedBy(open, name);
}

// The add-in's platform: the waiting task runs on the session's worker; `taskEnded` opens
// once it has handed its result back. URLs shown in the browser are collected.
struct Platform {
  std::shared_ptr<std::vector<std::string>> opened = std::make_shared<std::vector<std::string>>();
  PlatformCallbacks callbacks;
};

Platform workerPlatform(SessionManager& session, Gate taskEnded) {
  Platform platform;
  platform.callbacks.openBrowser = [opened = platform.opened](const std::string& url) {
    opened->push_back(url);
  };
  platform.callbacks.runAsync = [&session, taskEnded](std::function<void()> task) {
    session.startWorker([task = std::move(task), taskEnded] {
      task();
      taskEnded.open();
    });
  };
  return platform;
}

// Platform whose runner runs the task on the calling thread.
Platform inlinePlatform() {
  Platform platform;
  platform.callbacks.openBrowser = [opened = platform.opened](const std::string& url) {
    opened->push_back(url);
  };
  platform.callbacks.runAsync = [](std::function<void()> task) { task(); };
  return platform;
}

void expectSignedOutWithoutTokens(SessionManager& session) {
  EXPECT_FALSE(session.isSignedIn());
  std::shared_ptr<SessionSharedState> state = session.sharedState();
  std::lock_guard<std::mutex> lock(state->mutex);
  EXPECT_EQ(state->tokens.accessToken, "");
  EXPECT_EQ(state->tokens.refreshToken, "");
  EXPECT_EQ(state->tokens.expiresAt, "");
  EXPECT_FALSE(state->user.has_value());
}

// ---- Starting an attempt ----

TEST(SignInFlowStart, OpensTheAuthorizationPageThenHandsTheWaitToTheRunner) {
  SessionManager session;
  auto events = std::make_shared<std::vector<std::string>>();
  AuthCallbacks auth = clientAnsweringAtOnce("a");
  auth.authorize = [events] {
    events->push_back("authorize");
    return kAuthorizeUrl;
  };
  PlatformCallbacks platform;
  platform.openBrowser = [events](const std::string& url) { events->push_back("open " + url); };
  platform.runAsync = [events](std::function<void()> task) {
    events->push_back("run");
    task();
  };
  const SignInStartResult result = startSignIn(session, auth, platform);
  EXPECT_EQ(result.status, SignInStatus::Started);
  EXPECT_EQ(result.authorizationUrl, kAuthorizeUrl);
  EXPECT_EQ(*events, (std::vector<std::string>{"authorize", "open " + kAuthorizeUrl, "run"}));
}

TEST(SignInFlowStart, AttemptStaysOpenWhileTheBrowserFlowRuns) {
  SessionManager session;
  Gate release;
  Gate taskEnded;
  Platform platform = workerPlatform(session, taskEnded);
  ASSERT_EQ(startSignIn(session, clientReleasedBy(release, "a"), platform.callbacks).status,
            SignInStatus::Started);
  EXPECT_TRUE(session.isSignInInProgress());
  EXPECT_FALSE(session.isSignedIn());
  EXPECT_EQ(*platform.opened, std::vector<std::string>{kAuthorizeUrl});
  release.open();
  ASSERT_TRUE(taskEnded.waitFor(10s));
  EXPECT_TRUE(session.isSignedIn());
}

TEST(SignInFlowStart, WhileSignedInAnswersAlreadySignedInAndOpensNoBrowser) {
  SessionManager session;
  Platform platform = inlinePlatform();
  ASSERT_EQ(startSignIn(session, clientAnsweringAtOnce("a"), platform.callbacks).status,
            SignInStatus::Started);
  int authorizeCalls = 0;
  AuthCallbacks again = clientAnsweringAtOnce("b");
  again.authorize = [&authorizeCalls] {
    ++authorizeCalls;
    return kAuthorizeUrl;
  };
  const SignInStartResult result = startSignIn(session, again, platform.callbacks);
  EXPECT_EQ(result.status, SignInStatus::AlreadySignedIn);
  EXPECT_EQ(result.authorizationUrl, "");
  EXPECT_EQ(authorizeCalls, 0);
  EXPECT_EQ(platform.opened->size(), 1u);
  EXPECT_EQ(session.accessToken(), "access-a");
}

TEST(SignInFlowStart, WhileAnAttemptIsOpenAnswersInProgressAndOpensNoBrowser) {
  SessionManager session;
  Gate release;
  Gate taskEnded;
  Platform platform = workerPlatform(session, taskEnded);
  ASSERT_EQ(startSignIn(session, clientReleasedBy(release, "a"), platform.callbacks).status,
            SignInStatus::Started);
  const SignInStartResult result =
      startSignIn(session, clientReleasedBy(release, "b"), platform.callbacks);
  EXPECT_EQ(result.status, SignInStatus::InProgress);
  EXPECT_EQ(result.authorizationUrl, "");
  EXPECT_EQ(platform.opened->size(), 1u);
  release.open();
  ASSERT_TRUE(taskEnded.waitFor(10s));
  EXPECT_EQ(session.accessToken(), "access-a");
}

struct StartFailure {
  const char* name;
  std::function<void(AuthCallbacks&, PlatformCallbacks&)> breakIt;
  std::string text;
  bool browserShown = false;
};

// Each failure is raised, left as the pending message, and closes the attempt so that
// the next try starts at once.
TEST(SignInFlowStart, EveryStartFailureIsRaisedRecordedAndClosesTheAttempt) {
  const StartFailure failures[] = {
      {"no browser", [](AuthCallbacks&, PlatformCallbacks& p) { p.openBrowser = nullptr; },
       "Browser open callback is not configured."},
      {"no runner", [](AuthCallbacks&, PlatformCallbacks& p) { p.runAsync = nullptr; },
       "Async runner callback is not configured."},
      {"no completion", [](AuthCallbacks& a, PlatformCallbacks&) { a.complete = nullptr; },
       "Authentication completion callback is not configured."},
      {"no authorize", [](AuthCallbacks& a, PlatformCallbacks&) { a.authorize = nullptr; },
       "Authentication authorize callback is not configured."},
      {"empty URL",
       [](AuthCallbacks& a, PlatformCallbacks&) { a.authorize = [] { return std::string(); }; },
       "Synquo authentication did not return an authorization URL."},
      {"browser fails",
       [](AuthCallbacks&, PlatformCallbacks& p) {
         p.openBrowser = [](const std::string&) {
           throw std::runtime_error(
               "Failed to launch the system browser for Synquo authentication.");
         };
       },
       "Failed to launch the system browser for Synquo authentication."},
      {"service error",
       [](AuthCallbacks& a, PlatformCallbacks&) {
         a.authorize = []() -> std::string {
           throw std::runtime_error("LocalAuthFlowAuthorize failed: service unavailable");
         };
       },
       "LocalAuthFlowAuthorize failed: service unavailable"},
      {"runner fails",
       [](AuthCallbacks&, PlatformCallbacks& p) {
         p.runAsync = [](std::function<void()>) { throw std::runtime_error("no thread"); };
       },
       "no thread", true},
      // Checked in this order: the first missing one names the failure.
      {"no browser and no runner",
       [](AuthCallbacks&, PlatformCallbacks& p) {
         p.openBrowser = nullptr;
         p.runAsync = nullptr;
       },
       "Browser open callback is not configured."},
      {"no runner and no completion",
       [](AuthCallbacks& a, PlatformCallbacks& p) {
         p.runAsync = nullptr;
         a.complete = nullptr;
       },
       "Async runner callback is not configured."},
      {"no completion and no authorize",
       [](AuthCallbacks& a, PlatformCallbacks&) {
         a.complete = nullptr;
         a.authorize = nullptr;
       },
       "Authentication completion callback is not configured."},
  };
  for (const StartFailure& failure : failures) {
    SCOPED_TRACE(failure.name);
    SessionManager session;
    Platform platform = inlinePlatform();
    AuthCallbacks auth = clientAnsweringAtOnce("a");
    PlatformCallbacks broken = platform.callbacks;
    failure.breakIt(auth, broken);
    try {
      startSignIn(session, auth, broken);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), failure.text);
    }
    EXPECT_FALSE(session.isSignInInProgress());
    EXPECT_FALSE(session.isSignedIn());
    EXPECT_EQ(session.takePendingMessage(), failure.text);
    EXPECT_EQ(platform.opened->size(), failure.browserShown ? 1u : 0u);

    EXPECT_EQ(startSignIn(session, clientAnsweringAtOnce("b"), platform.callbacks).status,
              SignInStatus::Started);
    EXPECT_EQ(session.accessToken(), "access-b");
  }
}

TEST(SignInFlowStart, EmptyAuthorizationUrlOpensNoBrowserAndStartsNoWorker) {
  SessionManager session;
  bool ran = false;
  Platform platform = inlinePlatform();
  platform.callbacks.runAsync = [&ran](std::function<void()>) { ran = true; };
  AuthCallbacks auth = clientAnsweringAtOnce("a");
  auth.authorize = [] { return std::string(); };
  EXPECT_THROW(startSignIn(session, auth, platform.callbacks), std::runtime_error);
  EXPECT_TRUE(platform.opened->empty());
  EXPECT_FALSE(ran);
}

TEST(SignInFlowStart, NonStandardExceptionIsRaisedAsItIsAndRecordedWithTheGenericText) {
  const std::function<void(AuthCallbacks&, PlatformCallbacks&)> breakers[] = {
      [](AuthCallbacks& a, PlatformCallbacks&) { a.authorize = []() -> std::string { throw 7; }; },
      [](AuthCallbacks&, PlatformCallbacks& p) {
        p.openBrowser = [](const std::string&) { throw 7; };
      },
      [](AuthCallbacks&, PlatformCallbacks& p) {
        p.runAsync = [](std::function<void()>) { throw 7; };
      },
  };
  for (const auto& breakIt : breakers) {
    SessionManager session;
    AuthCallbacks auth = clientAnsweringAtOnce("a");
    PlatformCallbacks platform = inlinePlatform().callbacks;
    breakIt(auth, platform);
    try {
      startSignIn(session, auth, platform);
      ADD_FAILURE() << "no exception";
    } catch (int value) {
      EXPECT_EQ(value, 7);
    }
    EXPECT_FALSE(session.isSignInInProgress());
    EXPECT_EQ(session.takePendingMessage(), "Failed to start the Synquo authentication flow.");
  }
}

// ---- The waiting task and its hand-back ----

TEST(SignInFlowWorker, SuccessStoresTokensAndUserAndClosesTheAttempt) {
  SessionManager session;
  session.failSignIn("earlier failure");
  Gate taskEnded;
  Platform platform = workerPlatform(session, taskEnded);
  auto seenToken = std::make_shared<std::string>();
  auto workerThreads = std::make_shared<std::vector<std::thread::id>>();
  AuthCallbacks auth = clientAnsweringAtOnce("a");
  auth.complete = [workerThreads] {
    workerThreads->push_back(std::this_thread::get_id());
    return tokensNamed("a");
  };
  auth.fetchUser = [seenToken, workerThreads](const std::string& accessToken) {
    workerThreads->push_back(std::this_thread::get_id());
    *seenToken = accessToken;
    return std::optional(userNamed("Ada"));
  };
  ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
  ASSERT_TRUE(taskEnded.waitFor(10s));

  EXPECT_EQ(*seenToken, "access-a");
  ASSERT_EQ(workerThreads->size(), 2u);
  EXPECT_NE((*workerThreads)[0], std::this_thread::get_id());
  EXPECT_EQ((*workerThreads)[0], (*workerThreads)[1]);
  EXPECT_TRUE(session.isSignedIn());
  EXPECT_FALSE(session.isSignInInProgress());
  EXPECT_EQ(session.accessToken(), "access-a");
  EXPECT_EQ(session.displayName(), "Ada");
  EXPECT_EQ(session.userEmail(), "Ada@example.com");
  EXPECT_EQ(session.takePendingMessage(), "");
  std::shared_ptr<SessionSharedState> state = session.sharedState();
  std::lock_guard<std::mutex> lock(state->mutex);
  EXPECT_EQ(state->tokens.refreshToken, "refresh-a");
  EXPECT_EQ(state->tokens.expiresAt, "expires-a");
  ASSERT_TRUE(state->user.has_value());
  EXPECT_EQ(state->user->id, 42);
  EXPECT_EQ(state->user->companyId, 7);
}

TEST(SignInFlowWorker, MissingOrAbsentProfileSignsInWithoutAUser) {
  for (bool configured : {true, false}) {
    SessionManager session;
    Gate taskEnded;
    Platform platform = workerPlatform(session, taskEnded);
    AuthCallbacks auth = clientAnsweringAtOnce("a");
    if (configured) {
      auth.fetchUser = [](const std::string&) { return std::optional<vantel::VantelUser>(); };
    } else {
      auth.fetchUser = nullptr;
    }
    ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
    ASSERT_TRUE(taskEnded.waitFor(10s));
    EXPECT_TRUE(session.isSignedIn());
    EXPECT_EQ(session.displayName(), "");
    EXPECT_FALSE(session.sharedState()->user.has_value());
  }
}

struct WorkerFailure {
  const char* name;
  std::function<void(AuthCallbacks&)> breakIt;
  std::string text;
};

// Worker failures are only recorded: tokens are not stored, even when they arrived
// before the profile failed.
TEST(SignInFlowWorker, EveryWorkerFailureIsLeftAsThePendingMessage) {
  const WorkerFailure failures[] = {
      {"no access token",
       [](AuthCallbacks& a) {
         a.complete = [] { return vantel::VantelLocalAuthTokens{"", "refresh", "expires"}; };
       },
       "Authentication completed without an access token."},
      {"completion fails",
       [](AuthCallbacks& a) {
         a.complete = []() -> vantel::VantelLocalAuthTokens {
           throw std::runtime_error("LocalAuthFlowComplete failed: browser flow timed out");
         };
       },
       "LocalAuthFlowComplete failed: browser flow timed out"},
      {"completion throws something else",
       [](AuthCallbacks& a) { a.complete = []() -> vantel::VantelLocalAuthTokens { throw 3.5; }; },
       "Unknown error while waiting for authentication to complete."},
      {"profile fails",
       [](AuthCallbacks& a) {
         a.fetchUser = [](const std::string&) -> std::optional<vantel::VantelUser> {
           throw std::runtime_error("GetCurrentUser failed: unauthorized");
         };
       },
       "GetCurrentUser failed: unauthorized"},
      {"profile throws something else",
       [](AuthCallbacks& a) {
         a.fetchUser = [](const std::string&) -> std::optional<vantel::VantelUser> {
           throw "not an exception";
         };
       },
       "Unknown error while waiting for authentication to complete."},
  };
  for (const WorkerFailure& failure : failures) {
    SCOPED_TRACE(failure.name);
    SessionManager session;
    Gate taskEnded;
    Platform platform = workerPlatform(session, taskEnded);
    AuthCallbacks auth = clientAnsweringAtOnce("a");
    failure.breakIt(auth);
    ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
    ASSERT_TRUE(taskEnded.waitFor(10s));
    expectSignedOutWithoutTokens(session);
    EXPECT_FALSE(session.isSignInInProgress());
    EXPECT_EQ(session.takePendingMessage(), failure.text);
    EXPECT_EQ(session.takePendingMessage(), "");
  }
}

TEST(SignInFlowWorker, ResultArrivingAfterCancelWritesNothing) {
  for (bool succeeds : {true, false}) {
    SessionManager session;
    Gate release;
    Gate taskEnded;
    Platform platform = workerPlatform(session, taskEnded);
    AuthCallbacks auth = clientReleasedBy(release, "late");
    if (!succeeds) {
      auth.fetchUser = [](const std::string&) -> std::optional<vantel::VantelUser> {
        throw std::runtime_error("late failure");
      };
    }
    ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
    session.cancelSignIn();
    EXPECT_FALSE(session.isSignInInProgress());
    release.open();
    ASSERT_TRUE(taskEnded.waitFor(10s));
    expectSignedOutWithoutTokens(session);
    EXPECT_FALSE(session.isSignInInProgress());
    EXPECT_EQ(session.takePendingMessage(), "");
  }
}

TEST(SignInFlowWorker, AfterCancelOnlyTheSecondAttemptsTokensAreKept) {
  // The abandoned first attempt finishes first, then second; then the other way round.
  for (bool firstEndsFirst : {true, false}) {
    SCOPED_TRACE(firstEndsFirst ? "first ends first" : "second ends first");
    SessionManager session;
    Gate releaseFirst;
    Gate firstEnded;
    Platform first = workerPlatform(session, firstEnded);
    ASSERT_EQ(startSignIn(session, clientReleasedBy(releaseFirst, "first"), first.callbacks).status,
              SignInStatus::Started);
    session.cancelSignIn();

    Gate releaseSecond;
    Gate secondEnded;
    Platform second = workerPlatform(session, secondEnded);
    ASSERT_EQ(
        startSignIn(session, clientReleasedBy(releaseSecond, "second"), second.callbacks).status,
        SignInStatus::Started);

    if (firstEndsFirst) {
      releaseFirst.open();
      ASSERT_TRUE(firstEnded.waitFor(10s));
      EXPECT_FALSE(session.isSignedIn());
      EXPECT_TRUE(session.isSignInInProgress());
      releaseSecond.open();
      ASSERT_TRUE(secondEnded.waitFor(10s));
    } else {
      releaseSecond.open();
      ASSERT_TRUE(secondEnded.waitFor(10s));
      releaseFirst.open();
      ASSERT_TRUE(firstEnded.waitFor(10s));
    }
    EXPECT_EQ(session.accessToken(), "access-second");
    EXPECT_EQ(session.displayName(), "second");
    EXPECT_FALSE(session.isSignInInProgress());
    EXPECT_EQ(session.sharedState()->tokens.refreshToken, "refresh-second");
  }
}

TEST(SignInFlowWorker, WorkerFinishingAfterTheSessionIsGoneWritesNothing) {
  for (bool succeeds : {true, false}) {
    auto session = std::make_unique<SessionManager>();
    std::shared_ptr<SessionSharedState> state = session->sharedState();
    Gate release;
    Gate taskEnded;
    Platform platform = workerPlatform(*session, taskEnded);
    AuthCallbacks auth = clientReleasedBy(release, "late");
    if (!succeeds) {
      auth.complete = [release]() -> vantel::VantelLocalAuthTokens {
        release.wait();
        throw std::runtime_error("late failure");
      };
    }
    ASSERT_EQ(startSignIn(*session, auth, platform.callbacks).status, SignInStatus::Started);
    session.reset();
    release.open();
    ASSERT_TRUE(taskEnded.waitFor(10s));
    std::lock_guard<std::mutex> lock(state->mutex);
    EXPECT_EQ(state->tokens.accessToken, "");
    EXPECT_FALSE(state->user.has_value());
    EXPECT_EQ(state->pendingMessage, "");
    EXPECT_FALSE(state->signInInProgress);
  }
}

TEST(SignInFlowWorker, TaskOfAnAbandonedAttemptDoesNotWaitForTheBrowser) {
  // The runner keeps the task; it runs only after the attempt was cancelled, or after the
  // session was destroyed.
  for (bool destroy : {false, true}) {
    auto session = std::make_unique<SessionManager>();
    std::function<void()> kept;
    PlatformCallbacks platform = inlinePlatform().callbacks;
    platform.runAsync = [&kept](std::function<void()> task) { kept = std::move(task); };
    auto completeCalls = std::make_shared<std::atomic<int>>(0);
    AuthCallbacks auth = clientAnsweringAtOnce("a");
    auth.complete = [completeCalls] {
      ++*completeCalls;
      return tokensNamed("a");
    };
    ASSERT_EQ(startSignIn(*session, auth, platform).status, SignInStatus::Started);
    std::shared_ptr<SessionSharedState> state = session->sharedState();
    if (destroy) {
      session.reset();
    } else {
      session->cancelSignIn();
    }
    ASSERT_TRUE(kept);
    kept();
    EXPECT_EQ(completeCalls->load(), 0);
    EXPECT_EQ(state->tokens.accessToken, "");
  }
}

// ---- Signing out ----

TEST(SignInFlowSignOut, OpensTheLogoutPageAndClearsTheSession) {
  SessionManager session;
  Platform platform = inlinePlatform();
  AuthCallbacks auth = clientAnsweringAtOnce("a");
  auth.logout = [] { return std::string("https://login.example/logout"); };
  ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
  session.failSignIn("old failure");
  EXPECT_EQ(signOut(session, auth, platform.callbacks), "https://login.example/logout");
  expectSignedOutWithoutTokens(session);
  EXPECT_EQ(session.takePendingMessage(), "");
  EXPECT_EQ(*platform.opened,
            (std::vector<std::string>{kAuthorizeUrl, "https://login.example/logout"}));
}

TEST(SignInFlowSignOut, EmptyOrMissingLogoutOpensNoBrowserButClears) {
  for (bool configured : {true, false}) {
    SessionManager session;
    Platform platform = inlinePlatform();
    AuthCallbacks auth = clientAnsweringAtOnce("a");
    ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
    if (configured) {
      auth.logout = [] { return std::string(); };
    } else {
      auth.logout = nullptr;
    }
    EXPECT_EQ(signOut(session, auth, platform.callbacks), "");
    expectSignedOutWithoutTokens(session);
    EXPECT_EQ(platform.opened->size(), 1u);
  }
}

TEST(SignInFlowSignOut, FailingLogoutStillClearsAndIsRaisedAsItIs) {
  SessionManager session;
  Platform platform = inlinePlatform();
  AuthCallbacks auth = clientAnsweringAtOnce("a");
  ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
  auth.logout = []() -> std::string {
    throw std::runtime_error("LocalAuthFlowLogout failed: offline");
  };
  try {
    signOut(session, auth, platform.callbacks);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "LocalAuthFlowLogout failed: offline");
  }
  expectSignedOutWithoutTokens(session);

  ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
  auth.logout = []() -> std::string { throw 5; };
  EXPECT_THROW(signOut(session, auth, platform.callbacks), int);
  expectSignedOutWithoutTokens(session);
  EXPECT_EQ(platform.opened->size(), 2u);
}

TEST(SignInFlowSignOut, BrowserFailureIsRaisedAfterTheSessionWasCleared) {
  SessionManager session;
  Platform platform = inlinePlatform();
  AuthCallbacks auth = clientAnsweringAtOnce("a");
  ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
  auth.logout = [] { return std::string("https://login.example/logout"); };
  PlatformCallbacks failing = platform.callbacks;
  failing.openBrowser = [](const std::string&) {
    throw std::runtime_error("Failed to launch the system browser for Synquo authentication.");
  };
  EXPECT_THROW(signOut(session, auth, failing), std::runtime_error);
  expectSignedOutWithoutTokens(session);

  PlatformCallbacks noBrowser = platform.callbacks;
  noBrowser.openBrowser = nullptr;
  EXPECT_EQ(signOut(session, auth, noBrowser), "https://login.example/logout");
}

TEST(SignInFlowSignOut, WaitsForARunningWorkerAndClearsWhatItStored) {
  SessionManager session;
  Gate release;
  Gate taskEnded;
  Platform platform = workerPlatform(session, taskEnded);
  AuthCallbacks auth = clientReleasedBy(release, "a");
  ASSERT_EQ(startSignIn(session, auth, platform.callbacks).status, SignInStatus::Started);
  auto signingOut = std::async(std::launch::async, [&session, &auth, &platform] {
    return signOut(session, auth, platform.callbacks);
  });
  EXPECT_EQ(signingOut.wait_for(100ms), std::future_status::timeout);
  release.open();
  ASSERT_EQ(signingOut.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(signingOut.get(), "");
  EXPECT_TRUE(taskEnded.waitFor(0ms));
  expectSignedOutWithoutTokens(session);
  EXPECT_FALSE(session.isSignInInProgress());
}

}  // namespace
}  // namespace auth
