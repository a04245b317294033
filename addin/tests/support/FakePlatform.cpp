// The test platform: the native platform's handling of links (walk, status, removal), portable
// handling of the rest, in-process locks, injected failures.
#include "addin/tests/support/FakePlatform.h"

#include <fstream>
#include <set>
#include <system_error>

#include "addin/platform/PortableFileSystem.h"
#include "addin/platform/TextEncoding.h"

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

fs::path FakePlatform::fallbackTempDirectory() { return portable::fallbackTempDirectory(); }

fs::path FakePlatform::tempDirectory() {
  if (enter(Call::TempDirectory, {})) return {};
  std::lock_guard<std::mutex> guard(mutex_);
  return tempDirectory_;
}

std::error_code FakePlatform::appendLine(const fs::path& file, std::string_view line) {
  if (enter(Call::AppendLine, file, line)) return kInjectedError;
  std::ofstream out(file, std::ios::binary | std::ios::app);
  if (!out.is_open()) return std::make_error_code(std::errc::no_such_file_or_directory);
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
  out.write("\r\n", 2);
  return {};
}

std::error_code FakePlatform::status(const fs::path& path, Links links, FileType& type) {
  if (enter(Call::Status, path)) return kInjectedError;
  return nativePlatform().status(path, links, type);
}

std::error_code FakePlatform::weaklyCanonical(const fs::path& path, fs::path& resolved) {
  if (enter(Call::WeaklyCanonical, path)) return kInjectedError;
  return nativePlatform().weaklyCanonical(path, resolved);
}

std::error_code FakePlatform::createDirectories(const fs::path& path) {
  if (enter(Call::CreateDirectories, path)) return kInjectedError;
  return portable::createDirectories(path);
}

std::error_code FakePlatform::createDirectory(const fs::path& path) {
  if (enter(Call::CreateDirectory, path)) return kInjectedError;
  return portable::createDirectory(path);
}

std::error_code FakePlatform::copyFile(const fs::path& from, const fs::path& to) {
  if (enter(Call::CopyFile, from, platform::toUtf8(to))) return kInjectedError;
  return portable::copyFile(from, to);
}

std::error_code FakePlatform::fileSize(const fs::path& path, Links links, std::uintmax_t& size) {
  if (enter(Call::FileSize, path)) return kInjectedError;
  return nativePlatform().fileSize(path, links, size);
}

std::error_code FakePlatform::lastWriteTime(const fs::path& path,
                                            std::chrono::system_clock::time_point& when) {
  if (enter(Call::LastWriteTime, path)) return kInjectedError;
  return portable::lastWriteTime(path, when);
}

std::error_code FakePlatform::walk(const fs::path& root, Depth depth,
                                   std::vector<DirectoryEntry>& entries) {
  if (enter(Call::Walk, root)) return kInjectedError;
  return nativePlatform().walk(root, depth, entries);
}

std::error_code FakePlatform::remove(const fs::path& path) {
  if (enter(Call::Remove, path)) return kInjectedError;
  return nativePlatform().remove(path);
}

std::error_code FakePlatform::readFile(const fs::path& path, std::string& content) {
  if (enter(Call::ReadFile, path)) return kInjectedError;
  return portable::readFile(path, content);
}

LockAttempt FakePlatform::lockDirectory(const fs::path& directory) {
  if (enter(Call::LockDirectory, directory)) return {LockStatus::Failed, nullptr, kInjectedError};
  std::error_code error;
  if (!fs::is_directory(directory, error)) {
    return {LockStatus::Failed, nullptr,
            std::make_error_code(std::errc::no_such_file_or_directory)};
  }
  std::lock_guard<std::mutex> guard(lockRegistryMutex());
  if (!lockRegistry().insert(registryKey(directory)).second) {
    return {LockStatus::HeldElsewhere, nullptr, {}};
  }
  std::ofstream lockFile(directory / kLockFileName, std::ios::binary | std::ios::app);
  if (!lockFile.is_open()) {
    lockRegistry().erase(registryKey(directory));
    return {LockStatus::Failed, nullptr, std::make_error_code(std::errc::permission_denied)};
  }
  return {LockStatus::Acquired, std::make_unique<FakeDirectoryLock>(directory), {}};
}

