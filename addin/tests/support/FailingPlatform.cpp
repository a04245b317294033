// Fault injection by call number, and the anomaly loop over a flow.
#include "addin/tests/support/FailingPlatform.h"

#include <gtest/gtest.h>

#include <utility>

namespace platform {

namespace fs = std::filesystem;

FailingPlatform::FailingPlatform(Platform& target, int nth, std::error_code error,
                                 Operation operation)
    : PlatformWrapper(target), nth_(nth), error_(error), operation_(operation) {}

bool FailingPlatform::failed() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return failed_;
}

fs::path FailingPlatform::failedPath() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return failedPath_;
}

FailingPlatform::Operation FailingPlatform::failedOperation() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return failedOperation_;
}

bool FailingPlatform::hit(Operation operation, const fs::path& path) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (operation_ != Operation::Any && operation_ != operation) return false;
  if (++seen_ != nth_) return false;
  failed_ = true;
  failedPath_ = path;
  failedOperation_ = operation;
  return true;
}

std::error_code FailingPlatform::appendLine(const fs::path& file, std::string_view line) {
  return hit(Operation::AppendLine, file) ? error_ : PlatformWrapper::appendLine(file, line);
}

std::error_code FailingPlatform::status(const fs::path& path, Links links, FileType& type) {
  return hit(Operation::Status, path) ? error_ : PlatformWrapper::status(path, links, type);
}

std::error_code FailingPlatform::createDirectories(const fs::path& path) {
  return hit(Operation::CreateDirectories, path) ? error_
                                                 : PlatformWrapper::createDirectories(path);
}

std::error_code FailingPlatform::createDirectory(const fs::path& path) {
  return hit(Operation::CreateDirectory, path) ? error_ : PlatformWrapper::createDirectory(path);
}

std::error_code FailingPlatform::copyFile(const fs::path& from, const fs::path& to) {
  return hit(Operation::CopyFile, to) ? error_ : PlatformWrapper::copyFile(from, to);
}

std::error_code FailingPlatform::fileSize(const fs::path& path, platform::Links links,
                                          std::uintmax_t& size) {
  return hit(Operation::FileSize, path) ? error_ : PlatformWrapper::fileSize(path, links, size);
}

std::error_code FailingPlatform::lastWriteTime(const fs::path& path,
                                               std::chrono::system_clock::time_point& when) {
  return hit(Operation::LastWriteTime, path) ? error_ : PlatformWrapper::lastWriteTime(path, when);
}

std::error_code FailingPlatform::walk(const fs::path& root, Depth depth,
                                      std::vector<DirectoryEntry>& entries) {
  return hit(Operation::Walk, root) ? error_ : PlatformWrapper::walk(root, depth, entries);
}

std::error_code FailingPlatform::remove(const fs::path& path) {
  return hit(Operation::Remove, path) ? error_ : PlatformWrapper::remove(path);
}

std::error_code FailingPlatform::readFile(const fs::path& path, std::string& content) {
  return hit(Operation::ReadFile, path) ? error_ : PlatformWrapper::readFile(path, content);
}

LockAttempt FailingPlatform::lockDirectory(const fs::path& directory) {
  if (hit(Operation::LockDirectory, directory)) return {LockStatus::Failed, nullptr, error_};
  return PlatformWrapper::lockDirectory(directory);
}

std::error_code FailingPlatform::removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) {
  // The lock goes with the failed call, as it goes with a real one.
  if (lock && hit(Operation::RemoveLockedDirectory, lock->directory())) return error_;
  return PlatformWrapper::removeLockedDirectory(std::move(lock));
}

std::error_code FailingPlatform::removeTree(const fs::path& path) {
  return hit(Operation::RemoveTree, path) ? error_ : PlatformWrapper::removeTree(path);
}

int failEachOperationInTurn(const std::function<void()>& flow,
                            const std::function<void(const FailingPlatform&)>& check,
                            std::error_code error, int limit) {
  Platform& healthy = os();
  for (int nth = 1; nth <= limit; ++nth) {
    FailingPlatform failing(healthy, nth, error);
    {
      ScopedPlatform scope(failing);
      flow();
    }
    if (!failing.failed()) return nth - 1;
    SCOPED_TRACE("file operation " + std::to_string(nth) + " failed");
    check(failing);
  }
  ADD_FAILURE() << "the flow still met a failure after " << limit << " operations";
  return limit;
}

}  // namespace platform
