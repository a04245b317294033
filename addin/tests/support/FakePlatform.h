// A platform for tests: values come from the test, files are real but handled portably,
// locks live in this process only, any call can be made to fail, and calls are recorded.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "addin/platform/Platform.h"

namespace platform {

class FakePlatform : public Platform {
 public:
  enum class Call {
    AddinModuleFile,
    EnvironmentPath,
    TempDirectory,
    AppendLine,
    LockDirectory,
    RemoveLockedDirectory,
    RemoveTree,
    IsLink,
    OpenUrl,
    ActiveWindow,
    PostCloseCommand,
  };

  struct Record {
    Call call;
    std::filesystem::path path;  // the path or variable name the call was given
    std::string text;            // the line of an appendLine
  };

  // Starts with no module, no environment and no temporary directory.
  FakePlatform() = default;

  void setAddinModuleFile(ModuleFile file);
  // The module is found and has this file name.
  void setAddinModulePath(const std::filesystem::path& path);
  void setEnvironment(const std::string& name, const std::filesystem::path& value);
  void setTempDirectory(const std::filesystem::path& path);
  // The window activeWindow() answers; kNoWindow at first.
  void setActiveWindow(WindowHandle window);

  // URLs handed to openUrl (also the refused ones) and windows sent the close command.
  std::vector<std::string> openedUrls() const;
  std::vector<WindowHandle> closedWindows() const;

  // The call succeeds `successesFirst` more times and fails from then on, until healed.
  void fail(Call call, int successesFirst = 0);
  void heal(Call call);

  // Marks a directory as locked by someone else (another process) until released.
  static void holdElsewhere(const std::filesystem::path& directory);
  static void releaseElsewhere(const std::filesystem::path& directory);

  std::vector<Record> records() const;
  size_t callCount(Call call) const;

  ModuleFile addinModuleFile() override;
  std::filesystem::path environmentPath(const std::string& name) override;
  std::filesystem::path tempDirectory() override;
  bool appendLine(const std::filesystem::path& file, std::string_view line) override;
  LockAttempt lockDirectory(const std::filesystem::path& directory) override;
  bool removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) override;
  bool removeTree(const std::filesystem::path& path) override;
  bool isLink(const std::filesystem::path& path) override;
  bool openUrl(const std::string& url) override;
  WindowHandle activeWindow() override;
  bool postCloseCommand(WindowHandle window) override;

 private:
  // Records the call and tells whether it is to fail.
  bool enter(Call call, const std::filesystem::path& path, std::string_view text = {});

  mutable std::mutex mutex_;
  ModuleFile moduleFile_;
  std::map<std::string, std::filesystem::path> environment_;
  std::filesystem::path tempDirectory_;
  WindowHandle activeWindow_ = kNoWindow;
  std::vector<std::string> openedUrls_;
  std::vector<WindowHandle> closedWindows_;
  std::map<Call, int> failures_;  // successes left before failing
  std::vector<Record> records_;
};

}  // namespace platform
