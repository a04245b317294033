// The offset in log time stamps, checked in fixed time zones (POSIX TZ rules).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "addin/logging/Log.h"

namespace logging {
namespace {

std::string stampIn(const char* zone, std::time_t when) {
  ::setenv("TZ", zone, 1);
  ::tzset();
  const std::string line = formatLogLine(LogLevel::Info, "m", when);
  return line.substr(0, line.find(']') + 1);
}

TEST(LogTimeStamp, WritesTheLocalOffsetAsSignAndFourDigits) {
  EXPECT_EQ(stampIn("UTC0", 0), "[1970-01-01 00:00:00 +0000]");
  EXPECT_EQ(stampIn("EST5", 0), "[1969-12-31 19:00:00 -0500]");
  EXPECT_EQ(stampIn("IST-5:30", 0), "[1970-01-01 05:30:00 +0530]");
  EXPECT_EQ(stampIn("NST3:30", 86400 * 365), "[1970-12-31 20:30:00 -0330]");
  // Summer time in a zone east of UTC, across midnight and the year end.
  EXPECT_EQ(stampIn("CET-1CEST,M3.5.0,M10.5.0/3", 1719788399), "[2024-07-01 00:59:59 +0200]");
  EXPECT_EQ(stampIn("CET-1CEST,M3.5.0,M10.5.0/3", 1735689599), "[2025-01-01 00:59:59 +0100]");
  ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace logging
