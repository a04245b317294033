// Session temporary directories: one directory per model in the user's temporary directory,
// named "synquo-" and 16 hexadecimal digits, where the exports of that model are written.
// While a directory is current its process holds a lock in it, so the sweep of another
// session never deletes it.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace synquo {

inline constexpr const char* kSessionTempPrefix = "synquo-";

// The directory for a key (the empty key and "__default__" share one), created when needed:
// the same key gives the same directory, recreated when it vanished; another key discards the
// previous key's directory first. Throws std::runtime_error naming what failed.
std::filesystem::path sessionTempDirectory(const std::string& key);

// Deletes the current directory (unless retention is on) and forgets it. A directory that is
// still held is only forgotten: the next request makes a fresh one, and it is deleted when
// its last hold ends (a sweep of a later session takes it if that never happens). Never
// throws.
void removeSessionTempDirectory() noexcept;

// Keeps the current directory from being deleted for as long as the hold lives, on whatever
// thread lets it go last: an upload still reading its files outlives the dialogs that made
// them. Null when there is no current directory.
std::shared_ptr<const void> holdSessionTempDirectory();

// Deletes every "synquo-" directory in the base directory that no live session holds; links
// of that name are removed themselves, never followed. Skipped when retention is on. Never
// throws.
void removeStaleSessionTempDirectories() noexcept;

// Where session directories are made: the OS temporary directory, else the standard
// library's, else the current directory. Kept for the process once found.
std::optional<std::filesystem::path> sessionTempBaseDirectory();

// A fresh name part: 16 lower-case hexadecimal digits.
std::string newSessionToken();

}  // namespace synquo
