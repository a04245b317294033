// The platform on Linux and other POSIX systems: getenv, open/write, flock and
// stat, with std::filesystem where it does the same job.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "addin/platform/AddinModulePosix.h"
#include "addin/platform/DesktopWindows.h"
#include "addin/platform/Platform.h"
#include "addin/platform/PortableFileSystem.h"

extern char** environ;

namespace platform {
namespace {

void writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

std::error_code lastError() { return std::error_code(errno, std::generic_category()); }

// Windows' USER_TIMER_MINIMUM.
constexpr unsigned kShortestTimer = 10;

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::error_code removeEntryAt(int parentFd, const char* name);

// The first error met, or none.
std::error_code removeDirectoryContents(int directoryFd) {
  DIR* directory = ::fdopendir(directoryFd);
  if (directory == nullptr) {
    const std::error_code error = lastError();
    ::close(directoryFd);
    return error;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  std::error_code first;
  for (const std::string& name : names) {
    const std::error_code error = removeEntryAt(::dirfd(directory), name.c_str());
    if (error && !first) first = error;
  }
  ::closedir(directory);
  return first;
}

// Removes one entry of an open directory; links are unlinked, never entered.
std::error_code removeEntryAt(int parentFd, const char* name) {
  struct stat info {};
  if (::fstatat(parentFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? std::error_code() : lastError();
  }
  std::error_code contents;
  if (S_ISDIR(info.st_mode)) {
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    contents = fd >= 0 ? removeDirectoryContents(fd) : lastError();
  }
  if (::unlinkat(parentFd, name, S_ISDIR(info.st_mode) ? AT_REMOVEDIR : 0) == 0 ||
      errno == ENOENT) {
    return {};
  }
  return contents ? contents : lastError();
}

class PosixDirectoryLock : public DirectoryLock {
 public:
  PosixDirectoryLock(std::filesystem::path directory, int fd)
      : directory_(std::move(directory)), fd_(fd) {}
  ~PosixDirectoryLock() override {
    // Only our own lock file goes: one that replaced it after a removal is someone else's.
    const std::filesystem::path lockFile = directory_ / kLockFileName;
    struct stat held {};
    struct stat named {};
    if (::fstat(fd_, &held) == 0 && ::lstat(lockFile.c_str(), &named) == 0 &&
        sameFile(held, named)) {
      ::unlink(lockFile.c_str());
    }
    ::close(fd_);
  }
  const std::filesystem::path& directory() const override { return directory_; }

 private:
  std::filesystem::path directory_;
  int fd_;
};

class PosixPlatform : public Platform {
 public:
  ModuleFile addinModuleFile() override {
    const std::optional<std::string> fileName = addinModuleFileName();
    if (!fileName) return {};
    ModuleFile result;
    result.found = true;
    if (fileName->empty()) return result;
    std::filesystem::path name(*fileName);
    if (name.is_relative()) {
      std::error_code error;
      std::filesystem::path absolute = std::filesystem::absolute(name, error);
      if (!error) name = absolute;
    }
    result.path = name;
    return result;
  }

  std::filesystem::path environmentPath(const std::string& name) override {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return {};
    return std::filesystem::path(value);
  }

  std::filesystem::path fallbackTempDirectory() override {
    return portable::fallbackTempDirectory();
  }

  std::filesystem::path tempDirectory() override {
    const char* value = std::getenv("TMPDIR");
    std::string directory = value != nullptr && value[0] != '\0' ? value : "/tmp";
    if (directory.back() != '/') directory.push_back('/');
    return std::filesystem::path(directory);
  }

  std::error_code appendLine(const std::filesystem::path& file, std::string_view line) override {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return lastError();
    // One write: half the system calls, and a concurrent writer cannot split the line end off.
    std::string whole;
    whole.reserve(line.size() + 2);
    whole.append(line).append("\r\n");
    writeAll(fd, whole.data(), whole.size());
    ::close(fd);
    return {};
  }

  std::error_code status(const std::filesystem::path& path, Links links, FileType& type) override {
    struct stat info {};
    const int result =
        links == Links::Follow ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    if (result != 0) {
      if (errno != ENOENT && errno != ENOTDIR) return lastError();
      type = FileType::NotFound;
      return {};
    }
    if (S_ISREG(info.st_mode)) {
      type = FileType::Regular;
    } else if (S_ISDIR(info.st_mode)) {
      type = FileType::Directory;
    } else if (S_ISLNK(info.st_mode)) {
      type = FileType::Link;
    } else {
      type = FileType::Other;
    }
    return {};
  }

  std::error_code weaklyCanonical(const std::filesystem::path& path,
                                  std::filesystem::path& resolved) override {
    std::error_code error;
    std::filesystem::path found = std::filesystem::weakly_canonical(path, error);
    if (error) return error;
    resolved = std::move(found);
    return {};
  }

  std::error_code createDirectories(const std::filesystem::path& path) override {
    // The log asks before every line; a directory that is there costs one stat.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return {};
    return portable::createDirectories(path);
  }

  std::error_code createDirectory(const std::filesystem::path& path) override {
    return ::mkdir(path.c_str(), 0777) == 0 ? std::error_code() : lastError();
  }

  std::error_code copyFile(const std::filesystem::path& from,
                           const std::filesystem::path& to) override {
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    return error;
  }

  std::error_code fileSize(const std::filesystem::path& path, Links links,
                           std::uintmax_t& size) override {
    struct stat info {};
    const int failed =
        links == Links::Follow ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    if (failed != 0) return lastError();
    if (S_ISDIR(info.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    if (!S_ISREG(info.st_mode)) return std::make_error_code(std::errc::not_supported);
    size = static_cast<std::uintmax_t>(info.st_size);
    return {};
  }

  std::error_code lastWriteTime(const std::filesystem::path& path,
                                std::chrono::system_clock::time_point& when) override {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return lastError();
    when = std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec) +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(
               std::chrono::nanoseconds(info.st_mtim.tv_nsec));
    return {};
  }

  std::error_code walk(const std::filesystem::path& root, Depth depth,
                       std::vector<DirectoryEntry>& entries) override {
    return portable::walk(root, depth, entries);
  }

  std::error_code remove(const std::filesystem::path& path) override {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT ? std::error_code() : lastError();
    const int result = S_ISDIR(info.st_mode) ? ::rmdir(path.c_str()) : ::unlink(path.c_str());
    return result == 0 || errno == ENOENT ? std::error_code() : lastError();
  }

  std::error_code readFile(const std::filesystem::path& path, std::string& content) override {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return lastError();
    std::string read;
    char buffer[16384];
    for (;;) {
      const ssize_t count = ::read(fd, buffer, sizeof(buffer));
      if (count < 0) {
        if (errno == EINTR) continue;
        const std::error_code error = lastError();
        ::close(fd);
        return error;
      }
      if (count == 0) break;
      read.append(buffer, static_cast<size_t>(count));
    }
    ::close(fd);
    content = std::move(read);
    return {};
  }

  LockAttempt lockDirectory(const std::filesystem::path& directory) override {
    const std::filesystem::path lockFile = directory / kLockFileName;
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return {LockStatus::Failed, nullptr, lastError()};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const std::error_code error = lastError();
      ::close(fd);
      if (error == std::errc::operation_would_block)
        return {LockStatus::HeldElsewhere, nullptr, {}};
      return {LockStatus::Failed, nullptr, error};
    }
    // The file may have been removed between open and flock by whoever held it then.
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) != 0 || ::lstat(lockFile.c_str(), &named) != 0 ||
        !sameFile(held, named)) {
      ::close(fd);
      return {LockStatus::HeldElsewhere, nullptr, {}};
    }
    return {LockStatus::Acquired, std::make_unique<PosixDirectoryLock>(directory, fd), {}};
  }

  std::error_code removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) override {
    if (!lock) return std::make_error_code(std::errc::invalid_argument);
    // Removing while still holding the lock: nobody can take it before the tree is gone.
    const std::filesystem::path directory = lock->directory();
    const std::error_code error = removeTree(directory);
    lock.reset();
    if (!exists(directory)) return {};
    return error ? error : std::make_error_code(std::errc::directory_not_empty);
  }

