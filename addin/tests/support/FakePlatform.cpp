// The test platform: portable file handling, in-process locks, injected failures.
#include "addin/tests/support/FakePlatform.h"

#include <fstream>
#include <set>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

std::mutex& lockRegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::set<fs::path>& lockRegistry() {
  static std::set<fs::path> held;
  return held;
}

fs::path registryKey(const fs::path& directory) {
  std::error_code error;
  fs::path absolute = fs::absolute(directory, error);
  if (error) absolute = directory;
  absolute = absolute.lexically_normal();
  if (!absolute.has_filename()) absolute = absolute.parent_path();
  return absolute;
}

class FakeDirectoryLock : public DirectoryLock {
 public:
  explicit FakeDirectoryLock(fs::path directory) : directory_(std::move(directory)) {}
  ~FakeDirectoryLock() override {
    std::error_code error;
    fs::remove(directory_ / kLockFileName, error);
    FakePlatform::releaseElsewhere(directory_);
  }
  const fs::path& directory() const override { return directory_; }

 private:
  fs::path directory_;
};

bool removePortably(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  if (status.type() == fs::file_type::not_found) return true;
  if (error) return false;
  if (fs::is_directory(status)) {
    std::vector<fs::path> children;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
      children.push_back(it->path());
    }
    for (const fs::path& child : children) removePortably(child);
  }
  if (!fs::is_symlink(status)) {
    // A read-only entry cannot be removed on Windows until it is writable again.
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
  }
  fs::remove(path, error);
  return !error;
}

}  // namespace

void FakePlatform::setAddinModuleFile(ModuleFile file) {
  std::lock_guard<std::mutex> guard(mutex_);
  moduleFile_ = std::move(file);
}

void FakePlatform::setAddinModulePath(const fs::path& path) {
  setAddinModuleFile(ModuleFile{true, path});
}

void FakePlatform::setEnvironment(const std::string& name, const fs::path& value) {
  std::lock_guard<std::mutex> guard(mutex_);
  environment_[name] = value;
}

void FakePlatform::setTempDirectory(const fs::path& path) {
  std::lock_guard<std::mutex> guard(mutex_);
  tempDirectory_ = path;
}

void FakePlatform::setActiveWindow(WindowHandle window) {
  std::lock_guard<std::mutex> guard(mutex_);
  activeWindow_ = window;
}

std::vector<std::string> FakePlatform::openedUrls() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return openedUrls_;
}

std::vector<WindowHandle> FakePlatform::closedWindows() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return closedWindows_;
}

void FakePlatform::fail(Call call, int successesFirst) {
  std::lock_guard<std::mutex> guard(mutex_);
  failures_[call] = successesFirst;
}

void FakePlatform::heal(Call call) {
  std::lock_guard<std::mutex> guard(mutex_);
  failures_.erase(call);
}

void FakePlatform::holdElsewhere(const fs::path& directory) {
  std::lock_guard<std::mutex> guard(lockRegistryMutex());
  lockRegistry().insert(registryKey(directory));
}

void FakePlatform::releaseElsewhere(const fs::path& directory) {
  std::lock_guard<std::mutex> guard(lockRegistryMutex());
  lockRegistry().erase(registryKey(directory));
}

std::vector<FakePlatform::Record> FakePlatform::records() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return records_;
}

size_t FakePlatform::callCount(Call call) const {
  std::lock_guard<std::mutex> guard(mutex_);
  size_t count = 0;
  for (const Record& record : records_) {
    if (record.call == call) ++count;
  }
  return count;
}

bool FakePlatform::enter(Call call, const fs::path& path, std::string_view text) {
  std::lock_guard<std::mutex> guard(mutex_);
  records_.push_back(Record{call, path, std::string(text)});
  auto failure = failures_.find(call);
  if (failure == failures_.end()) return false;
  if (failure->second > 0) {
    --failure->second;
    return false;
  }
  return true;
}

ModuleFile FakePlatform::addinModuleFile() {
  if (enter(Call::AddinModuleFile, {})) return {};
  std::lock_guard<std::mutex> guard(mutex_);
  return moduleFile_;
}

fs::path FakePlatform::environmentPath(const std::string& name) {
  if (enter(Call::EnvironmentPath, fs::path(name))) return {};
  std::lock_guard<std::mutex> guard(mutex_);
  auto found = environment_.find(name);
  return found == environment_.end() ? fs::path() : found->second;
}

fs::path FakePlatform::tempDirectory() {
  if (enter(Call::TempDirectory, {})) return {};
  std::lock_guard<std::mutex> guard(mutex_);
  return tempDirectory_;
}

bool FakePlatform::appendLine(const fs::path& file, std::string_view line) {
  if (enter(Call::AppendLine, file, line)) return false;
  std::ofstream out(file, std::ios::binary | std::ios::app);
  if (!out.is_open()) return false;
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
  out.write("\r\n", 2);
  return true;
}

LockAttempt FakePlatform::lockDirectory(const fs::path& directory) {
  if (enter(Call::LockDirectory, directory)) return {};
  std::error_code error;
  if (!fs::is_directory(directory, error)) return {};
  std::lock_guard<std::mutex> guard(lockRegistryMutex());
  if (!lockRegistry().insert(registryKey(directory)).second) {
    return {LockStatus::HeldElsewhere, nullptr};
  }
  std::ofstream lockFile(directory / kLockFileName, std::ios::binary | std::ios::app);
  if (!lockFile.is_open()) {
    lockRegistry().erase(registryKey(directory));
    return {};
  }
  return {LockStatus::Acquired, std::make_unique<FakeDirectoryLock>(directory)};
}

bool FakePlatform::removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) {
  if (!lock) return false;
  const fs::path directory = lock->directory();
  if (enter(Call::RemoveLockedDirectory, directory)) return false;
  removePortably(directory);
  lock.reset();
  std::error_code error;
  return !fs::exists(fs::symlink_status(directory, error));
}

bool FakePlatform::removeTree(const fs::path& path) {
  if (enter(Call::RemoveTree, path)) return false;
  return removePortably(path);
}

bool FakePlatform::isLink(const fs::path& path) {
  if (enter(Call::IsLink, path)) return false;
  std::error_code error;
  return fs::is_symlink(fs::symlink_status(path, error));
}

bool FakePlatform::openUrl(const std::string& url) {
  if (enter(Call::OpenUrl, {}, url)) return false;
  std::lock_guard<std::mutex> guard(mutex_);
  openedUrls_.push_back(url);
  return true;
}

WindowHandle FakePlatform::activeWindow() {
  if (enter(Call::ActiveWindow, {})) return kNoWindow;
  std::lock_guard<std::mutex> guard(mutex_);
  return activeWindow_;
}

bool FakePlatform::postCloseCommand(WindowHandle window) {
  if (enter(Call::PostCloseCommand, {}, std::to_string(window))) return false;
  if (window == kNoWindow) return false;
  std::lock_guard<std::mutex> guard(mutex_);
  closedWindows_.push_back(window);
  return true;
}

}  // namespace platform
