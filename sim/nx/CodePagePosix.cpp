// Code page 1252 by its own table, as Windows defines it.
#include "sim/nx/CodePage.h"
#include "sim/nx/Utf8.h"

namespace nxsim {
namespace detail {
namespace {

// 0x80..0x9F; the five bytes Windows leaves undefined map to the C1 controls, as there.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t decodeByte(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : static_cast<char32_t>(byte);
}

}  // namespace

std::string localeToUtf8(std::string_view locale) {
  std::string out;
  for (char c : locale) {
    appendUtf8(out, decodeByte(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string utf8ToLocale(std::string_view utf8) {
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const char32_t code = nextCodePoint(utf8, at);
    char byte = '?';
    if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
      byte = static_cast<char>(static_cast<unsigned char>(code));
    } else {
      for (unsigned i = 0; i < 32; ++i) {
        if (kHigh[i] == code) {
          byte = static_cast<char>(static_cast<unsigned char>(0x80 + i));
        }
      }
    }
    out += byte;
  }
  return out;
}

}  // namespace detail
}  // namespace nxsim
