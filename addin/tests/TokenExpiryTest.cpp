// Reading the expiry time that comes with an access token.
#include "addin/auth/TokenExpiry.h"

#include <gtest/gtest.h>

namespace auth {
namespace {

TEST(TokenExpiry, ReadsRfc3339TimesAndNothingElse) {
  const std::time_t noon = 1796731200;  // 2026-12-08T12:00:00Z
  struct Case {
    const char* text;
    std::optional<std::time_t> moment;
  };
  const Case cases[] = {
      {"2026-12-08T12:00:00Z", noon},
      {"2026-12-08t12:00:00.250z", noon},
      {"2026-12-08T13:30:00+01:30", noon},
      {"2026-12-08T07:00:00-05:00", noon},
      {"1970-01-01T00:00:00Z", 0},
      {"2024-02-29T00:00:00Z", 1709164800},
      {"", std::nullopt},
      {"2026-12-08 12:00:00Z", std::nullopt},
      {"2026-12-08T12:00:00", std::nullopt},
      {"2026-13-08T12:00:00Z", std::nullopt},
      {"2026-12-08T12:00:00Z ", std::nullopt},
      {"2026-12-08T12:00:00.Z", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseExpiryTime(c.text), c.moment) << c.text;
  }
  EXPECT_TRUE(hasExpired("2026-12-08T12:00:00Z", noon));
  EXPECT_FALSE(hasExpired("2026-12-08T12:00:01Z", noon));
  EXPECT_FALSE(hasExpired("not a time", noon));
}

}  // namespace
}  // namespace auth
