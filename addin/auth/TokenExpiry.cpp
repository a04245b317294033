// Reading the expiry time of an access token.
#include "addin/auth/TokenExpiry.h"

#include <cstdint>

namespace auth {
namespace {

// Reads `count` decimal digits at `pos`; false when any is missing.
bool digits(const std::string& text, size_t& pos, size_t count, int& value) {
  if (pos + count > text.size()) return false;
  value = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = text[pos + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  pos += count;
  return true;
}

bool expect(const std::string& text, size_t& pos, const char* accepted) {
  if (pos >= text.size()) return false;
  for (const char* a = accepted; *a != '\0'; ++a) {
    if (text[pos] == *a) {
      ++pos;
      return true;
    }
  }
  return false;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar; timegm is not
// portable, and the C runtime's mktime works in local time.
std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace

std::optional<std::time_t> parseExpiryTime(const std::string& text) {
  size_t pos = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!digits(text, pos, 4, year) || !expect(text, pos, "-") || !digits(text, pos, 2, month) ||
      !expect(text, pos, "-") || !digits(text, pos, 2, day) || !expect(text, pos, "Tt") ||
      !digits(text, pos, 2, hour) || !expect(text, pos, ":") || !digits(text, pos, 2, minute) ||
      !expect(text, pos, ":") || !digits(text, pos, 2, second)) {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) {
    return std::nullopt;
  }
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    const size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
    if (pos == start) return std::nullopt;
  }
  std::int64_t offsetSeconds = 0;
  if (!expect(text, pos, "Zz")) {
    const bool behind = pos < text.size() && text[pos] == '-';
    int offsetHours = 0, offsetMinutes = 0;
    if (!expect(text, pos, "+-") || !digits(text, pos, 2, offsetHours) || !expect(text, pos, ":") ||
        !digits(text, pos, 2, offsetMinutes)) {
      return std::nullopt;
    }
    offsetSeconds = (offsetHours * 60 + offsetMinutes) * 60 * (behind ? -1 : 1);
  }
  if (pos != text.size()) return std::nullopt;
  const std::int64_t seconds =
      daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offsetSeconds;
  return static_cast<std::time_t>(seconds);
}

bool hasExpired(const std::string& expiresAt, std::time_t now) {
  const std::optional<std::time_t> expiry = parseExpiryTime(expiresAt);
  return expiry && *expiry <= now;
}

}  // namespace auth
