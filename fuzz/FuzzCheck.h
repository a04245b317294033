// What every fuzz target shares: a broken property aborts, so libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace fuzzcheck {

[[noreturn]] inline void broken(const char* property, const std::string& detail) {
  std::fprintf(stderr, "property broken: %s\n  %s\n", property, detail.c_str());
  std::abort();
}

inline void require(bool holds, const char* property, const std::string& detail = "") {
  if (!holds) broken(property, detail);
}

// Inside a catch block: an exception no contract allows.
[[noreturn]] inline void unexpectedException(const char* where) {
  try {
    throw;
  } catch (const std::exception& e) {
    broken(where, std::string("unexpected exception: ") + e.what());
  } catch (...) {
    broken(where, "unexpected exception of an unknown type");
  }
}

// Well-formed UTF-8 as RFC 3629 has it: no overlong forms, no surrogates, nothing past
// U+10FFFF. Written here, apart from the JSON library, to judge it.
inline bool isUtf8(const std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned min = 0;
    unsigned value = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      length = 2, min = 0x80, value = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
      length = 3, min = 0x800, value = c & 0x0Fu;
    } else if ((c & 0xF8) == 0xF0) {
      length = 4, min = 0x10000, value = c & 0x07u;
    } else {
      return false;
    }
    if (i + length > n) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3Fu);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

}  // namespace fuzzcheck
