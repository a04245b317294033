// A platform for tests: values come from the test, files are real but handled portably,
// locks live in this process only, any call can be made to fail, and calls are recorded.
// Thread timers fire only when the test fires them; workers and the clock are the native ones.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
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
    Status,
    WeaklyCanonical,
    CreateDirectories,
    CreateDirectory,
    CopyFile,
    FileSize,
    LastWriteTime,
    Walk,
    Remove,
    ReadFile,
    LockDirectory,
    RemoveLockedDirectory,
    RemoveTree,
    IsLink,
    OpenUrl,
    ActiveWindow,
    PostCloseCommand,
    StartDetachedWorker,
    SetThreadTimer,
    KillThreadTimer,
    PumpMessages,
    DebugOutput,
    SleepFor,
  };

  struct Record {
    Call call;
    std::filesystem::path path;  // the path or variable name the call was given
    std::string text;            // the line of an appendLine, the text of a debugOutput
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

  // Runs, on the calling thread, the callback of each timer that this thread set and has
  // not killed, once, as if its interval had passed in the thread's message loop; timers
  // killed or set by the callbacks meanwhile are left out. Returns how many ran.
  int fireTimers();
  // The live timers of every thread, with their intervals.
  std::map<TimerId, unsigned> threadTimers() const;
  // Everything handed to debugOutput, joined.
  std::string debugText() const;

  // The call succeeds `successesFirst` more times and fails from then on, until healed; a
  // failing file operation reports kInjectedError, a failing startDetachedWorker raises
  // std::system_error, a failing setThreadTimer answers kNoTimer.
  void fail(Call call, int successesFirst = 0);
  void heal(Call call);

  // Marks a directory as locked by someone else (another process) until released.
  static void holdElsewhere(const std::filesystem::path& directory);
  static void releaseElsewhere(const std::filesystem::path& directory);

  static inline const std::error_code kInjectedError = std::make_error_code(std::errc::io_error);

  std::vector<Record> records() const;
  size_t callCount(Call call) const;

  ModuleFile addinModuleFile() override;
  std::filesystem::path environmentPath(const std::string& name) override;
  std::filesystem::path tempDirectory() override;
  // The real runtime's answer: tests never need another.
  std::filesystem::path fallbackTempDirectory() override;
  std::error_code appendLine(const std::filesystem::path& file, std::string_view line) override;
  std::error_code status(const std::filesystem::path& path, Links links, FileType& type) override;
  // The native answer: how names resolve is the real file system's own business.
  std::error_code weaklyCanonical(const std::filesystem::path& path,
                                  std::filesystem::path& resolved) override;
  std::error_code createDirectories(const std::filesystem::path& path) override;
  std::error_code createDirectory(const std::filesystem::path& path) override;
  std::error_code copyFile(const std::filesystem::path& from,
                           const std::filesystem::path& to) override;
  std::error_code fileSize(const std::filesystem::path& path, Links links,
                           std::uintmax_t& size) override;
  std::error_code lastWriteTime(const std::filesystem::path& path,
                                std::chrono::system_clock::time_point& when) override;
  std::error_code walk(const std::filesystem::path& root, Depth depth,
                       std::vector<DirectoryEntry>& entries) override;
  std::error_code remove(const std::filesystem::path& path) override;
  std::error_code readFile(const std::filesystem::path& path, std::string& content) override;
  LockAttempt lockDirectory(const std::filesystem::path& directory) override;
  std::error_code removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) override;
  std::error_code removeTree(const std::filesystem::path& path) override;
  bool isLink(const std::filesystem::path& path) override;
  bool openUrl(const std::string& url) override;
  WindowHandle activeWindow() override;
  bool postCloseCommand(WindowHandle window) override;
  WorkerThread startWorker(std::function<void()> task) override;
  void startDetachedWorker(std::function<void()> task) override;
  TimerId setThreadTimer(unsigned milliseconds, std::function<void()> callback) override;
  bool killThreadTimer(TimerId timer) override;
  // Fires this thread's timers as fireTimers() does.
  void pumpMessages() override;
  void debugOutput(std::string_view text) override;
  // Returns at once: a test's time is not spent waiting.
  void sleepFor(std::chrono::milliseconds duration) override;
  std::time_t now() override;
  std::tm localTime(std::time_t when) override;
  std::tm utcTime(std::time_t when) override;

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
  struct Timer {
    unsigned milliseconds = 0;
    std::thread::id thread;
    std::shared_ptr<const std::function<void()>> callback;
  };
  std::map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  std::map<Call, int> failures_;  // successes left before failing
  std::vector<Record> records_;
};

}  // namespace platform
