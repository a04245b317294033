// The directory of the nxsim module, from the module's own file name.
#include <windows.h>

#include <vector>

#include "sim/nx/State.h"

namespace nxsim {
namespace detail {

std::filesystem::path moduleDirectory() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&moduleDirectory), &module)) {
    return {};
  }
  std::vector<wchar_t> buffer(260);
  for (;;) {
    DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return {};
    }
    if (length < buffer.size()) {
      return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace detail
}  // namespace nxsim
