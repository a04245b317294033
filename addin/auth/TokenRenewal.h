// A service call made for the user that outlives an expired access token: the tokens are
// renewed once with the refresh token and the call is made once more. A token whose
// announced expiry has passed is renewed before the call instead of after a refusal.
#pragma once

#include <vantel/vantel.h>

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "addin/auth/SessionManager.h"

namespace auth {

extern const char* const kSignInExpiredText;

// The sign-in could not be renewed; the session has already been cleared. what() is
// kSignInExpiredText, which the user sees in place of the service's refusal.
class SignInExpired : public std::runtime_error {
 public:
  SignInExpired();
};

// Trades a refresh token for new tokens. An empty callable renews nothing: calls then
// behave as if no renewal existed.
using RenewTokens = std::function<vantel::VantelLocalAuthTokens(const std::string& refreshToken)>;

// Whether a service error text says that the access token is no longer accepted.
bool isTokenRefused(const std::string& errorText);

// The token to call with: the session's, renewed first when its expiry has passed; empty
// when signed out. Raises SignInExpired.
std::string currentAccessToken(SessionManager& session, const RenewTokens& renew);

// The token to repeat a call with after the service refused `refusedToken`. Callers that
// were refused at the same time renew once: the later ones find the token already
// replaced and take the new one. Raises SignInExpired.
std::string renewRefusedToken(SessionManager& session, const RenewTokens& renew,
                              const std::string& refusedToken);

// Calls `call(accessToken)` with the current token; when the service refuses the token,
// either by raising or by an answer for which `refusedAnswer` is true, renews and calls
// once more. Every other failure passes unchanged, as does the repeated call's.
template <typename Call, typename Refused>
auto callWithRenewal(SessionManager& session, const RenewTokens& renew, Call&& call,
                     Refused&& refusedAnswer) {
  const std::string token = currentAccessToken(session, renew);
  if (renew) {
    try {
      auto answer = call(token);
      if (!refusedAnswer(answer)) return answer;
    } catch (const std::exception& error) {
      if (!isTokenRefused(error.what())) throw;
    }
    return call(renewRefusedToken(session, renew, token));
  }
  return call(token);
}

template <typename Call>
auto callWithRenewal(SessionManager& session, const RenewTokens& renew, Call&& call) {
  return callWithRenewal(session, renew, std::forward<Call>(call),
                         [](const auto&) { return false; });
}

}  // namespace auth
