// The simulated NX's locale: code page 1252 on every platform. Text outside it becomes "?".
#pragma once

#include <string>
#include <string_view>

namespace nxsim {
namespace detail {

std::string localeToUtf8(std::string_view locale);
// Characters that code page 1252 lacks, and bytes that are no UTF-8, become "?".
std::string utf8ToLocale(std::string_view utf8);
// Code points in the text; a byte that is no UTF-8 counts as one.
std::size_t utf8Length(std::string_view utf8);

}  // namespace detail
}  // namespace nxsim
