// The platform on Windows: exactly the Win32 calls the add-in is meant to make.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <string>

#include "addin/platform/Platform.h"

namespace platform {
namespace {

// An object inside the add-in, whose address names the add-in's module.
const char moduleAnchor = 0;

constexpr DWORD kInitialPathLength = 260;
constexpr DWORD kLongestPathLength = 32768;

std::wstring widenAscii(const std::string& text) { return std::wstring(text.begin(), text.end()); }

bool removeEntry(const std::wstring& path, DWORD attributes);

void removeContents(const std::wstring& directory) {
  WIN32_FIND_DATAW data{};
  const std::wstring pattern = directory + L"\\*";
  HANDLE find =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    removeEntry(directory + L"\\" + name, data.dwFileAttributes);
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// Removes one entry; a reparse point (link, junction) goes itself and is never entered.
bool removeEntry(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (directory && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) removeContents(path);
  const BOOL removed = directory ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
  if (removed) return true;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::wstring withoutTrailingSeparators(std::wstring path) {
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') &&
         path[path.size() - 2] != L':') {
    path.pop_back();
  }
  return path;
}

class Win32DirectoryLock : public DirectoryLock {
 public:
  Win32DirectoryLock(std::filesystem::path directory, HANDLE file)
      : directory_(std::move(directory)), file_(file) {}
  // The lock file was opened delete-on-close: closing releases the lock and removes the file.
  ~Win32DirectoryLock() override { CloseHandle(file_); }
  const std::filesystem::path& directory() const override { return directory_; }

 private:
  std::filesystem::path directory_;
  HANDLE file_;
};

class Win32Platform : public Platform {
 public:
  ModuleFile addinModuleFile() override {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&moduleAnchor), &module) ||
        module == nullptr) {
      return {};
    }
    ModuleFile result;
    result.found = true;
    std::wstring buffer(kInitialPathLength, L'\0');
    for (;;) {
      const DWORD size = static_cast<DWORD>(buffer.size());
      const DWORD length = GetModuleFileNameW(module, buffer.data(), size);
      if (length == 0) return result;
      if (length < size) {
        buffer.resize(length);
        break;
      }
      if (size >= kLongestPathLength) return result;
      buffer.resize(buffer.size() * 2);
    }
    result.path = std::filesystem::path(buffer);
    return result;
  }

  std::filesystem::path environmentPath(const std::string& name) override {
    const std::wstring wideName = widenAscii(name);
    std::wstring buffer(kInitialPathLength, L'\0');
    DWORD length =
        GetEnvironmentVariableW(wideName.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size()) {
      buffer.resize(static_cast<size_t>(length) + 1);
      length = GetEnvironmentVariableW(wideName.c_str(), buffer.data(),
                                       static_cast<DWORD>(buffer.size()));
      // The variable grew between the calls.
      if (length >= buffer.size()) return {};
    }
    if (length == 0) return {};
    buffer.resize(length);
    return std::filesystem::path(buffer);
  }

  std::filesystem::path tempDirectory() override {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length < 1 || length > MAX_PATH) return {};
    return std::filesystem::path(std::wstring(buffer, length));
  }

  bool appendLine(const std::filesystem::path& file, std::string_view line) override {
    HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    WriteFile(handle, "\r\n", 2, &written, nullptr);
    CloseHandle(handle);
    return true;
  }

  LockAttempt lockDirectory(const std::filesystem::path& directory) override {
    const std::filesystem::path lockFile = directory / kLockFileName;
    HANDLE handle =
        CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      // Access denied is what a lock file waiting for its deletion answers.
      const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
      return {held ? LockStatus::HeldElsewhere : LockStatus::Failed, nullptr};
    }
    return {LockStatus::Acquired, std::make_unique<Win32DirectoryLock>(directory, handle)};
  }

  bool removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) override {
    if (!lock) return false;
    // An open lock file blocks the directory's removal, so the lock goes first.
    const std::filesystem::path directory = lock->directory();
    lock.reset();
    return removeTree(directory);
  }

  bool removeTree(const std::filesystem::path& path) override {
    const std::wstring target = withoutTrailingSeparators(path.native());
    if (target.empty()) return false;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return removeEntry(target, attributes);
  }

  bool isLink(const std::filesystem::path& path) override {
    const DWORD attributes = GetFileAttributesW(withoutTrailingSeparators(path.native()).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }

  bool openUrl(const std::string& url) override {
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }

  WindowHandle activeWindow() override { return reinterpret_cast<WindowHandle>(GetActiveWindow()); }

  bool postCloseCommand(WindowHandle window) override {
    return PostMessageA(reinterpret_cast<HWND>(window), WM_SYSCOMMAND, SC_CLOSE, 0) != 0;
  }
};

}  // namespace

Platform& nativePlatform() {
  static Win32Platform instance;
  return instance;
}

}  // namespace platform
