// Calendar time on Windows with the C runtime's secure conversions.
#include <time.h>

#include "addin/platform/Clock.h"

namespace platform {

std::tm localTime(std::time_t when) {
  std::tm out{};
  if (localtime_s(&out, &when) != 0) return std::tm{};
  return out;
}

std::tm utcTime(std::time_t when) {
  std::tm out{};
  if (gmtime_s(&out, &when) != 0) return std::tm{};
  return out;
}

}  // namespace platform
