// File operations through std::filesystem with error codes: what the POSIX platform needs
// beyond its own system calls, and the file handling of the test platform on every build.
// Each function keeps the contract of the Platform method of the same name.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "addin/platform/Platform.h"

namespace platform::portable {

std::error_code status(const std::filesystem::path& path, Links links, FileType& type);
std::error_code createDirectories(const std::filesystem::path& path);
std::error_code createDirectory(const std::filesystem::path& path);
std::error_code copyFile(const std::filesystem::path& from, const std::filesystem::path& to);
std::error_code fileSize(const std::filesystem::path& path, Links links, std::uintmax_t& size);
std::error_code lastWriteTime(const std::filesystem::path& path,
                              std::chrono::system_clock::time_point& when);
std::error_code walk(const std::filesystem::path& root, Depth depth,
                     std::vector<DirectoryEntry>& entries);
std::error_code remove(const std::filesystem::path& path);
std::error_code readFile(const std::filesystem::path& path, std::string& content);
std::filesystem::path fallbackTempDirectory();

}  // namespace platform::portable
