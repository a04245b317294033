// The numeric rule that ids and counts are read by, on any JSON value the input parses to
// (or, when it parses to none, on the input as a text). It returns a value or raises one of
// its three documented errors; a value it returns is the one the rule describes.
#include <vantel/VantelException.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "FuzzCheck.h"
#include "client/payloads/NumericRule.h"

namespace {

using nlohmann::json;

// For a message only: a text that is not UTF-8 must not throw here.
std::string shown(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

void check(const json& value) {
  int64_t result = 0;
  try {
    result = vantel::toInt64(value);
  } catch (const std::invalid_argument&) {
    fuzzcheck::require(value.is_string(), "invalid_argument", "for a value that is no text");
    return;
  } catch (const std::out_of_range&) {
    fuzzcheck::require(value.is_number() || value.is_string(), "out_of_range", shown(value));
    return;
  } catch (const vantel::VantelException&) {
    fuzzcheck::require(!value.is_number() && !value.is_string(), "VantelException",
                       "for a number or a text");
    return;
  } catch (...) {
    fuzzcheck::unexpectedException("toInt64");
  }
  if (value.is_number_integer() && !value.is_number_unsigned()) {
    fuzzcheck::require(result == value.get<int64_t>(), "integer taken as it is", shown(value));
  } else if (value.is_number_unsigned()) {
    fuzzcheck::require(static_cast<uint64_t>(result) == value.get<uint64_t>(),
                       "unsigned taken as it is", shown(value));
  } else if (value.is_number_float()) {
    const double rounded = std::round(value.get<double>());
    fuzzcheck::require(static_cast<double>(result) == rounded, "float rounded", shown(value));
  } else {
    fuzzcheck::require(value.is_string(), "only numbers and texts give a value", shown(value));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const json parsed = json::parse(input, nullptr, false);
  if (!parsed.is_discarded()) {
    check(parsed);
    if (parsed.is_array()) {
      for (const json& element : parsed) check(element);
    }
  }
  check(json(input.c_str()));  // as a text, up to its first NUL, as the service's texts are
  check(json(input));
  return 0;
}
