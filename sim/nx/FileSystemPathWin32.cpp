// Narrow paths are in the ANSI code page, as narrow Windows file APIs read them.
#include <windows.h>

#include "sim/nx/State.h"

namespace nxsim {
namespace detail {

std::filesystem::path fileSystemPath(const std::string& narrow) {
  if (narrow.empty()) {
    return {};
  }
  const UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
  const int size =
      MultiByteToWideChar(codePage, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, narrow.data(), static_cast<int>(narrow.size()), wide.data(),
                      size);
  return std::filesystem::path(wide);
}

}  // namespace detail
}  // namespace nxsim
