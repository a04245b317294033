// The running test executable's directory on Windows.
#include <windows.h>

#include <filesystem>
#include <vector>

#include "client/tests/support/TestPaths.h"

namespace vantel::testing {

std::filesystem::path executableDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size() - 1) {
      return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace vantel::testing