std::error_code FakePlatform::removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) {
  if (!lock) return std::make_error_code(std::errc::invalid_argument);
  const fs::path directory = lock->directory();
  if (enter(Call::RemoveLockedDirectory, directory)) return kInjectedError;
  const std::error_code error = nativePlatform().removeTree(directory);
  lock.reset();
  std::error_code ignored;
  if (!fs::exists(fs::symlink_status(directory, ignored))) return {};
  return error ? error : std::make_error_code(std::errc::directory_not_empty);
}

std::error_code FakePlatform::removeTree(const fs::path& path) {
  if (enter(Call::RemoveTree, path)) return kInjectedError;
  return nativePlatform().removeTree(path);
}

bool FakePlatform::isLink(const fs::path& path) {
  if (enter(Call::IsLink, path)) return false;
  return nativePlatform().isLink(path);
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

WorkerThread FakePlatform::startWorker(std::function<void()> task) {
  return nativePlatform().startWorker(std::move(task));
}

void FakePlatform::startDetachedWorker(std::function<void()> task) {
  if (enter(Call::StartDetachedWorker, {})) {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                            "startDetachedWorker");
  }
  nativePlatform().startDetachedWorker(std::move(task));
}

TimerId FakePlatform::setThreadTimer(unsigned milliseconds, std::function<void()> callback) {
  if (enter(Call::SetThreadTimer, {}, std::to_string(milliseconds)) || !callback) {
    return kNoTimer;
  }
  std::lock_guard<std::mutex> guard(mutex_);
  const TimerId id = nextTimer_++;
  timers_[id] = Timer{milliseconds, std::this_thread::get_id(),
                      std::make_shared<const std::function<void()>>(std::move(callback))};
  return id;
}

bool FakePlatform::killThreadTimer(TimerId timer) {
  if (enter(Call::KillThreadTimer, {}, std::to_string(timer))) return false;
  std::shared_ptr<const std::function<void()>> released;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    const auto found = timers_.find(timer);
    if (found == timers_.end() || found->second.thread != std::this_thread::get_id()) {
      return false;
    }
    released = std::move(found->second.callback);
    timers_.erase(found);
  }
  return true;  // the callback goes here, outside the lock, as it may kill timers too
}

void FakePlatform::pumpMessages() {
  if (enter(Call::PumpMessages, {})) return;
  fireTimers();
}

void FakePlatform::debugOutput(std::string_view text) { enter(Call::DebugOutput, {}, text); }

void FakePlatform::sleepFor(std::chrono::milliseconds duration) {
  enter(Call::SleepFor, {}, std::to_string(duration.count()));
}

int FakePlatform::fireTimers() {
  std::vector<TimerId> due;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    for (const auto& [id, timer] : timers_) {
      if (timer.thread == std::this_thread::get_id()) due.push_back(id);
    }
  }
  int ran = 0;
  for (TimerId id : due) {
    std::shared_ptr<const std::function<void()>> callback;
    {
      std::lock_guard<std::mutex> guard(mutex_);
      const auto found = timers_.find(id);
      if (found == timers_.end()) continue;  // killed by an earlier callback
      callback = found->second.callback;
    }
    ++ran;
    try {
      (*callback)();
    } catch (...) {
      // Swallowed, as the native platforms do.
    }
  }
  return ran;
}

std::map<TimerId, unsigned> FakePlatform::threadTimers() const {
  std::lock_guard<std::mutex> guard(mutex_);
  std::map<TimerId, unsigned> live;
  for (const auto& [id, timer] : timers_) live[id] = timer.milliseconds;
  return live;
}

std::string FakePlatform::debugText() const {
  std::lock_guard<std::mutex> guard(mutex_);
  std::string text;
  for (const Record& record : records_) {
    if (record.call == Call::DebugOutput) text += record.text;
  }
  return text;
}

std::time_t FakePlatform::now() { return nativePlatform().now(); }

std::tm FakePlatform::localTime(std::time_t when) { return nativePlatform().localTime(when); }

std::tm FakePlatform::utcTime(std::time_t when) { return nativePlatform().utcTime(when); }

}  // namespace platform
