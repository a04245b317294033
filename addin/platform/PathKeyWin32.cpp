// Path keys on Windows: NTFS takes names that differ only in case as one file.
#include <windows.h>

#include "addin/platform/PathKey.h"

namespace platform {

// Without LCMAP_LINGUISTIC_CASING the mapping follows the file system's rules, one code unit
// for one, so the key keeps the path's length.
std::filesystem::path::string_type pathKey(const std::filesystem::path& path) {
  std::wstring key = path.lexically_normal().native();
  if (key.empty()) return key;
  const int length = static_cast<int>(key.size());
  std::wstring upper(key.size(), L'\0');
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, key.c_str(), length, upper.data(),
                    length, nullptr, nullptr, 0) == length) {
    return upper;
  }
  // Not expected for a valid locale; ASCII folding still keeps the common names together.
  for (wchar_t& c : key) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return key;
}

}  // namespace platform
