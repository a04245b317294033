// Session temporary directories: creation on demand, reuse per key, locking and cleanup.
#include "addin/temp/SessionTempDirectory.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "addin/common/Text.h"
#include "addin/logging/Log.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/settings/PropertiesFile.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;

constexpr int kAllocationAttempts = 32;
constexpr const char* kDefaultKey = "__default__";

// The current directory's lock and whether the directory goes once nobody uses it: shared by
// the session state and every hold, so the last of them to let go removes it, on its thread.
struct DirectoryOwnership {
  explicit DirectoryOwnership(fs::path path) : directory(std::move(path)) {}
  ~DirectoryOwnership() {
    if (!remove) return;
    try {
      // The lock goes with the directory; on Windows its open file would block the removal.
      const std::error_code error = lock ? platform::os().removeLockedDirectory(std::move(lock))
                                         : platform::os().removeTree(directory);
      if (error) {
        logging::warning("Failed to remove session temp directory.",
                         logging::failureDetail(directory, error));
      }
    } catch (...) {
      // Deletion never reports; a later sweep tries again.
    }
  }
  DirectoryOwnership(const DirectoryOwnership&) = delete;
  DirectoryOwnership& operator=(const DirectoryOwnership&) = delete;

  const fs::path directory;
  std::unique_ptr<platform::DirectoryLock> lock;  // changed only while the directory is current
  // Decided on the user-interface thread, where the retention setting may be read.
  std::atomic<bool> remove{false};
};

struct SessionTempState {
  std::atomic_flag busy = ATOMIC_FLAG_INIT;
  std::optional<fs::path> base;
  std::optional<std::string> key;
  std::optional<std::string> token;
  std::shared_ptr<DirectoryOwnership> owned;  // set with the token
};

// Never destroyed: the lock of the current directory is held until the process ends.
SessionTempState& state() {
  static SessionTempState* instance = new SessionTempState();
  return *instance;
}

std::atomic<uint64_t>& tokenCounter() {
  static std::atomic<uint64_t> counter{0};
  return counter;
}

std::mutex& baseMutex() {
  static std::mutex mutex;
  return mutex;
}

std::optional<fs::path>& foundBase() {
  static std::optional<fs::path> base;
  return base;
}

