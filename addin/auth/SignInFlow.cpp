// The browser sign-in flow and sign-out.
#include "addin/auth/SignInFlow.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace auth {
namespace {

constexpr const char* kNoCompleteCallback = "Authentication completion callback is not configured.";

// Waits on the worker for the end of the browser flow, then hands the outcome back to
// the shared state of the session that started it, if that attempt is still wanted.
class WaitingTask {
 public:
  WaitingTask(std::shared_ptr<SessionSharedState> state, AuthCallbacks auth,
              std::shared_ptr<std::atomic<bool>> alive,
              std::shared_ptr<std::atomic<std::uint64_t>> counter, std::uint64_t generation)
      : state_(std::move(state)),
        auth_(std::move(auth)),
        alive_(std::move(alive)),
        counter_(std::move(counter)),
        generation_(generation) {}

  void operator()() const {
    if (!stillWanted()) return;
    try {
      if (!auth_.complete) throw std::runtime_error(kNoCompleteCallback);
      vantel::VantelLocalAuthTokens tokens = auth_.complete();
      if (tokens.accessToken.empty()) {
        throw std::runtime_error("Authentication completed without an access token.");
      }
      std::optional<vantel::VantelUser> user;
      if (auth_.fetchUser) user = auth_.fetchUser(tokens.accessToken);
      if (stillWanted()) succeed(std::move(tokens), std::move(user));
    } catch (const std::exception& e) {
      if (stillWanted()) fail(e.what());
    } catch (...) {
      if (stillWanted()) fail("Unknown error while waiting for authentication to complete.");
    }
  }

 private:
  bool stillWanted() const { return alive_->load() && counter_->load() == generation_; }

  // Only the latest attempt may write: the state's generation and the counter both move
  // on when an attempt is opened, cancelled or cleared, or the session goes away.
  bool ownsStateLocked() const {
    return state_->generation == generation_ && counter_->load() == generation_;
  }

  void succeed(vantel::VantelLocalAuthTokens tokens, std::optional<vantel::VantelUser> user) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!ownsStateLocked()) return;
    state_->tokens = std::move(tokens);
    state_->user = std::move(user);
    state_->pendingMessage.clear();
    state_->signInInProgress = false;
  }

  void fail(const std::string& message) const {
    try {
      std::lock_guard<std::mutex> lock(state_->mutex);
      if (!ownsStateLocked()) return;
      state_->pendingMessage = message;
      state_->signInInProgress = false;
    } catch (...) {
      // Nothing may leave the worker; the attempt then simply stays open until the
      // user starts over.
    }
  }

  std::shared_ptr<SessionSharedState> state_;
  AuthCallbacks auth_;
  std::shared_ptr<std::atomic<bool>> alive_;
  std::shared_ptr<std::atomic<std::uint64_t>> counter_;
  std::uint64_t generation_;
};

std::string openAttempt(const AuthCallbacks& auth, const PlatformCallbacks& platform) {
  if (!platform.openBrowser) throw std::runtime_error("Browser open callback is not configured.");
  if (!platform.runAsync) throw std::runtime_error("Async runner callback is not configured.");
  if (!auth.complete) throw std::runtime_error(kNoCompleteCallback);
  if (!auth.authorize) {
    throw std::runtime_error("Authentication authorize callback is not configured.");
  }
  std::string url = auth.authorize();
  if (url.empty()) {
    throw std::runtime_error("Synquo authentication did not return an authorization URL.");
  }
  return url;
}

}  // namespace

SignInStartResult startSignIn(SessionManager& session, const AuthCallbacks& auth,
                              const PlatformCallbacks& platform) {
  SignInStartResult result;
  std::uint64_t generation = 0;
  if (!session.beginSignIn(result, generation)) return result;
  // From here on the attempt is open: whatever goes wrong must close it again, or the
  // session would answer InProgress until the user cancels.
  try {
    session.joinWorker();
    std::string url = openAttempt(auth, platform);
    std::shared_ptr<SessionSharedState> state = session.sharedState();
    std::shared_ptr<std::atomic<bool>> alive = session.aliveFlag();
    std::shared_ptr<std::atomic<std::uint64_t>> counter = session.generationCounter();
    platform.openBrowser(url);
    platform.runAsync(
        WaitingTask(std::move(state), auth, std::move(alive), std::move(counter), generation));
    result.status = SignInStatus::Started;
    result.authorizationUrl = std::move(url);
    return result;
  } catch (const std::exception& e) {
    session.failSignIn(e.what());
    throw;
  } catch (...) {
    session.failSignIn("Failed to start the Synquo authentication flow.");
    throw;
  }
}

std::string signOut(SessionManager& session, const AuthCallbacks& auth,
                    const PlatformCallbacks& platform) {
  std::string url;
  if (auth.logout) {
    try {
      url = auth.logout();
    } catch (...) {
      session.clearSession();
      throw;
    }
  }
  session.clearSession();
  if (!url.empty() && platform.openBrowser) platform.openBrowser(url);
  return url;
}

}  // namespace auth
