// The answer to a request to start signing in: started, or refused and why.
#pragma once

#include <string>

namespace auth {

enum class SignInStatus { Started = 0, AlreadySignedIn = 1, InProgress = 2 };

struct SignInStartResult {
  SignInStatus status = SignInStatus::Started;
  // The page opened in the browser; empty unless the status is Started.
  std::string authorizationUrl;
};

}  // namespace auth
