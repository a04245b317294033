// Renewing the session's tokens with the refresh token.
#include "addin/auth/TokenRenewal.h"

#include <mutex>

#include "addin/auth/TokenExpiry.h"
#include "addin/logging/Log.h"
#include "addin/platform/Platform.h"

namespace auth {

const char* const kSignInExpiredText = "Your Synquo sign-in has expired. Sign in again.";

SignInExpired::SignInExpired() : std::runtime_error(kSignInExpiredText) {}

namespace {

enum class Cause { Expired, Refused };

// One renewal at a time, so that callers who find the same token stale renew it once.
std::mutex& renewalMutex() {
  static std::mutex mutex;
  return mutex;
}

// A failure text as it may be logged: no token of the session in it.
std::string withoutTokens(std::string text, const vantel::VantelLocalAuthTokens& tokens) {
  for (const std::string* token : {&tokens.accessToken, &tokens.refreshToken}) {
    if (token->empty()) continue;
    for (size_t at = text.find(*token); at != std::string::npos; at = text.find(*token, at)) {
      text.replace(at, token->size(), "<token>");
    }
  }
  return text;
}

[[noreturn]] void giveUp(SessionManager& session, const TokenSnapshot& stale,
                         const std::string& why) {
  logging::warning("Synquo sign-in could not be renewed and is cleared: ",
                   withoutTokens(why, stale.tokens));
  session.expireSignIn(stale.generation);
  throw SignInExpired();
}

std::string renew(SessionManager& session, const RenewTokens& renewTokens,
                  const std::string& staleToken, Cause cause) {
  std::lock_guard<std::mutex> single(renewalMutex());
  const TokenSnapshot current = session.tokenSnapshot();
  if (current.tokens.accessToken.empty()) throw SignInExpired();
  if (current.tokens.accessToken != staleToken) return current.tokens.accessToken;
  if (current.tokens.refreshToken.empty()) giveUp(session, current, "no refresh token is held");

  vantel::VantelLocalAuthTokens fresh;
  try {
    fresh = renewTokens(current.tokens.refreshToken);
  } catch (const std::exception& error) {
    giveUp(session, current, error.what());
  } catch (...) {
    giveUp(session, current, "unknown error");
  }
  if (fresh.accessToken.empty()) giveUp(session, current, "no access token was returned");
  if (fresh.refreshToken.empty()) fresh.refreshToken = current.tokens.refreshToken;
  if (!session.replaceTokens(current.generation, fresh)) {
    // Signed out, or signed in anew, while the renewal ran: that session stands.
    const std::string token = session.accessToken();
    if (token.empty()) throw SignInExpired();
    return token;
  }
  logging::info("Synquo sign-in renewed: cause=\"", cause == Cause::Expired ? "expired" : "refused",
                "\" expires_at=\"", fresh.expiresAt, "\"");
  return fresh.accessToken;
}

}  // namespace

bool isTokenRefused(const std::string& errorText) {
  return errorText.find("received non-200 status code: 401") != std::string::npos;
}

std::string currentAccessToken(SessionManager& session, const RenewTokens& renewTokens) {
  const TokenSnapshot current = session.tokenSnapshot();
  const std::string& token = current.tokens.accessToken;
  if (!renewTokens || token.empty() ||
      !hasExpired(current.tokens.expiresAt, platform::os().now())) {
    return token;
  }
  return renew(session, renewTokens, token, Cause::Expired);
}

std::string renewRefusedToken(SessionManager& session, const RenewTokens& renewTokens,
                              const std::string& refusedToken) {
  return renew(session, renewTokens, refusedToken, Cause::Refused);
}

}  // namespace auth
