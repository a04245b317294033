// File and directory links and junctions for tests, made the way the system makes them, so a test
// can prove that what it walks or removes is never followed.
#pragma once

#include <filesystem>

namespace testsupport {

// A symbolic link at `link` to the directory `target`. False when none could be made.
bool makeDirectoryLink(const std::filesystem::path& target, const std::filesystem::path& link);

// A symbolic link at `link` to the file `target`. False when none could be made.
// Under wine none can: its own calls make nothing, and a host link to a file looks like the
// file itself there (fileLinksCanBeMade() says so beforehand).
bool makeFileLink(const std::filesystem::path& target, const std::filesystem::path& link);

// A junction (a mount point) at `link` to the directory `target`; POSIX has none, so there it
// is a symbolic link. False when none could be made.
bool makeJunction(const std::filesystem::path& target, const std::filesystem::path& link);

bool fileLinksCanBeMade();

// False under wine, which reports the host's links as reparse points but cannot remove them:
// RemoveDirectoryW and DeleteFileW refuse them. True on Windows itself and on POSIX.
bool linksAreRemovable();

// Removes a link or junction itself, by the host's own means under wine, so that a test's
// clean-up never meets one. False when it is still there.
bool removeLink(const std::filesystem::path& link);

// Removes every link and junction below a directory, never entering one: what a test made
// must not lead its clean-up elsewhere. Needs no platform object, so it works at exit too.
void removeLinksBelow(const std::filesystem::path& directory);

}  // namespace testsupport
