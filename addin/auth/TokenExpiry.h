// Whether an access token has passed the expiry time the service announced with it.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace auth {

// The moment an RFC 3339 time names ("2026-12-08T15:05:26Z"; fractions of a second and
// numeric offsets allowed, 't' and 'z' too); nothing when the text is not such a time.
std::optional<std::time_t> parseExpiryTime(const std::string& text);

// True when `expiresAt` names a moment at or before `now`. An expiry that cannot be read
// never counts as passed: the service's refusal still leads to a renewal.
bool hasExpired(const std::string& expiresAt, std::time_t now);

}  // namespace auth
