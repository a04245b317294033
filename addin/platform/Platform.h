// The operating-system seam: every call the add-in makes into the OS goes through one
// Platform object, so tests can substitute a fake or break a single call.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "addin/platform/WorkerThreads.h"

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
  std::error_code error;                // the OS's reason when status is Failed
};

// What a path names.
enum class FileType { NotFound, Regular, Directory, Link, Other };

// Whether status() reports a link itself or what it points at.
enum class Links { Follow, DoNotFollow };

// One entry met by walk(): its full path and its own type (a link is a Link, never entered).
struct DirectoryEntry {
  std::filesystem::path path;
  FileType type = FileType::NotFound;
};

// How deep walk() goes: the directory's own entries, or everything below it.
enum class Depth { Children, Everything };

// A window of the desktop, as an opaque number; kNoWindow names none.
using WindowHandle = std::uintptr_t;
inline constexpr WindowHandle kNoWindow = 0;

// A thread timer, as an opaque number; kNoTimer names none.
using TimerId = std::uintptr_t;
inline constexpr TimerId kNoTimer = 0;

// Name of the file that carries a directory's lock, inside that directory.
inline constexpr const char* kLockFileName = "synquo.lock";

// One implementation per platform is chosen by the build; tests substitute their own.
// Unless a method says otherwise it may be called from any thread at any time, never throws
// (except std::bad_alloc), and reports failure through its result.
//
// File operations return a std::error_code: empty on success, otherwise the OS's reason
// (system_category on Windows, generic_category errno values elsewhere). They never say
// which path failed: the caller knows it and puts it beside the reason in its own error or
// log text. Results come back through reference parameters, which are left as they were
// on failure unless a method says otherwise. Paths are native (wide on Windows).
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

  // Where temporary files go when tempDirectory() has no answer: the C++ runtime's
  // temporary directory, else the current working directory. Empty when neither is known.
  virtual std::filesystem::path fallbackTempDirectory() = 0;

  // Appends the line's bytes and then CR LF to the file, creating the file but not its
  // directory. The file is opened for this one call (shared for reading and writing with
  // other writers) and closed before returning. Fails only when the file could not be
  // opened; the outcome of the writes themselves is not examined.
  virtual std::error_code appendLine(const std::filesystem::path& file, std::string_view line) = 0;

  // What the path names; with Links::DoNotFollow a symbolic link or junction (any reparse
  // point) is reported as Link. An absent path is FileType::NotFound and no error, and so is
  // a path under a missing or non-directory parent.
  virtual std::error_code status(const std::filesystem::path& path, Links links,
                                 FileType& type) = 0;

  // The path made absolute with its longest existing prefix resolved as the file system
  // names it (links and junctions followed, short names made long, the case on disk) and
  // the rest appended, in normal form: two spellings of one file resolve to one text.
  virtual std::error_code weaklyCanonical(const std::filesystem::path& path,
                                          std::filesystem::path& resolved) = 0;

  // Creates the directory and any missing parents. An existing directory is success; an
  // existing entry of another kind is an error. Directories made before a failure stay.
  virtual std::error_code createDirectories(const std::filesystem::path& path) = 0;

  // Creates one directory whose parent exists. When anything exists at the path already the
  // error is std::errc::file_exists (or the OS's equivalent), so a fresh name can be claimed.
  virtual std::error_code createDirectory(const std::filesystem::path& path) = 0;

  // Copies a regular file's content to `to`, replacing a file that is there.
  virtual std::error_code copyFile(const std::filesystem::path& from,
                                   const std::filesystem::path& to) = 0;

  // The size in bytes of a regular file. With Links::DoNotFollow the path itself must be one:
  // a symbolic link or junction (any reparse point) is an error, so one call both checks and
  // measures a file.
  virtual std::error_code fileSize(const std::filesystem::path& path, Links links,
                                   std::uintmax_t& size) = 0;

  // When the file or directory was last written.
  virtual std::error_code lastWriteTime(const std::filesystem::path& path,
                                        std::chrono::system_clock::time_point& when) = 0;

  // The entries below a directory, parents before their children, in no particular order
  // otherwise; "." and ".." are left out. Links and junctions are reported as Link and never
  // entered; a root that is itself a link is refused with std::errc::not_a_directory. Stops
  // at the first directory that cannot be read; `entries` then holds what was found so far.
  virtual std::error_code walk(const std::filesystem::path& root, Depth depth,
                               std::vector<DirectoryEntry>& entries) = 0;

  // Removes a file, a link (never what it points at) or an empty directory. An absent path
  // is success.
  virtual std::error_code remove(const std::filesystem::path& path) = 0;

  // The whole content of a small file (the caller knows it is small). Reading a directory
  // is an error.
  virtual std::error_code readFile(const std::filesystem::path& path, std::string& content) = 0;

  // Tries once, without waiting, to lock an existing directory through the lock file
  // kLockFileName inside it. The lock file exists while the lock is held and is removed
  // when it is released. A lock of a process that has ended is free again.
  virtual LockAttempt lockDirectory(const std::filesystem::path& directory) = 0;

  // Removes the locked directory and everything in it (as removeTree does) and releases the
  // lock, in the order that keeps anyone else from taking the lock in between on this
  // platform. Succeeds when the directory is gone. A null lock is std::errc::invalid_argument.
  virtual std::error_code removeLockedDirectory(std::unique_ptr<DirectoryLock> lock) = 0;

  // Removes a file, or a directory and everything in it. A symbolic link or junction,
  // wherever it is met, is removed itself and never followed. Continues past entries that
  // cannot be removed. Succeeds when nothing is left at the path (also when it was absent);
  // otherwise the error is the first one met.
  virtual std::error_code removeTree(const std::filesystem::path& path) = 0;

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

  // Starts `task` on a new worker thread that pins the add-in module while it runs (see
  // WorkerThread). Returns once the thread has pinned the module. Raises std::system_error
  // when no thread can be created; the task is then dropped.
  virtual WorkerThread startWorker(std::function<void()> task) = 0;

  // Starts `task` on a new thread that pins the add-in module as startWorker's does, and
  // lets it run on by itself: nobody can wait for it, so whatever the task needs must be
  // owned by the task. On Windows: _beginthreadex, then CloseHandle. Returns once the
  // thread has pinned the module. Raises std::system_error when no thread can be created;
  // the task is then dropped without running.
  virtual void startDetachedWorker(std::function<void()> task) = 0;

  // Sets a repeating timer of the calling thread: `callback` runs on that thread, from its
  // message loop (a modal dialog's, for instance), each time the interval has passed while
  // the loop runs, until the timer is killed. Nothing runs before the thread's loop turns.
  // An interval below 10 ms counts as 10 ms, as on Windows. The callback may kill its own
  // timer and set others; whatever it throws is swallowed. On Windows:
  // SetTimer(NULL, 0, milliseconds, procedure). Returns kNoTimer when no timer can be set
  // (an empty callback, or no desktop on this system).
  virtual TimerId setThreadTimer(unsigned milliseconds, std::function<void()> callback) = 0;

  // Stops a timer that the calling thread set (KillTimer(NULL, timer)); its callback does
  // not run again, and is released once it is not running. False when the id names no live
  // timer of the calling thread.
  virtual bool killThreadTimer(TimerId timer) = 0;

  // Dispatches the calling thread's queued messages and due timers, then returns; never
  // waits. A request to quit the thread's loop is left for that loop to see. On Windows:
  // PeekMessageW with PM_REMOVE, TranslateMessage and DispatchMessageW until the queue is
  // empty; a WM_QUIT taken on the way is posted again (PostQuitMessage) and ends the call.
  // Without a desktop it does nothing. Call on the user-interface thread.
  virtual void pumpMessages() = 0;

  // Hands text to whoever watches the process's diagnostics: the debugger on Windows
  // (OutputDebugStringA), standard error elsewhere. Written as it is; no line end is added.
  virtual void debugOutput(std::string_view text) = 0;

  // Blocks the calling thread for about that long.
  virtual void sleepFor(std::chrono::milliseconds duration) = 0;

  // The current calendar time.
  virtual std::time_t now() = 0;

  // The local and the UTC calendar time of a moment; all fields zero when the conversion
  // fails.
  virtual std::tm localTime(std::time_t when) = 0;
  virtual std::tm utcTime(std::time_t when) = 0;
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
