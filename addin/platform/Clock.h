// Calendar time of the process: conversions that the C runtime offers in different,
// thread-safe forms per platform.
#pragma once

#include <ctime>

namespace platform {

// The local calendar time of a moment; all fields zero when the conversion fails.
std::tm localTime(std::time_t when);

// The UTC calendar time of a moment; all fields zero when the conversion fails.
std::tm utcTime(std::time_t when);

}  // namespace platform
