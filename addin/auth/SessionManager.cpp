// The session controller: tokens, user, pending message and the sign-in guard.
#include "addin/auth/SessionManager.h"

#include "addin/platform/Platform.h"

#include <system_error>
#include <thread>
#include <utility>

namespace auth {
namespace {

using Lock = std::lock_guard<std::mutex>;

// Lets go of a worker that has been taken out of the session, without waiting for the
// browser: a finished thread is joined, a running one detached. The session's own
// worker thread can only be detached.
void releaseWorker(platform::WorkerThread worker) {
  if (!worker.joinable()) return;
  if (worker.id() != std::this_thread::get_id() && worker.hasFinished()) {
    worker.join();
  } else {
    worker.detach();
  }
}

std::system_error resourceDeadlock() {
  return std::system_error(std::make_error_code(std::errc::resource_deadlock_would_occur));
}

}  // namespace

SessionManager::SessionManager()
    : state_(std::make_shared<SessionSharedState>()),
      alive_(std::make_shared<std::atomic<bool>>(true)),
      counter_(std::make_shared<std::atomic<std::uint64_t>>(0)) {}

SessionManager::~SessionManager() {
  alive_->exchange(false);
  platform::WorkerThread worker;
  try {
    Lock lock(state_->mutex);
    invalidateAttemptsLocked();
    state_->signInInProgress = false;
    worker = takeWorkerLocked();
  } catch (const std::system_error&) {
    // The mutex could not be locked. The alive flag alone already silences the worker;
    // dropping it below detaches it.
    worker = std::move(worker_);
  }
  releaseWorker(std::move(worker));
}

bool SessionManager::isSignedIn() const {
  Lock lock(state_->mutex);
  return !state_->tokens.accessToken.empty();
}

bool SessionManager::isSignInInProgress() const {
  Lock lock(state_->mutex);
  return state_->signInInProgress;
}

std::string SessionManager::accessToken() const {
  Lock lock(state_->mutex);
  return state_->tokens.accessToken;
}

TokenSnapshot SessionManager::tokenSnapshot() const {
  Lock lock(state_->mutex);
  return {state_->tokens, state_->generation};
}

bool SessionManager::replaceTokens(std::uint64_t generation,
                                   const vantel::VantelLocalAuthTokens& tokens) {
  Lock lock(state_->mutex);
  if (!isCurrentLocked(generation)) return false;
  state_->tokens = tokens;
  return true;
}

bool SessionManager::expireSignIn(std::uint64_t generation) {
  Lock lock(state_->mutex);
  if (!isCurrentLocked(generation)) return false;
  invalidateAttemptsLocked();
  state_->tokens = vantel::VantelLocalAuthTokens{};
  state_->user.reset();
  return true;
}

std::string SessionManager::displayName() const {
  Lock lock(state_->mutex);
  if (!state_->user) return {};
  const vantel::VantelUser& user = *state_->user;
  if (!user.firstName.empty() || !user.lastName.empty()) {
    std::string name = user.firstName;
    if (!user.firstName.empty() && !user.lastName.empty()) name += ' ';
    return name + user.lastName;
  }
  if (!user.username.empty()) return user.username;
  return user.email;
}

std::string SessionManager::userEmail() const {
  Lock lock(state_->mutex);
  return state_->user ? state_->user->email : std::string();
}

std::string SessionManager::takePendingMessage() {
  Lock lock(state_->mutex);
  return std::exchange(state_->pendingMessage, std::string());
}

bool SessionManager::beginSignIn(SignInStartResult& result, std::uint64_t& generation) {
  Lock lock(state_->mutex);
  result.authorizationUrl.clear();
  generation = 0;
  if (!state_->tokens.accessToken.empty()) {
    result.status = SignInStatus::AlreadySignedIn;
    return false;
  }
  if (state_->signInInProgress) {
    result.status = SignInStatus::InProgress;
    return false;
  }
  generation = invalidateAttemptsLocked();
  state_->signInInProgress = true;
  state_->pendingMessage.clear();
  result.status = SignInStatus::Started;
  return true;
}

void SessionManager::cancelSignIn() {
  platform::WorkerThread worker;
  {
    Lock lock(state_->mutex);
    invalidateAttemptsLocked();
    state_->signInInProgress = false;
    worker = takeWorkerLocked();
  }
  releaseWorker(std::move(worker));
}

void SessionManager::clearSession() {
  joinWorker();
  Lock lock(state_->mutex);
  invalidateAttemptsLocked();
  state_->tokens = vantel::VantelLocalAuthTokens{};
  state_->user.reset();
  state_->pendingMessage.clear();
  state_->signInInProgress = false;
}

void SessionManager::joinWorker() {
  platform::WorkerThread worker;
  {
    Lock lock(state_->mutex);
    // Checked before the worker leaves its member: a worker that cannot be joined must
    // not be dropped (and thereby detached) on the way.
    if (worker_.joinable() && worker_.id() == std::this_thread::get_id()) {
      throw resourceDeadlock();
    }
    worker = takeWorkerLocked();
  }
  if (worker.joinable()) worker.join();
}

void SessionManager::failSignIn(const std::string& message) {
  Lock lock(state_->mutex);
  state_->pendingMessage = message;
  state_->signInInProgress = false;
}

void SessionManager::startWorker(std::function<void()> task) {
  platform::WorkerThread started = platform::os().startWorker(std::move(task));
  platform::WorkerThread previous;
  {
    Lock lock(state_->mutex);
    previous = std::exchange(worker_, std::move(started));
  }
  // On the previous worker itself join() raises the resource deadlock error, and
  // dropping `previous` then detaches it.
  if (previous.joinable()) previous.join();
}

std::shared_ptr<SessionSharedState> SessionManager::sharedState() const { return state_; }

std::shared_ptr<std::atomic<bool>> SessionManager::aliveFlag() const { return alive_; }

std::shared_ptr<std::atomic<std::uint64_t>> SessionManager::generationCounter() const {
  return counter_;
}

std::uint64_t SessionManager::invalidateAttemptsLocked() {
  const std::uint64_t generation = counter_->fetch_add(1) + 1;
  state_->generation = generation;
  return generation;
}

bool SessionManager::isCurrentLocked(std::uint64_t generation) const {
  return state_->generation == generation && counter_->load() == generation &&
         !state_->tokens.accessToken.empty();
}

platform::WorkerThread SessionManager::takeWorkerLocked() { return std::move(worker_); }

SessionManager& sessionManager() {
  static SessionManager session;
  return session;
}

}  // namespace auth
