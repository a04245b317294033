// The session controller: remembers for the life of the add-in whether the user is
// signed in, and owns the one sign-in worker thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <vantel/vantel.h>

#include "addin/auth/SignInStatus.h"
#include "addin/platform/WorkerThreads.h"

namespace auth {

// What the session shares with every sign-in task. A task may outlive both the
// cancellation of its attempt and the session object, so it holds this record, not the
// session. `mutex` guards every other field.
struct SessionSharedState {
  std::mutex mutex;
  // An empty access token means signed out.
  vantel::VantelLocalAuthTokens tokens;
  std::optional<vantel::VantelUser> user;
  // The last sign-in failure, shown once at the next invocation; empty when none.
  std::string pendingMessage;
  bool signInInProgress = false;
  // The attempt that may still write into this record.
  std::uint64_t generation = 0;
};

// The tokens as they were at one moment, with the generation that was current then.
struct TokenSnapshot {
  vantel::VantelLocalAuthTokens tokens;
  std::uint64_t generation = 0;
};

// The one process-wide session (see sessionManager()). Every operation may be called
// from any thread; each takes the state's mutex for its whole duration unless said
// otherwise, and raises std::system_error when the mutex cannot be locked. Worker
// threads are joined or detached only outside the mutex.
//
// Attempts are numbered by a shared counter. Every operation that invalidates attempts
// (beginSignIn, cancelSignIn, clearSession, destruction) advances it, and a task writes
// its result only when its number still equals both the counter and the state's
// generation, so a late worker can never overwrite newer state.
class SessionManager {
 public:
  SessionManager();
  // Marks the session dead and invalidates the running attempt. A worker that still
  // runs is detached (it keeps the add-in loaded by itself and writes nothing when it
  // wakes); a finished one is joined. Never blocks on a running worker.
  ~SessionManager();
  SessionManager(const SessionManager&) = delete;
  SessionManager& operator=(const SessionManager&) = delete;

  // True when an access token is held.
  bool isSignedIn() const;
  bool isSignInInProgress() const;
  // A copy of the access token; empty when signed out.
  std::string accessToken() const;
  // The tokens and the generation they belong to, read together.
  TokenSnapshot tokenSnapshot() const;
  // Replaces the tokens of a renewed sign-in, unless a sign-in, sign-out or attempt came
  // after `generation` (then nothing changes and the answer is false).
  bool replaceTokens(std::uint64_t generation, const vantel::VantelLocalAuthTokens& tokens);
  // Forgets a sign-in that can no longer be renewed: tokens and user, like a local
  // sign-out, unless a sign-in, sign-out or attempt came after `generation`. Never waits
  // for a worker, so any thread may call it.
  bool expireSignIn(std::uint64_t generation);
  // The user's name for greeting: first and last name joined by one space (either may
  // be missing), else the user name, else the e-mail address; empty without a user.
  std::string displayName() const;
  // The user's e-mail address; empty without a user.
  std::string userEmail() const;
  // Moves the pending sign-in failure out; the next call gives an empty text.
  std::string takePendingMessage();

  // Opens a sign-in attempt. When signed in, or while another attempt is open, answers
  // false with `result` AlreadySignedIn or InProgress (empty URL), sets `generation` to
  // 0 and changes nothing. Otherwise advances the counter, makes its new value the
  // attempt's `generation` (never 0), marks the attempt in progress, forgets the pending
  // message and answers true with `result` Started (empty URL).
  bool beginSignIn(SignInStartResult& result, std::uint64_t& generation);

  // Abandons the open attempt: invalidates it and clears the in-progress flag. Its worker
  // is detached when it still runs and joined when it has finished, so this never waits
  // for the browser. Tokens, user and pending message stay.
  void cancelSignIn();

  // Signs out locally. Waits for the worker (also a running one), then invalidates every
  // attempt and forgets tokens, user, pending message and the in-progress flag.
  void clearSession();

  // Waits for the worker of an earlier attempt, when there is one. Raises
  // std::system_error with std::errc::resource_deadlock_would_occur when called on that
  // worker itself, and then leaves the worker in place.
  void joinWorker();

  // Ends the open attempt with a failure: `message` becomes the pending message and the
  // in-progress flag is cleared.
  void failSignIn(const std::string& message);

  // Runs `task` on a new worker thread that keeps the add-in loaded while it runs, and
  // makes it the session's worker; returns once the thread has started. A previous
  // worker is joined (it has normally been joined or released already). Raises
  // std::system_error when no thread can be started, or when called on the previous
  // worker itself (resource deadlock; that worker is then detached).
  void startWorker(std::function<void()> task);

  // What a sign-in task keeps for itself: the state record, the flag that turns false
  // when the session object is destroyed, and the attempt counter.
  std::shared_ptr<SessionSharedState> sharedState() const;
  std::shared_ptr<std::atomic<bool>> aliveFlag() const;
  std::shared_ptr<std::atomic<std::uint64_t>> generationCounter() const;

 private:
  // Under the state's mutex: advances the counter and makes it the state's generation.
  std::uint64_t invalidateAttemptsLocked();
  // Under the state's mutex: whether the signed-in session of `generation` is still the
  // current one.
  bool isCurrentLocked(std::uint64_t generation) const;
  // Under the state's mutex: moves the worker out.
  platform::WorkerThread takeWorkerLocked();

  std::shared_ptr<SessionSharedState> state_;
  // Guarded by the state's mutex.
  platform::WorkerThread worker_;
  std::shared_ptr<std::atomic<bool>> alive_;
  std::shared_ptr<std::atomic<std::uint64_t>> counter_;
};

// The process-wide session, created on first use and kept until the add-in is unloaded.
SessionManager& sessionManager();

}  // namespace auth
