// brevin-sim's operating-system needs on Windows (and under wine).
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <cstdlib>
#include <random>
#include <stdexcept>
#include <vector>

#include "sim/runner/RunnerPlatform.h"

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

std::string narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

void setHandler(const wchar_t* key, const std::wstring& command) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_SET_VALUE, nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) {
    throw std::runtime_error("Cannot create the registry key " + narrow(key) + ": error " +
                             std::to_string(status));
  }
  const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
  status = RegSetValueExW(handle, nullptr, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(command.c_str()), bytes);
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) {
    throw std::runtime_error("Cannot set the registry key " + narrow(key) + ": error " +
                             std::to_string(status));
  }
}

}  // namespace

void setEnvironment(const std::string& name, const std::string& value) {
  const std::wstring wname = widen(name);
  const std::wstring wvalue = widen(value);
  // Both the process block (children, GetEnvironmentVariable) and the C runtime's copy.
  if (!SetEnvironmentVariableW(wname.c_str(), wvalue.c_str()) ||
      _wputenv_s(wname.c_str(), wvalue.c_str()) != 0) {
    throw std::runtime_error("Cannot set the environment variable " + name);
  }
}

void unsetEnvironment(const std::string& name) {
  const std::wstring wname = widen(name);
  SetEnvironmentVariableW(wname.c_str(), nullptr);
  _wputenv_s(wname.c_str(), L"");
}

std::string environment(const std::string& name) {
  const std::wstring wname = widen(name);
  const DWORD size = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
  if (size == 0) return std::string();
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(wname.c_str(), value.data(), size);
  value.resize(length);
  return narrow(value);
}

std::vector<std::string> commandLineArguments(int, char**) {
  // The narrow argv is in the ANSI code page; the wide command line keeps every name.
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide != nullptr && i < count; ++i) arguments.push_back(narrow(wide[i]));
  if (wide != nullptr) LocalFree(wide);
  return arguments;
}

void endWithParent() {}

std::filesystem::path executablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) throw std::runtime_error("Cannot read the program's file name");
    if (length < buffer.size() - 1)
      return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::filesystem::path makeTemporaryDirectory(const std::string& prefix) {
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate =
        base / (prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(random()));
    if (CreateDirectoryW(candidate.wstring().c_str(), nullptr)) return candidate;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      throw std::runtime_error("Cannot create a temporary directory " + candidate.u8string() +
                               ": error " + std::to_string(GetLastError()));
    }
  }
  throw std::runtime_error("Cannot create a temporary directory in " + base.u8string());
}

bool isWindows() { return true; }

bool hasRunningChildren() { return false; }
std::string addinFileName() { return "brevin.dll"; }
std::string executableFileName(const std::string& stem) { return stem + ".exe"; }

void installBrowser(const std::filesystem::path& simBrowser) {
  // ShellExecute starts the machine-wide handler of the scheme; the current user's key is
  // not consulted by wine.
  const std::wstring command = L"\"" + simBrowser.wstring() + L"\" \"%1\"";
  setHandler(L"Software\\Classes\\http\\shell\\open\\command", command);
  setHandler(L"Software\\Classes\\https\\shell\\open\\command", command);
}

}  // namespace simrunner
