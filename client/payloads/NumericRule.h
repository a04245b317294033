// How an id or a count is read from a JSON value that may be a number or a text.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>

namespace vantel {

// A string is read as a decimal integer by the rules of std::stoll; an integer is taken
// as it is; a floating-point value is rounded to the nearest integer, halves away from
// zero. Raises std::invalid_argument for a string without digits, std::out_of_range for
// a value that does not fit a signed 64-bit integer (NaN and infinity included), and
// VantelException for any other kind of value.
int64_t toInt64(const nlohmann::json& value);

}  // namespace vantel
