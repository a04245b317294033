// The locale's code page by Windows' own conversions (the ANSI code page, 1252 here).
#include <windows.h>

#include "sim/nx/CodePage.h"

namespace nxsim {
namespace detail {

std::string localeToUtf8(std::string_view locale) {
  if (locale.empty()) {
    return {};
  }
  const int size = static_cast<int>(locale.size());
  const int wideSize = MultiByteToWideChar(CP_ACP, 0, locale.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  MultiByteToWideChar(CP_ACP, 0, locale.data(), size, wide.data(), wideSize);
  const int outSize =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(outSize), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, out.data(), outSize, nullptr, nullptr);
  return out;
}

std::string utf8ToLocale(std::string_view utf8) {
  if (utf8.empty()) {
    return {};
  }
  const int size = static_cast<int>(utf8.size());
  const int wideSize = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideSize);
  // No best fit: a character the code page lacks is "?", not a look-alike.
  const int outSize = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize,
                                          nullptr, 0, "?", nullptr);
  std::string out(static_cast<std::size_t>(outSize), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, out.data(), outSize, "?",
                      nullptr);
  return out;
}

}  // namespace detail
}  // namespace nxsim
