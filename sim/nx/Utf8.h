// UTF-8 read and written code point by code point.
#pragma once

#include <string>
#include <string_view>

namespace nxsim {
namespace detail {

// The code point at `at`, which moves past it; a byte that starts no valid sequence reads as
// U+FFFD and moves one byte.
char32_t nextCodePoint(std::string_view text, std::size_t& at);
void appendUtf8(std::string& out, char32_t code);

}  // namespace detail
}  // namespace nxsim
