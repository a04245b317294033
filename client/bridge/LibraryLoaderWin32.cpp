// The dynamic loader on Windows: LoadLibraryA, GetProcAddress and the module's file name.
#include <windows.h>

#include <string>
#include <vector>

#include <vantel/VantelException.h>

#include "client/bridge/LibraryLoader.h"

namespace vantel::loader {
namespace {

// Any address inside this module tells GetModuleHandleExA which module we are.
const char moduleAnchor = 0;

std::string lastErrorText() {
  const DWORD code = GetLastError();
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text = "Windows error " + std::to_string(code);
  if (length != 0 && buffer != nullptr) {
    text += ": ";
    text.append(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
      text.pop_back();
    }
  }
  if (buffer != nullptr) LocalFree(buffer);
  return text;
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string directoryOf(const std::string& file) {
  const auto last = file.find_last_of("\\/");
  if (last == std::string::npos) return std::string();
  auto end = last;
  while (end > 0 && isSeparator(file[end - 1])) --end;
  return file.substr(0, end);
}

}  // namespace

OpenResult openLibrary(const std::string& path) {
  OpenResult result;
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    result.error = lastErrorText();
  }
  result.handle = module;
  return result;
}

Symbol findSymbol(void* handle, const char* name) {
  return reinterpret_cast<Symbol>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

std::string moduleDirectory() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          &moduleAnchor, &module)) {
    throw VantelException("Failed to locate vantel module handle");
  }
  std::vector<char> buffer(260);
  DWORD length = 0;
  for (;;) {
    length = GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) throw VantelException("Failed to read vantel module path");
    if (length < buffer.size() - 1) break;
    buffer.resize(buffer.size() * 2);
  }
  return directoryOf(std::string(buffer.data(), length));
}

std::string joinPath(const std::string& directory, const std::string& fileName) {
  if (!directory.empty() && isSeparator(directory.back())) return directory + fileName;
  return directory + "\\" + fileName;
}

}  // namespace vantel::loader
