// Path text on Windows: wide paths converted with MultiByteToWideChar/WideCharToMultiByte.
#include <windows.h>

#include <system_error>

#include "addin/platform/TextEncoding.h"

namespace platform {
namespace {

UINT fileNameCodePage() { return AreFileApisANSI() ? CP_ACP : CP_OEMCP; }

bool isUtf8CodePage(UINT codePage) {
  if (codePage == CP_UTF8) return true;
  if (codePage == CP_ACP) return GetACP() == CP_UTF8;
  if (codePage == CP_OEMCP) return GetOEMCP() == CP_UTF8;
  return false;
}

[[noreturn]] void throwLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

std::wstring toWide(UINT codePage, std::string_view text, const char* what) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) throwLastError(what);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length) !=
      length) {
    throwLastError(what);
  }
  return wide;
}

}  // namespace

std::filesystem::path fromFileNameCodePage(std::string_view text) {
  return std::filesystem::path(toWide(fileNameCodePage(), text, "file name conversion failed"));
}

std::string toFileNameCodePage(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const UINT codePage = fileNameCodePage();
  const bool utf8 = isUtf8CodePage(codePage);
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultOut);
  if (length <= 0) throwLastError("file name conversion failed");
  if (usedDefault) {
    throw std::system_error(ERROR_NO_UNICODE_TRANSLATION, std::system_category(),
                            "file name has no representation in the code page");
  }
  std::string narrow(static_cast<size_t>(length), '\0');
  if (WideCharToMultiByte(codePage, flags, wide.data(), size, narrow.data(), length, nullptr,
                          nullptr) != length) {
    throwLastError("file name conversion failed");
  }
  return narrow;
}

std::string toUtf8(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::filesystem::path fromUtf8(std::string_view text) {
  if (!isValidUtf8(text)) {
    throw std::system_error(ERROR_NO_UNICODE_TRANSLATION, std::system_category(),
                            "text is not valid UTF-8");
  }
  return std::filesystem::path(toWide(CP_UTF8, text, "UTF-8 conversion failed"));
}

}  // namespace platform
