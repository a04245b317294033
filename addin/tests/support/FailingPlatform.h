// A platform for fault injection: forwards to another platform but fails the Nth file
// operation (of any kind, or of one kind) with a chosen error, once; and the loop that
// fails each operation of a flow in turn until the flow runs without meeting a failure.
#pragma once

#include <filesystem>
#include <functional>
#include <mutex>
#include <system_error>

#include "addin/platform/PlatformWrapper.h"

namespace platform {

class FailingPlatform : public PlatformWrapper {
 public:
  enum class Operation {
    Any,
    AppendLine,
    Status,
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
  };

  // Call `nth` (counted from 1) of the chosen operation fails with `error`; 0 fails none.
  FailingPlatform(Platform& target, int nth, std::error_code error,
                  Operation operation = Operation::Any);

  // Whether the failure was injected, and the path the failed call was given.
  bool failed() const;
  std::filesystem::path failedPath() const;
  Operation failedOperation() const;
  const std::error_code& error() const { return error_; }

  std::error_code appendLine(const std::filesystem::path& file, std::string_view line) override;
  std::error_code status(const std::filesystem::path& path, Links links, FileType& type) override;
  std::error_code createDirectories(const std::filesystem::path& path) override;
  std::error_code createDirectory(const std::filesystem::path& path) override;
  std::error_code copyFile(const std::filesystem::path& from,
                           const std::filesystem::path& to) override;
  std::error_code fileSize(const std::filesystem::path& path, platform::Links links,
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

 private:
  // Counts the call; true when this is the one to fail.
  bool hit(Operation operation, const std::filesystem::path& path);

  const int nth_;
  const std::error_code error_;
  const Operation operation_;
  mutable std::mutex mutex_;
  int seen_ = 0;
  bool failed_ = false;
  std::filesystem::path failedPath_;
  Operation failedOperation_ = Operation::Any;
};

// Runs `flow` with os() failing its 1st, 2nd, ... file operation (forwarding to the os() in
// place when called), calling `check` after each run, until a run meets no failure.
// Returns how many runs failed. A flow of more than `limit` operations stops the loop.
int failEachOperationInTurn(const std::function<void()>& flow,
                            const std::function<void(const FailingPlatform&)>& check,
                            std::error_code error, int limit = 200);

}  // namespace platform
