// The platform on Windows: exactly the Win32 calls the add-in is meant to make.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <time.h>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "addin/platform/AddinModuleWin32.h"
#include "addin/platform/Platform.h"
#include "addin/platform/PortableFileSystem.h"

namespace platform {
namespace {

constexpr DWORD kInitialPathLength = 260;
constexpr DWORD kLongestPathLength = 32768;

std::wstring widenAscii(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::error_code systemError(DWORD code) {
  return std::error_code(static_cast<int>(code), std::system_category());
}

std::error_code lastError() { return systemError(GetLastError()); }

bool isAbsence(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
         code == ERROR_INVALID_NAME || code == ERROR_BAD_NETPATH || code == ERROR_DIRECTORY;
}

std::error_code removeEntry(const std::wstring& path, DWORD attributes);

// Every entry of a directory but "." and "..", with its attributes; stops at the first error.
template <typename Visit>
std::error_code forEachEntry(const std::wstring& directory, Visit visit) {
  WIN32_FIND_DATAW data{};
  const std::wstring pattern = directory + L"\\*";
  HANDLE find =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return lastError();
  std::error_code error;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    visit(directory + L"\\" + name, data.dwFileAttributes);
  } while (FindNextFileW(find, &data));
  if (GetLastError() != ERROR_NO_MORE_FILES) error = lastError();
  FindClose(find);
  return error;
}

// The first error met, or none.
std::error_code removeContents(const std::wstring& directory) {
  std::error_code first;
  const std::error_code listing = forEachEntry(directory, [&](const std::wstring& path, DWORD a) {
    const std::error_code error = removeEntry(path, a);
    if (error && !first) first = error;
  });
  return first ? first : listing;
}

// Removes one entry; a reparse point (link, junction) goes itself and is never entered.
std::error_code removeEntry(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  std::error_code contents;
  if (directory && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    contents = removeContents(path);
  }
  const BOOL removed = directory ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
  if (removed) return {};
  const DWORD code = GetLastError();
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return {};
  return contents ? contents : systemError(code);
}

FileType typeOf(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FileType::Link;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileType::Directory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return FileType::Other;
  return FileType::Regular;
}

std::error_code walkInto(const std::wstring& directory, Depth depth,
                         std::vector<DirectoryEntry>& entries) {
  std::vector<std::wstring> subdirectories;
  const std::error_code error =
      forEachEntry(directory, [&](const std::wstring& path, DWORD attributes) {
        const FileType type = typeOf(attributes);
        entries.push_back(DirectoryEntry{std::filesystem::path(path), type});
        if (type == FileType::Directory) subdirectories.push_back(path);
      });
  if (error || depth == Depth::Children) return error;
  for (const std::wstring& subdirectory : subdirectories) {
    if (std::error_code inner = walkInto(subdirectory, depth, entries)) return inner;
  }
  return {};
}

// 100-nanosecond intervals from 1601 to 1970.
constexpr unsigned long long kUnixEpochInFileTime = 116444736000000000ull;

std::wstring withoutTrailingSeparators(std::wstring path) {
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') &&
         path[path.size() - 2] != L':') {
    path.pop_back();
  }
  return path;
}

std::error_code fullPathOf(const std::wstring& path, std::wstring& full) {
  std::wstring buffer(kInitialPathLength, L'\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return lastError();
    if (length < buffer.size()) {
      buffer.resize(length);
      full = std::move(buffer);
      return {};
    }
    buffer.resize(length);
  }
}

// The name the file system gives an open file, in DOS form without the "\\?\" prefix.
std::error_code finalPathOf(HANDLE handle, std::wstring& finalName) {
  std::wstring buffer(kInitialPathLength, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return lastError();
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(length);
  }
  const std::wstring unc = L"\\\\?\\UNC\\";
  const std::wstring local = L"\\\\?\\";
  if (buffer.compare(0, unc.size(), unc) == 0) {
    finalName = L"\\\\" + buffer.substr(unc.size());
  } else if (buffer.compare(0, local.size(), local) == 0) {
    finalName = buffer.substr(local.size());
  } else {
    finalName = std::move(buffer);
  }
  return {};
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

// The OS hands a timer procedure only the timer's id, so each thread timer's callback is
// found by id here.
using TimerCallback = std::shared_ptr<const std::function<void()>>;

std::mutex& timerMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<UINT_PTR, TimerCallback>& timerCallbacks() {
  static std::map<UINT_PTR, TimerCallback> callbacks;
  return callbacks;
}

void CALLBACK timerProcedure(HWND, UINT, UINT_PTR id, DWORD) {
  try {
    TimerCallback callback;
    {
      std::lock_guard<std::mutex> guard(timerMutex());
      const auto found = timerCallbacks().find(id);
      if (found == timerCallbacks().end()) return;  // killed after its WM_TIMER was queued
      callback = found->second;
    }
    // Outside the lock: the callback may kill its own timer or set new ones.
    (*callback)();
  } catch (...) {
    // Nothing may unwind into the OS's message dispatch.
  }
}

class Win32Platform : public Platform {
 public:
  ModuleFile addinModuleFile() override {
    HMODULE module = addinModuleHandle(ModuleReference::Borrow);
    if (module == nullptr) return {};
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

  std::filesystem::path fallbackTempDirectory() override {
    return portable::fallbackTempDirectory();
  }

  std::filesystem::path tempDirectory() override {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length < 1 || length > MAX_PATH) return {};
    return std::filesystem::path(std::wstring(buffer, length));
  }

  std::error_code appendLine(const std::filesystem::path& file, std::string_view line) override {
    HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return lastError();
    DWORD written = 0;
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    WriteFile(handle, "\r\n", 2, &written, nullptr);
    CloseHandle(handle);
    return {};
  }

  std::error_code status(const std::filesystem::path& path, Links links, FileType& type) override {
    const std::wstring target = withoutTrailingSeparators(path.native());
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data)) {
      const DWORD code = GetLastError();
      if (!isAbsence(code)) return systemError(code);
      type = FileType::NotFound;
      return {};
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && links == Links::Follow) {
      // What the link points at: opening follows it, and the handle tells the target's kind.
      HANDLE handle = CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (!isAbsence(code)) return systemError(code);
        type = FileType::NotFound;
        return {};
      }
      BY_HANDLE_FILE_INFORMATION info{};
      const BOOL known = GetFileInformationByHandle(handle, &info);
      const std::error_code error = known ? std::error_code() : lastError();
      CloseHandle(handle);
      if (error) return error;
      type = typeOf(info.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT));
      return {};
    }
    type = typeOf(data.dwFileAttributes);
    return {};
  }

  std::error_code weaklyCanonical(const std::filesystem::path& path,
                                  std::filesystem::path& resolved) override {
    std::wstring full;
    if (std::error_code error = fullPathOf(path.native(), full)) return error;
    std::filesystem::path prefix(withoutTrailingSeparators(full));
    std::filesystem::path rest;
    for (;;) {
      HANDLE handle = CreateFileW(prefix.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        std::wstring finalName;
        const std::error_code error = finalPathOf(handle, finalName);
        CloseHandle(handle);
        if (error) return error;
        std::filesystem::path found(finalName);
        if (!rest.empty()) found /= rest;  // an empty rest would add a separator
        resolved = found.lexically_normal();
        return {};
      }
      const DWORD code = GetLastError();
      if (!isAbsence(code)) return systemError(code);
      const std::filesystem::path parent = prefix.parent_path();
      if (!prefix.has_relative_path() || parent.empty() || parent == prefix) {
        resolved = std::filesystem::path(full).lexically_normal();  // nothing of it exists
        return {};
      }
      rest = rest.empty() ? prefix.filename() : prefix.filename() / rest;
      prefix = parent;
    }
  }

  std::error_code createDirectories(const std::filesystem::path& path) override {
    const std::wstring target = withoutTrailingSeparators(path.native());
    if (target.empty()) return systemError(ERROR_INVALID_NAME);
    if (CreateDirectoryW(target.c_str(), nullptr)) return {};
    DWORD code = GetLastError();
    if (code == ERROR_PATH_NOT_FOUND) {
      const std::filesystem::path parent = std::filesystem::path(target).parent_path();
      if (parent.empty() || parent == std::filesystem::path(target)) return systemError(code);
      if (std::error_code error = createDirectories(parent)) return error;
      if (CreateDirectoryW(target.c_str(), nullptr)) return {};
      code = GetLastError();
    }
    if (code == ERROR_ALREADY_EXISTS) {
      const DWORD attributes = GetFileAttributesW(target.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {};
      }
    }
    return systemError(code);
  }

  std::error_code createDirectory(const std::filesystem::path& path) override {
    const std::wstring target = withoutTrailingSeparators(path.native());
    return CreateDirectoryW(target.c_str(), nullptr) ? std::error_code() : lastError();
  }

  std::error_code copyFile(const std::filesystem::path& from,
                           const std::filesystem::path& to) override {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) ? std::error_code() : lastError();
  }

  std::error_code fileSize(const std::filesystem::path& path, Links links,
                           std::uintmax_t& size) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return lastError();
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      return std::make_error_code(std::errc::is_a_directory);
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      if (links == Links::DoNotFollow) return std::make_error_code(std::errc::not_supported);
      // The attributes describe the link; its target's size comes from a handle to it.
      HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      if (handle == INVALID_HANDLE_VALUE) return lastError();
      BY_HANDLE_FILE_INFORMATION info{};
      const BOOL known = GetFileInformationByHandle(handle, &info);
      const std::error_code error = known ? std::error_code() : lastError();
      CloseHandle(handle);
      if (error) return error;
      if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return std::make_error_code(std::errc::is_a_directory);
      }
      size = (static_cast<std::uintmax_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
      return {};
    }
    size = (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return {};
  }

  std::error_code lastWriteTime(const std::filesystem::path& path,
                                std::chrono::system_clock::time_point& when) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const std::wstring target = withoutTrailingSeparators(path.native());
    if (!GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data)) return lastError();
    const unsigned long long ticks =
        (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime;
    const auto sinceEpoch = std::chrono::duration<long long, std::ratio<1, 10000000>>(
        static_cast<long long>(ticks - kUnixEpochInFileTime));
    when = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
    return {};
  }

  std::error_code walk(const std::filesystem::path& root, Depth depth,
                       std::vector<DirectoryEntry>& entries) override {
    const std::wstring target = withoutTrailingSeparators(root.native());
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return lastError();
    if (typeOf(attributes) != FileType::Directory) {
      return std::make_error_code(std::errc::not_a_directory);
    }
    return walkInto(target, depth, entries);
  }

  std::error_code remove(const std::filesystem::path& path) override {
    const std::wstring target = withoutTrailingSeparators(path.native());
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD code = GetLastError();
      return isAbsence(code) ? std::error_code() : systemError(code);
    }
    const BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(target.c_str())
                                                                 : DeleteFileW(target.c_str());
    return removed ? std::error_code() : lastError();
  }

  std::error_code readFile(const std::filesystem::path& path, std::string& content) override {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return lastError();
    std::string read;
    char buffer[16384];
    std::error_code error;
    for (;;) {
      DWORD count = 0;
      if (!ReadFile(handle, buffer, sizeof(buffer), &count, nullptr)) {
        error = lastError();
        break;
      }
      if (count == 0) break;
      read.append(buffer, count);
    }
    CloseHandle(handle);
    if (error) return error;
    content = std::move(read);
    return {};
  }

  LockAttempt lockDirectory(const std::filesystem::path& directory) override {
    const std::filesystem::path lockFile = directory / kLockFileName;
    HANDLE handle =
        CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      // Only an open lock file refuses sharing. Access denied (a lock file that cannot be
      // written, or one a releasing holder is deleting) proves no holder.
      if (error == ERROR_SHARING_VIOLATION) return {LockStatus::HeldElsewhere, nullptr, {}};
      return {LockStatus::Failed, nullptr, systemError(error)};
    }
    return {LockStatus::Acquired, std::make_unique<Win32DirectoryLock>(directory, handle), {}};
  }

  std::error_code removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) override {
    if (!lock) return std::make_error_code(std::errc::invalid_argument);
    // Everything but the lock file goes while the lock is held, so nobody can take the
    // directory meanwhile; releasing deletes the lock file, and the empty directory follows.
    const std::filesystem::path directory = lock->directory();
    const std::wstring target = withoutTrailingSeparators(directory.native());
    const std::wstring lockFile = target + L"\\" + widenAscii(kLockFileName);
    std::error_code first;
    const std::error_code listing = forEachEntry(target, [&](const std::wstring& path, DWORD a) {
      if (CompareStringOrdinal(path.c_str(), -1, lockFile.c_str(), -1, TRUE) == CSTR_EQUAL) return;
      const std::error_code error = removeEntry(path, a);
      if (error && !first) first = error;
    });
    lock.reset();
    const std::error_code rest = removeTree(directory);
    if (!rest) return {};
    return first ? first : listing ? listing : rest;
  }

  std::error_code removeTree(const std::filesystem::path& path) override {
    const std::wstring target = withoutTrailingSeparators(path.native());
    if (target.empty()) return std::make_error_code(std::errc::invalid_argument);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD code = GetLastError();
      return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? std::error_code()
                                                                          : systemError(code);
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

  WorkerThread startWorker(std::function<void()> task) override {
    return startNativeWorker(std::move(task));
  }

  void startDetachedWorker(std::function<void()> task) override {
    startNativeWorker(std::move(task)).detach();
  }

  TimerId setThreadTimer(unsigned milliseconds, std::function<void()> callback) override {
    if (!callback) return kNoTimer;
    auto shared = std::make_shared<const std::function<void()>>(std::move(callback));
    // Nothing is delivered before this thread's loop turns, so registering after is in time.
    const UINT_PTR id = SetTimer(nullptr, 0, milliseconds, &timerProcedure);
    if (id == 0) return kNoTimer;
    try {
      std::lock_guard<std::mutex> guard(timerMutex());
      // A thread that ended without killing its timers leaves their ids behind for reuse.
      timerCallbacks()[id] = std::move(shared);
    } catch (...) {
      KillTimer(nullptr, id);
      throw;
    }
    return id;
  }

  bool killThreadTimer(TimerId timer) override {
    if (timer == kNoTimer || !KillTimer(nullptr, timer)) return false;
    TimerCallback released;
    {
      std::lock_guard<std::mutex> guard(timerMutex());
      const auto found = timerCallbacks().find(timer);
      if (found != timerCallbacks().end()) {
        released = std::move(found->second);
        timerCallbacks().erase(found);
      }
    }
    // Released outside the lock: what the callback owns may kill timers as it goes.
    released.reset();
    return true;
  }

  void pumpMessages() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // Taken from the queue here, it would never reach the loop that has to end.
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  void debugOutput(std::string_view text) override {
    OutputDebugStringA(std::string(text).c_str());
  }

  void sleepFor(std::chrono::milliseconds duration) override {
    Sleep(static_cast<DWORD>(duration.count() < 0 ? 0 : duration.count()));
  }

  std::time_t now() override { return std::time(nullptr); }

  // The C runtime's secure conversions.
  std::tm localTime(std::time_t when) override {
    std::tm out{};
    if (localtime_s(&out, &when) != 0) return std::tm{};
    return out;
  }

  std::tm utcTime(std::time_t when) override {
    std::tm out{};
    if (gmtime_s(&out, &when) != 0) return std::tm{};
    return out;
  }
};

}  // namespace

Platform& nativePlatform() {
  static Win32Platform instance;
  return instance;
}

}  // namespace platform