// The spin lock of the session state; released on every path out of its scope.
class SpinGuard {
 public:
  explicit SpinGuard(std::atomic_flag& flag) : flag_(flag) {
    while (flag_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  }
  ~SpinGuard() { flag_.clear(std::memory_order_release); }
  SpinGuard(const SpinGuard&) = delete;
  SpinGuard& operator=(const SpinGuard&) = delete;

 private:
  std::atomic_flag& flag_;
};

fs::path directoryFor(const fs::path& base, const std::string& token) {
  return base / platform::fromFileNameCodePage(kSessionTempPrefix + token);
}

// Logs the failure with the path and the OS's reason, then throws the message alone.
[[noreturn]] void fail(const char* message, const fs::path& path, const std::error_code& error) {
  logging::error(message, logging::failureDetail(path, error));
  throw std::runtime_error(message);
}

// The OS refused to write in the folder: something the user can change, so the text they see
// names the folder and the reason, and what to do.
bool isUnwritable(const std::error_code& error) {
  return error == std::errc::permission_denied || error == std::errc::read_only_file_system ||
         error == std::errc::operation_not_permitted;
}

[[noreturn]] void failUnwritable(const fs::path& path, const std::error_code& error) {
  std::string reason = error.message();
  for (char& c : reason) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  reason = trim(reason);
  while (!reason.empty() && reason.back() == '.') reason.pop_back();
  const std::string text =
      "Synquo cannot create its temporary folder in \"" + platform::toUtf8(path.parent_path()) +
      "\": " + reason +
      ". Make sure you can write to that folder, or set TEMP to a folder you can write to, then "
      "try again.";
  logging::error(text, logging::failureDetail(path, error));
  throw std::runtime_error(text);
}

// A directory handed out unlocked could be swept away by another session while in use.
[[noreturn]] void failLock(const fs::path& directory, const std::error_code& error) {
  fail("Failed to lock session temp directory.", directory, error);
}

// Caller holds the spin lock.
void relockCurrent(SessionTempState& s, const fs::path& current) {
  s.owned->lock.reset();
  platform::LockAttempt attempt = platform::os().lockDirectory(current);
  if (attempt.status == platform::LockStatus::Acquired) {
    s.owned->lock = std::move(attempt.lock);
    return;
  }
  // Held elsewhere: a sweep is removing the directory right now.
  failLock(current, attempt.status == platform::LockStatus::Failed
                        ? attempt.error
                        : std::make_error_code(std::errc::device_or_resource_busy));
}

// Caller holds the spin lock.
void discardCurrent(SessionTempState& s) {
  try {
    if (s.token && s.owned) {
      if (retainTempFiles()) {
        logging::debug(
            "Skipping temp directory cleanup because synquo_nx_retain_temp_files is true.");
      } else {
        s.owned->remove = true;
        if (s.owned.use_count() > 1) {
          logging::debug("Session temp directory stays until the upload reading it ends: path=\"",
                         s.owned->directory, "\".");
        }
      }
    }
  } catch (const std::exception&) {
    // Deletion never reports; a later sweep tries again.
  }
  s.owned.reset();  // removes it now, unless an upload still holds it
  s.token.reset();
  s.key.reset();
}

fs::path currentDirectoryChecked(SessionTempState& s) {
  platform::Platform& os = platform::os();
  const fs::path current = directoryFor(*s.base, *s.token);
  platform::FileType type = platform::FileType::NotFound;
  if (const std::error_code error = os.status(current, platform::Links::Follow, type)) {
    fail("Failed to check session temp directory existence.", current, error);
  }
  if (type == platform::FileType::NotFound) {
    if (const std::error_code error = os.createDirectories(current)) {
      if (isUnwritable(error)) failUnwritable(current, error);
      fail("Failed to create session temp directory.", current, error);
    }
    relockCurrent(s, current);
    return current;
  }
  if (type != platform::FileType::Directory) {
    fail("Session temp path exists but is not a directory.", current,
         std::make_error_code(std::errc::not_a_directory));
  }
  if (!s.owned->lock) relockCurrent(s, current);
  return current;
}

fs::path allocateDirectory(SessionTempState& s, const std::string& key) {
  platform::Platform& os = platform::os();
  s.key = key;
  fs::path lastCandidate;
  std::error_code lastError;
  for (int attempt = 0; attempt < kAllocationAttempts; ++attempt) {
    const std::string token = newSessionToken();
    const fs::path candidate = directoryFor(*s.base, token);
    lastCandidate = candidate;
    if ((lastError = os.createDirectory(candidate))) continue;
    platform::LockAttempt lock = os.lockDirectory(candidate);
    if (lock.status == platform::LockStatus::HeldElsewhere) {
      lastError = std::make_error_code(std::errc::device_or_resource_busy);
      continue;  // a sweep is removing it
    }
    if (lock.status == platform::LockStatus::Failed) {
      platform::FileType type = platform::FileType::NotFound;
      if (!os.status(candidate, platform::Links::DoNotFollow, type) &&
          type == platform::FileType::NotFound) {
        lastError = lock.error;
        continue;  // a sweep took it between its creation and the lock
      }
      // Not ours to keep: what cannot be locked goes, or the sweep takes it later.
      os.remove(candidate);
      s.key.reset();
      failLock(candidate, lock.error);
    }
    s.owned = std::make_shared<DirectoryOwnership>(candidate);
    s.owned->lock = std::move(lock.lock);
    s.token = token;
    return candidate;
  }
  s.key.reset();
  if (isUnwritable(lastError)) failUnwritable(lastCandidate, lastError);
  fail("Unable to allocate a unique session temp directory.", lastCandidate, lastError);
}

// "synquo-" and 16 lower-case hexadecimal digits, compared in the native encoding: a name
// that no conversion could name is not one of ours, and never ends the sweep.
bool isSessionDirectoryName(const fs::path::string_type& name) {
  const std::string prefix = kSessionTempPrefix;
  if (name.size() != prefix.size() + 16) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = name[i];
    const bool fits = i < prefix.size() ? c == static_cast<fs::path::value_type>(prefix[i])
                                        : (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    if (!fits) return false;
  }
  return true;
}

void removeStaleDirectory(const fs::path& directory) {
  platform::Platform& os = platform::os();
  std::error_code error;
  if (os.isLink(directory)) {
    error = os.removeTree(directory);  // the link alone; what it points at is not ours
  } else {
    platform::LockAttempt attempt = os.lockDirectory(directory);
    // Held elsewhere: a live session, in another process or this one, still works in it. A
    // live session always holds its lock, so one that cannot even be tried is nobody's.
    if (attempt.status == platform::LockStatus::Acquired) {
      error = os.removeLockedDirectory(std::move(attempt.lock));
    } else if (attempt.status == platform::LockStatus::Failed) {
      logging::warning("Failed to lock session temp directory.",
                       logging::failureDetail(directory, attempt.error));
      error = os.removeTree(directory);
    }
  }
  if (error) {
    logging::warning("Failed to remove stale session temp directory.",
                     logging::failureDetail(directory, error));
  }
}

}  // namespace

