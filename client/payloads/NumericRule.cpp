// How an id or a count is read from a JSON value that may be a number or a text.
#include "client/payloads/NumericRule.h"

#include <vantel/VantelException.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>

namespace vantel {
namespace {

// std::stoll's own messages differ between standard libraries; these are the ones the
// service's users see.
int64_t decimalText(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(begin, &end, 10);
  if (end == begin) throw std::invalid_argument("invalid stoll argument");
  if (errno == ERANGE) throw std::out_of_range("stoll argument out of range");
  return static_cast<int64_t>(value);
}

int64_t roundedFloat(double value) {
  // 2^63 is exact as a double; anything at or beyond it (or NaN) has no int64 value.
  constexpr double kLimit = 9223372036854775808.0;
  const double rounded = std::round(value);
  if (!(rounded >= -kLimit && rounded < kLimit)) {
    throw std::out_of_range("Numeric value out of range");
  }
  return static_cast<int64_t>(rounded);
}

}  // namespace

int64_t toInt64(const nlohmann::json& value) {
  switch (value.type()) {
    case nlohmann::json::value_t::string:
      return decimalText(value.get_ref<const std::string&>());
    case nlohmann::json::value_t::number_integer:
      return value.get<int64_t>();
    case nlohmann::json::value_t::number_unsigned: {
      const auto unsignedValue = value.get<uint64_t>();
      if (unsignedValue > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        throw std::out_of_range("Numeric value out of range");
      }
      return static_cast<int64_t>(unsignedValue);
    }
    case nlohmann::json::value_t::number_float:
      return roundedFloat(value.get<double>());
    default:
      throw VantelException("Expected numeric value");
  }
}

}  // namespace vantel
