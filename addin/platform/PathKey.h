// Paths as this system's file system tells them apart: two paths with one key name one entry
// as far as their spelling goes (links and short names are a matter for weaklyCanonical).
#pragma once

#include <filesystem>

namespace platform {

// The path's normal form, upper-cased as the file system compares names where it ignores
// case (Windows), unchanged where case matters (POSIX).
std::filesystem::path::string_type pathKey(const std::filesystem::path& path);

}  // namespace platform
