// The operating-system seam: every call the add-in makes into the OS goes through one
// Platform object, so tests can substitute a fake or break a single call.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Where the add-in's own module file lies.
struct ModuleFile {
  // The module that holds the add-in's code was found.
  bool found = false;
  // Its full file name; empty when the module was not found or its name could not be read.
  std::filesystem::path path;
};

// Proof that this process holds the lock of one directory; destroying it releases the lock.
// While held, another process (or another attempt in this process) cannot take the lock.
class DirectoryLock {
 public:
  virtual ~DirectoryLock() = default;
  // The locked directory, as it was passed to Platform::lockDirectory.
  virtual const std::filesystem::path& directory() const = 0;
};

enum class LockStatus {
  Acquired,       // the lock is ours now
  HeldElsewhere,  // another process, or another lock object of this one, holds it
  Failed,         // the directory is missing or the lock file cannot be made
};

struct LockAttempt {
  LockStatus status = LockStatus::Failed;
  std::unique_ptr<DirectoryLock> lock;  // set exactly when status is Acquired
};

// A window of the desktop, as an opaque number; kNoWindow names none.
using WindowHandle = std::uintptr_t;
inline constexpr WindowHandle kNoWindow = 0;

// Name of the file that carries a directory's lock, inside that directory.
inline constexpr const char* kLockFileName = "synquo.lock";

// One implementation per platform is chosen by the build; tests substitute their own.
// Unless a method says otherwise it may be called from any thread at any time, never throws
// (except std::bad_alloc), and reports failure through its result.
class Platform {
 public:
  virtual ~Platform();

  // The module that contains the add-in's own code and its file name. On Windows:
  // GetModuleHandleExW from an address inside the add-in, then GetModuleFileNameW with a
  // buffer that doubles from 260 characters while the name fills it. Failure: found is
  // false, or path is empty when only the name could not be read.
  virtual ModuleFile addinModuleFile() = 0;

  // The value of an environment variable, read as a path in the native encoding. Returns
  // the empty path when the variable is unset, empty or cannot be read.
  virtual std::filesystem::path environmentPath(const std::string& name) = 0;

  // The user's temporary directory as the OS reports it, normally ending in a separator
  // (GetTempPathW with 261 characters on Windows; TMPDIR or /tmp elsewhere). Returns the
  // empty path when the OS gives no usable answer. Existence is not checked.
  virtual std::filesystem::path tempDirectory() = 0;

  // Appends the line's bytes and then CR LF to the file, creating the file but not its
  // directory. The file is opened for this one call (shared for reading and writing with
  // other writers) and closed before returning. Returns false only when the file could not
  // be opened; the outcome of the writes themselves is not examined.
  virtual bool appendLine(const std::filesystem::path& file, std::string_view line) = 0;

  // Tries once, without waiting, to lock an existing directory through the lock file
  // kLockFileName inside it. The lock file exists while the lock is held and is removed
  // when it is released. A lock of a process that has ended is free again.
  virtual LockAttempt lockDirectory(const std::filesystem::path& directory) = 0;

  // Removes the locked directory and everything in it (as removeTree does) and releases the
  // lock, in the order that keeps anyone else from taking the lock in between on this
  // platform. Returns whether the directory is gone. A null lock returns false.
  virtual bool removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) = 0;

  // Removes a file, or a directory and everything in it. A symbolic link or junction,
  // wherever it is met, is removed itself and never followed. Continues past entries that
  // cannot be removed. Returns whether nothing is left at the path (true when it was absent).
  virtual bool removeTree(const std::filesystem::path& path) = 0;

  // Whether the path itself is a symbolic link or a junction (other reparse points count
  // too). False when it is absent or cannot be examined.
  virtual bool isLink(const std::filesystem::path& path) = 0;

  // Hands a URL to the system shell to open, normally in the browser. On Windows:
  // ShellExecuteA with no owner window, the verb "open", no parameters or directory, and
  // SW_SHOWNORMAL; success is a result above 32. Elsewhere: the program named by the
  // environment variable BROWSER (else xdg-open) is started with the URL as its one argument,
  // without a shell; success is that it started. The caller decides which URLs are safe.
  virtual bool openUrl(const std::string& url) = 0;

  // The active window of the calling thread (GetActiveWindow); kNoWindow when it has none.
  // Call on the user-interface thread.
  virtual WindowHandle activeWindow() = 0;

  // Posts WM_SYSCOMMAND with SC_CLOSE and lParam 0 to the window (PostMessageA), which closes
  // a dialog after its handler returns. Returns whether the message was queued.
  virtual bool postCloseCommand(WindowHandle window) = 0;
};

// The platform in use by this process: the native implementation unless a ScopedPlatform
// has put another in place.
Platform& os();

// The native implementation chosen by the build (Win32 or POSIX). Lives for the process.
Platform& nativePlatform();

// Puts another implementation in place of os() for its own lifetime, then restores the one
// it replaced. Meant for tests: create and destroy on one thread while nothing else calls
// os(). The platform must outlive the scope.
class ScopedPlatform {
 public:
  explicit ScopedPlatform(Platform& replacement);
  ~ScopedPlatform();
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

 private:
  Platform* previous_;
};

}  // namespace platform
