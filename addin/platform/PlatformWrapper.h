// A platform that forwards every call to another one, so a test overrides only the call it
// wants to change.
#pragma once

#include <utility>

#include "addin/platform/Platform.h"

namespace platform {

class PlatformWrapper : public Platform {
 public:
  // The target must outlive the wrapper.
  explicit PlatformWrapper(Platform& target) : target_(target) {}

  Platform& target() { return target_; }

  ModuleFile addinModuleFile() override { return target_.addinModuleFile(); }
  std::filesystem::path environmentPath(const std::string& name) override {
    return target_.environmentPath(name);
  }
  std::filesystem::path tempDirectory() override { return target_.tempDirectory(); }
  std::filesystem::path fallbackTempDirectory() override { return target_.fallbackTempDirectory(); }
  std::error_code appendLine(const std::filesystem::path& file, std::string_view line) override {
    return target_.appendLine(file, line);
  }
  std::error_code status(const std::filesystem::path& path, Links links, FileType& type) override {
    return target_.status(path, links, type);
  }
  std::error_code weaklyCanonical(const std::filesystem::path& path,
                                  std::filesystem::path& resolved) override {
    return target_.weaklyCanonical(path, resolved);
  }
  std::error_code createDirectories(const std::filesystem::path& path) override {
    return target_.createDirectories(path);
  }
  std::error_code createDirectory(const std::filesystem::path& path) override {
    return target_.createDirectory(path);
  }
  std::error_code copyFile(const std::filesystem::path& from,
                           const std::filesystem::path& to) override {
    return target_.copyFile(from, to);
  }
  std::error_code fileSize(const std::filesystem::path& path, Links links,
                           std::uintmax_t& size) override {
    return target_.fileSize(path, links, size);
  }
  std::error_code lastWriteTime(const std::filesystem::path& path,
                                std::chrono::system_clock::time_point& when) override {
    return target_.lastWriteTime(path, when);
  }
  std::error_code walk(const std::filesystem::path& root, Depth depth,
                       std::vector<DirectoryEntry>& entries) override {
    return target_.walk(root, depth, entries);
  }
  std::error_code remove(const std::filesystem::path& path) override {
    return target_.remove(path);
  }
  std::error_code readFile(const std::filesystem::path& path, std::string& content) override {
    return target_.readFile(path, content);
  }
  LockAttempt lockDirectory(const std::filesystem::path& directory) override {
    return target_.lockDirectory(directory);
  }
  std::error_code removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) override {
    return target_.removeLockedDirectory(std::move(lock));
  }
  std::error_code removeTree(const std::filesystem::path& path) override {
    return target_.removeTree(path);
  }
  bool isLink(const std::filesystem::path& path) override { return target_.isLink(path); }
  bool openUrl(const std::string& url) override { return target_.openUrl(url); }
  WindowHandle activeWindow() override { return target_.activeWindow(); }
  bool postCloseCommand(WindowHandle window) override { return target_.postCloseCommand(window); }
  WorkerThread startWorker(std::function<void()> task) override {
    return target_.startWorker(std::move(task));
  }
  void startDetachedWorker(std::function<void()> task) override {
    target_.startDetachedWorker(std::move(task));
  }
  TimerId setThreadTimer(unsigned milliseconds, std::function<void()> callback) override {
    return target_.setThreadTimer(milliseconds, std::move(callback));
  }
  bool killThreadTimer(TimerId timer) override { return target_.killThreadTimer(timer); }
  void pumpMessages() override { target_.pumpMessages(); }
  void debugOutput(std::string_view text) override { target_.debugOutput(text); }
  void sleepFor(std::chrono::milliseconds duration) override { target_.sleepFor(duration); }
  std::time_t now() override { return target_.now(); }
  std::tm localTime(std::time_t when) override { return target_.localTime(when); }
  std::tm utcTime(std::time_t when) override { return target_.utcTime(when); }

 private:
  Platform& target_;
};

}  // namespace platform
