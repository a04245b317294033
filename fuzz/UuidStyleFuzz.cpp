// The UUID-style test of traceable identifiers: it accepts exactly the 8-4-4-4-12 shape of
// hexadecimal digits in either case, and every new identifier passes it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "addin/traceability/TraceableIdText.h"

namespace {

bool isHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool hasTheShape(std::string_view text) {
  if (text.size() != 36) return false;
  std::size_t group = 0;
  std::size_t length = 0;
  static const std::size_t kGroups[] = {8, 4, 4, 4, 12};
  for (const char c : text) {
    if (c == '-') {
      if (group == 4 || length != kGroups[group]) return false;
      ++group;
      length = 0;
    } else if (isHex(c)) {
      ++length;
    } else {
      return false;
    }
  }
  return group == 4 && length == 12;
}

std::string flippedCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const bool accepted = synquo::isUuidStyleId(text);
  fuzzcheck::require(accepted == hasTheShape(text), "the 8-4-4-4-12 shape", text);
  fuzzcheck::require(synquo::isUuidStyleId(flippedCase(text)) == accepted, "either case", text);

  static bool generatedChecked = false;
  if (!generatedChecked) {
    generatedChecked = true;
    const std::string id = synquo::generateTraceableId();
    fuzzcheck::require(synquo::isUuidStyleId(id) && id == flippedCase(flippedCase(id)) &&
                           id[14] == '4',
                       "a new identifier is a lower-case version 4 UUID", id);
  }
  return 0;
}
