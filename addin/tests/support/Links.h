// File and directory links and junctions for tests, made the way the system makes them, so a test
// can prove that what it walks or removes is never followed.
#pragma once

#include <filesystem>

namespace testsupport {

// A symbolic link at `link` to the directory `target`. False when none could be made.
bool makeDirectoryLink(const std::filesystem::path& target, const std::filesystem::path& link);

// A symbolic link at `link` to the file `target`. False when none could be made.
bool makeFileLink(const std::filesystem::path& target, const std::filesystem::path& link);

// A junction (a mount point) at `link` to the directory `target`; POSIX has none, so there it
// is a symbolic link. False when none could be made.
bool makeJunction(const std::filesystem::path& target, const std::filesystem::path& link);

}  // namespace testsupport
