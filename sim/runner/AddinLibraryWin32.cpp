// Loading the add-in with LoadLibraryExW.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "sim/runner/AddinLibrary.h"

namespace simrunner {
namespace {

std::wstring widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

}  // namespace

void* AddinLibrary::open(const std::string& path, const std::string& what,
                         bool dependenciesBeside) {
  // The altered search path puts the library's own folder where the program's would be; it
  // takes only backslashes.
  std::wstring file = widen(path);
  if (dependenciesBeside) std::replace(file.begin(), file.end(), L'/', L'\\');
  HMODULE module = LoadLibraryExW(file.c_str(), nullptr,
                                  dependenciesBeside ? LOAD_WITH_ALTERED_SEARCH_PATH : DWORD{0});
  if (module == nullptr) {
    throw std::runtime_error("Cannot load " + what + " " + path + ": error " +
                             std::to_string(GetLastError()));
  }
  return module;
}

void AddinLibrary::close(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

void* AddinLibrary::find(void* module, const char* name) {
  FARPROC address = GetProcAddress(static_cast<HMODULE>(module), name);
  if (address == nullptr) return nullptr;
  void* result = nullptr;
  static_assert(sizeof(result) == sizeof(address), "FARPROC fits an object pointer");
  std::memcpy(&result, &address, sizeof(result));
  return result;
}

}  // namespace simrunner
