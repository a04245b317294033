// The bundle through which the sign-in flow reaches the service client. An empty
// callable means that the operation is not configured.
#pragma once

#include <vantel/vantel.h>

#include <functional>
#include <optional>
#include <string>

namespace synquo {

struct AuthCallbacks {
  // The page where the user signs in.
  std::function<std::string()> authorize;
  // Blocks until the browser flow has ended and gives its tokens. Runs on the worker.
  std::function<vantel::VantelLocalAuthTokens()> complete;
  // The profile of the user who owns the access token; no value means no profile.
  // Runs on the worker.
  std::function<std::optional<vantel::VantelUser>(const std::string& accessToken)> fetchUser;
  // Ends the service-side sign-in; gives a page to open in the browser, or an empty text.
  std::function<std::string()> logout;
};

}  // namespace synquo
