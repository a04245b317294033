// The platform on Linux and other POSIX systems: dladdr, getenv, open/write and flock.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "addin/platform/Platform.h"
#include "sim/desktop/Desktop.h"

extern char** environ;

namespace platform {
namespace {

// An object inside the add-in, whose address names the add-in's module.
const char moduleAnchor = 0;

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

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool removeEntryAt(int parentFd, const char* name);

bool removeDirectoryContents(int directoryFd) {
  DIR* directory = ::fdopendir(directoryFd);
  if (directory == nullptr) {
    ::close(directoryFd);
    return false;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  bool allRemoved = true;
  for (const std::string& name : names) {
    if (!removeEntryAt(::dirfd(directory), name.c_str())) allRemoved = false;
  }
  ::closedir(directory);
  return allRemoved;
}

// Removes one entry of an open directory; links are unlinked, never entered.
bool removeEntryAt(int parentFd, const char* name) {
  struct stat info {};
  if (::fstatat(parentFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (S_ISDIR(info.st_mode)) {
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) removeDirectoryContents(fd);
    return ::unlinkat(parentFd, name, AT_REMOVEDIR) == 0 || errno == ENOENT;
  }
  return ::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT;
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
    Dl_info info{};
    if (::dladdr(&moduleAnchor, &info) == 0) return {};
    ModuleFile result;
    result.found = true;
    if (info.dli_fname == nullptr || info.dli_fname[0] == '\0') return result;
    std::filesystem::path name(info.dli_fname);
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

  std::filesystem::path tempDirectory() override {
    const char* value = std::getenv("TMPDIR");
    std::string directory = value != nullptr && value[0] != '\0' ? value : "/tmp";
    if (directory.back() != '/') directory.push_back('/');
    return std::filesystem::path(directory);
  }

  bool appendLine(const std::filesystem::path& file, std::string_view line) override {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    writeAll(fd, line.data(), line.size());
    writeAll(fd, "\r\n", 2);
    ::close(fd);
    return true;
  }

  LockAttempt lockDirectory(const std::filesystem::path& directory) override {
    const std::filesystem::path lockFile = directory / kLockFileName;
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      return {error == EWOULDBLOCK ? LockStatus::HeldElsewhere : LockStatus::Failed, nullptr};
    }
    // The file may have been removed between open and flock by whoever held it then.
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) != 0 || ::lstat(lockFile.c_str(), &named) != 0 ||
        !sameFile(held, named)) {
      ::close(fd);
      return {LockStatus::HeldElsewhere, nullptr};
    }
    return {LockStatus::Acquired, std::make_unique<PosixDirectoryLock>(directory, fd)};
  }

  bool removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) override {
    if (!lock) return false;
    // Removing while still holding the lock: nobody can take it before the tree is gone.
    const std::filesystem::path directory = lock->directory();
    removeTree(directory);
    lock.reset();
    return !exists(directory);
  }

  bool removeTree(const std::filesystem::path& path) override {
    std::filesystem::path target = path.lexically_normal();
    if (!target.has_filename()) target = target.parent_path();
    if (!target.has_filename()) return false;
    std::filesystem::path parent = target.parent_path();
    if (parent.empty()) parent = ".";
    const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) return errno == ENOENT || errno == ENOTDIR;
    const bool removed = removeEntryAt(parentFd, target.filename().c_str());
    ::close(parentFd);
    return removed;
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
    return reinterpret_cast<WindowHandle>(desktop::activeWindow());
  }

  bool postCloseCommand(WindowHandle window) override {
    return desktop::postMessage(reinterpret_cast<desktop::Window>(window), desktop::kWmSysCommand,
                                desktop::kScClose, 0);
  }
};

}  // namespace

Platform& nativePlatform() {
  static PosixPlatform instance;
  return instance;
}

}  // namespace platform