  std::error_code removeTree(const std::filesystem::path& path) override {
    std::filesystem::path target = path.lexically_normal();
    if (!target.has_filename()) target = target.parent_path();
    if (!target.has_filename()) return std::make_error_code(std::errc::invalid_argument);
    std::filesystem::path parent = target.parent_path();
    if (parent.empty()) parent = ".";
    const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) return errno == ENOENT || errno == ENOTDIR ? std::error_code() : lastError();
    const std::error_code error = removeEntryAt(parentFd, target.filename().c_str());
    ::close(parentFd);
    return error;
  }

  bool isLink(const std::filesystem::path& path) override {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  }

 private:
  static bool exists(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
  }

  bool openUrl(const std::string& url) override {
    const char* browser = std::getenv("BROWSER");
    std::string program = browser != nullptr && *browser != '\0' ? browser : "xdg-open";
    std::vector<char*> argv = {program.data(), const_cast<char*>(url.c_str()), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      return false;
    }
    // The browser runs on its own; reap it from a detached waiter so it leaves no zombie.
    std::thread([child] {
      int status = 0;
      while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
    return true;
  }

  WindowHandle activeWindow() override {
    DesktopWindows* desktop = registeredDesktopWindows();
    return desktop != nullptr ? desktop->activeWindow() : kNoWindow;
  }

  bool postCloseCommand(WindowHandle window) override {
    DesktopWindows* desktop = registeredDesktopWindows();
    return desktop != nullptr && desktop->postMessage(window, kWmSysCommand, kScClose, 0);
  }

  WorkerThread startWorker(std::function<void()> task) override {
    return startNativeWorker(std::move(task));
  }

  void startDetachedWorker(std::function<void()> task) override {
    startNativeWorker(std::move(task)).detach();
  }

  TimerId setThreadTimer(unsigned milliseconds, std::function<void()> callback) override {
    DesktopWindows* desktop = registeredDesktopWindows();
    if (desktop == nullptr || !callback) return kNoTimer;
    // The desktop is another module's code and must not see an exception.
    return desktop->setTimer(std::max(milliseconds, kShortestTimer),
                             [callback = std::move(callback)] {
                               try {
                                 callback();
                               } catch (...) {
                               }
                             });
  }

  bool killThreadTimer(TimerId timer) override {
    DesktopWindows* desktop = registeredDesktopWindows();
    return desktop != nullptr && timer != kNoTimer && desktop->killTimer(timer);
  }

  void pumpMessages() override {
    DesktopWindows* desktop = registeredDesktopWindows();
    if (desktop != nullptr) desktop->pumpMessages();
  }

  void debugOutput(std::string_view text) override {
    writeAll(STDERR_FILENO, text.data(), text.size());
  }

  void sleepFor(std::chrono::milliseconds duration) override {
    std::this_thread::sleep_for(duration);
  }

  std::time_t now() override { return std::time(nullptr); }

  std::tm localTime(std::time_t when) override {
    std::tm out{};
    if (localtime_r(&when, &out) == nullptr) return std::tm{};
    return out;
  }

  std::tm utcTime(std::time_t when) override {
    std::tm out{};
    if (gmtime_r(&when, &out) == nullptr) return std::tm{};
    return out;
  }
};

}  // namespace

Platform& nativePlatform() {
  static PosixPlatform instance;
  return instance;
}

}  // namespace platform
