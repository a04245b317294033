// Calendar time on POSIX with the reentrant conversions.
#include "addin/platform/Clock.h"

namespace platform {

std::tm localTime(std::time_t when) {
  std::tm out{};
  if (localtime_r(&when, &out) == nullptr) return std::tm{};
  return out;
}

std::tm utcTime(std::time_t when) {
  std::tm out{};
  if (gmtime_r(&when, &out) == nullptr) return std::tm{};
  return out;
}

}  // namespace platform
