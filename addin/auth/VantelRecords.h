// Stand-in for the client library's token and user records until <vantel/vantel.h>
// is available on this branch; same names and members, to be removed then.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantel {

struct VantelLocalAuthTokens {
  std::string accessToken;
  std::string refreshToken;
  std::string expiresAt;
};

struct VantelUser {
  int64_t id = 0;
  std::optional<int64_t> companyId;
  std::string email;
  std::string username;
  std::string firstName;
  std::string lastName;
  std::string phoneNumber;
  std::string jobTitle;
  std::string createdTime;
  std::string modifiedTime;
};

}  // namespace vantel
