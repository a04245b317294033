// File operations through std::filesystem, each failure kept as the library reports it.
#include "addin/platform/PortableFileSystem.h"

#include <fstream>
#include <iterator>

namespace platform::portable {
namespace {

namespace fs = std::filesystem;

FileType typeOf(const fs::file_status& status) {
  switch (status.type()) {
    case fs::file_type::none:
    case fs::file_type::not_found:
      return FileType::NotFound;
    case fs::file_type::regular:
      return FileType::Regular;
    case fs::file_type::directory:
      return FileType::Directory;
    case fs::file_type::symlink:
      return FileType::Link;
    default:
      return FileType::Other;
  }
}

bool meansAbsent(const std::error_code& error) {
  return error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
}

// The type the directory listing gave (no system call), asked of the file system only when
// the listing gave none; a link is never followed.
FileType entryType(const fs::directory_entry& entry, std::error_code& error) {
  if (entry.is_symlink(error)) return FileType::Link;
  if (error) return FileType::NotFound;
  if (entry.is_regular_file(error)) return FileType::Regular;
  if (error) return FileType::NotFound;
  if (entry.is_directory(error)) return FileType::Directory;
  if (error) return FileType::NotFound;
  return FileType::Other;
}

std::error_code walkInto(const fs::path& directory, Depth depth,
                         std::vector<DirectoryEntry>& entries) {
  std::error_code error;
  std::vector<fs::path> subdirectories;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    std::error_code statusError;
    const FileType type = entryType(*it, statusError);
    if (statusError) return statusError;
    entries.push_back(DirectoryEntry{it->path(), type});
    if (type == FileType::Directory) subdirectories.push_back(it->path());
  }
  if (error) return error;
  if (depth == Depth::Children) return {};
  for (const fs::path& subdirectory : subdirectories) {
    if (std::error_code inner = walkInto(subdirectory, depth, entries)) return inner;
  }
  return {};
}

}  // namespace

std::error_code status(const fs::path& path, Links links, FileType& type) {
  std::error_code error;
  const fs::file_status found =
      links == Links::Follow ? fs::status(path, error) : fs::symlink_status(path, error);
  if (error && !meansAbsent(error)) return error;
  type = error ? FileType::NotFound : typeOf(found);
  return {};
}

std::error_code createDirectories(const fs::path& path) {
  std::error_code error;
  fs::create_directories(path, error);
  if (error) return error;
  if (!fs::is_directory(path, error)) return std::make_error_code(std::errc::not_a_directory);
  return {};
}

std::error_code createDirectory(const fs::path& path) {
  std::error_code error;
  if (fs::create_directory(path, error)) return {};
  return error ? error : std::make_error_code(std::errc::file_exists);
}

// Through streams: the Windows build's library leaves an existing target unchanged.
std::error_code copyFile(const fs::path& from, const fs::path& to) {
  std::string content;
  if (std::error_code error = readFile(from, content)) return error;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  if (!out.is_open()) return std::make_error_code(std::errc::permission_denied);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  if (!out) return std::make_error_code(std::errc::io_error);
  return {};
}

std::error_code fileSize(const fs::path& path, Links links, std::uintmax_t& size) {
  std::error_code error;
  if (links == Links::DoNotFollow) {
    const fs::file_status own = fs::symlink_status(path, error);
    if (error) return error;
    if (fs::is_symlink(own)) return std::make_error_code(std::errc::not_supported);
  }
  const std::uintmax_t found = fs::file_size(path, error);
  if (!error) size = found;
  return error;
}

std::error_code lastWriteTime(const fs::path& path, std::chrono::system_clock::time_point& when) {
  std::error_code error;
  const fs::file_time_type written = fs::last_write_time(path, error);
  if (error) return error;
  // C++17 has no conversion between the clocks. The offset between their present moments is
  // taken once, so two reads of one file always give the same time and comparisons hold.
  static const auto offset = std::chrono::system_clock::now().time_since_epoch() -
                             std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                 fs::file_time_type::clock::now().time_since_epoch());
  when = std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(written.time_since_epoch()) +
      offset);
  return {};
}

std::error_code walk(const fs::path& root, Depth depth, std::vector<DirectoryEntry>& entries) {
  std::error_code error;
  const fs::file_status rootStatus = fs::symlink_status(root, error);
  if (error) return error;
  if (rootStatus.type() != fs::file_type::directory) {
    return std::make_error_code(std::errc::not_a_directory);
  }
  return walkInto(root, depth, entries);
}

std::error_code remove(const fs::path& path) {
  std::error_code error;
  fs::remove(path, error);
  return error;
}

std::error_code readFile(const fs::path& path, std::string& content) {
  FileType type = FileType::NotFound;
  if (std::error_code error = status(path, Links::Follow, type)) return error;
  if (type == FileType::NotFound) return std::make_error_code(std::errc::no_such_file_or_directory);
  if (type == FileType::Directory) return std::make_error_code(std::errc::is_a_directory);
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return std::make_error_code(std::errc::permission_denied);
  std::string read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::make_error_code(std::errc::io_error);
  content = std::move(read);
  return {};
}

std::filesystem::path fallbackTempDirectory() {
  std::error_code error;
  std::filesystem::path directory = std::filesystem::temp_directory_path(error);
  if (!error && !directory.empty()) return directory;
  error.clear();
  directory = std::filesystem::current_path(error);
  if (error) return {};
  return directory;
}

}  // namespace platform::portable
