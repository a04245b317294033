// A platform that forwards every call to another one, so a test overrides only the call it
// wants to change.
#pragma once

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
  bool appendLine(const std::filesystem::path& file, std::string_view line) override {
    return target_.appendLine(file, line);
  }
  LockAttempt lockDirectory(const std::filesystem::path& directory) override {
    return target_.lockDirectory(directory);
  }
  bool removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) override {
    return target_.removeLockedDirectory(std::move(lock));
  }
  bool removeTree(const std::filesystem::path& path) override { return target_.removeTree(path); }
  bool isLink(const std::filesystem::path& path) override { return target_.isLink(path); }
  bool openUrl(const std::string& url) override { return target_.openUrl(url); }
  WindowHandle activeWindow() override { return target_.activeWindow(); }
  bool postCloseCommand(WindowHandle window) override { return target_.postCloseCommand(window); }

 private:
  Platform& target_;
};

}  // namespace platform