std::optional<fs::path> sessionTempBaseDirectory() {
  std::lock_guard<std::mutex> guard(baseMutex());
  if (foundBase()) return foundBase();
  try {
    fs::path base = platform::os().tempDirectory();
    if (base.empty()) base = platform::os().fallbackTempDirectory();
    if (base.empty()) return std::nullopt;
    foundBase() = base;
    return base;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::string newSessionToken() {
  const uint64_t n = tokenCounter().fetch_add(1);
  const auto threadId =
      static_cast<uint32_t>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
  uint64_t h = 0xcbf29ce484222325ull;
  for (int byte = 0; byte < 4; ++byte) {
    h ^= (threadId >> (8 * byte)) & 0xFFu;
    h *= 0x100000001b3ull;
  }
  const auto t = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                           std::chrono::steady_clock::now().time_since_epoch())
                                           .count());
  const uint64_t value = (n * 0x9e3779b97f4a7c15ull) ^ (h << 1) ^ t;

  static constexpr char kDigits[] = "0123456789abcdef";
  std::string token(16, '0');
  for (int i = 15; i >= 0; --i) {
    token[static_cast<size_t>(i)] = kDigits[(value >> (4 * (15 - i))) & 0xFu];
  }
  return token;
}

fs::path sessionTempDirectory(const std::string& key) {
  SessionTempState& s = state();
  SpinGuard guard(s.busy);
  if (!s.base) {
    s.base = sessionTempBaseDirectory();
    if (!s.base)
      throw std::runtime_error("Unable to resolve base directory for session temp files.");
  }
  const std::string effectiveKey = key.empty() ? kDefaultKey : key;
  if (s.token && s.key == effectiveKey) return currentDirectoryChecked(s);
  if (s.token) discardCurrent(s);
  return allocateDirectory(s, effectiveKey);
}

std::shared_ptr<const void> holdSessionTempDirectory() {
  SessionTempState& s = state();
  SpinGuard guard(s.busy);
  return s.token ? s.owned : nullptr;
}

void removeSessionTempDirectory() noexcept {
  SessionTempState& s = state();
  SpinGuard guard(s.busy);
  discardCurrent(s);
}

void removeStaleSessionTempDirectories() noexcept {
  try {
    if (retainTempFiles()) {
      logging::debug(
          "Skipping stale temp directory cleanup because synquo_nx_retain_temp_files is true.");
      return;
    }
    const std::optional<fs::path> base = sessionTempBaseDirectory();
    if (!base) return;

    platform::Platform& os = platform::os();
    // The base itself may be a link or junction (a roaming profile's temporary folder): its
    // target is walked, while the entries in it are still never followed.
    fs::path walked;
    if (const std::error_code error = os.weaklyCanonical(*base, walked)) {
      logging::warning("Failed to list the session temp base directory.",
                       logging::failureDetail(*base, error));
      return;
    }
    std::vector<platform::DirectoryEntry> entries;
    if (const std::error_code error = os.walk(walked, platform::Depth::Children, entries)) {
      logging::warning("Failed to list the session temp base directory.",
                       logging::failureDetail(walked, error));
      return;
    }
    std::vector<fs::path> candidates;
    for (const platform::DirectoryEntry& entry : entries) {
      if (!isSessionDirectoryName(entry.path.filename().native())) continue;
      platform::FileType type = entry.type;
      // A link counts when it leads to a directory; only the link itself is removed.
      if (type == platform::FileType::Link &&
          os.status(entry.path, platform::Links::Follow, type)) {
        continue;
      }
      if (type == platform::FileType::Directory) candidates.push_back(entry.path);
    }
    for (const fs::path& candidate : candidates) removeStaleDirectory(candidate);
  } catch (...) {
    // The sweep ends quietly; the next cycle tries again.
  }
}

}  // namespace synquo
