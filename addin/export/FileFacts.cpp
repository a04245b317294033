// Sizes and modification times of the files the metadata describes, read through the OS
// seam, and their texts for the dialog and the service.
#include <iomanip>
#include <locale>
#include <sstream>
#include <system_error>

#include "addin/export/DisplayMetadata.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"

namespace fs = std::filesystem;

namespace synquo {
namespace {

constexpr double kBytesPerMegabyte = 1048576.0;

std::string formatTime(const std::tm& time, const char* format) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << std::put_time(&time, format);
  return out.str();
}

// A record's path that exists as a regular file itself (a link or junction does not count).
std::optional<fs::path> regularFile(const std::string& utf8Path) {
  if (utf8Path.empty()) return std::nullopt;
  try {
    fs::path path = platform::fromUtf8(utf8Path);
    platform::FileType type = platform::FileType::NotFound;
    if (platform::os().status(path, platform::Links::DoNotFollow, type) ||
        type != platform::FileType::Regular) {
      return std::nullopt;
    }
    return path;
  } catch (const std::system_error&) {
    return std::nullopt;
  }
}

}  // namespace

std::uintmax_t fileSizeOf(const fs::path& path) {
  std::uintmax_t size = 0;
  if (const std::error_code error = platform::os().fileSize(path, platform::Links::Follow, size)) {
    throw fs::filesystem_error("file_size", path, error);
  }
  return size;
}

std::string formatLocalFileTime(std::chrono::system_clock::time_point when) {
  return formatTime(platform::os().localTime(std::chrono::system_clock::to_time_t(when)),
                    "%B %d, %Y - %I:%M %p");
}

std::string formatUtcFileTime(std::chrono::system_clock::time_point when) {
  return formatTime(platform::os().utcTime(std::chrono::system_clock::to_time_t(when)),
                    "%Y-%m-%dT%H:%M:%SZ");
}

std::optional<double> recordSizeMegabytes(const vantel::VantelUploadPayloadFile& record) {
  const std::string& chosen =
      record.localFilePath.empty() ? record.sourceFilePath : record.localFilePath;
  if (chosen.empty()) return std::nullopt;
  std::uintmax_t size = 0;
  try {
    // One call: the path itself must be a regular file (a link or junction does not count).
    if (platform::os().fileSize(platform::fromUtf8(chosen), platform::Links::DoNotFollow, size)) {
      return std::nullopt;
    }
  } catch (const std::system_error&) {
    return std::nullopt;
  }
  return static_cast<double>(size) / kBytesPerMegabyte;
}

double totalSizeMegabytes(const std::vector<vantel::VantelUploadPayloadFile>& files) {
  double total = 0;
  for (const vantel::VantelUploadPayloadFile& record : files) {
    total += recordSizeMegabytes(record).value_or(0.0);
  }
  return total;
}

std::optional<std::chrono::system_clock::time_point> newestModification(
    const std::vector<vantel::VantelUploadPayloadFile>& files, const fs::path& exportedFile) {
  std::vector<std::optional<fs::path>> candidates;
  for (const vantel::VantelUploadPayloadFile& record : files) {
    candidates.push_back(regularFile(record.localFilePath));
  }
  candidates.push_back(regularFile(platform::toUtf8(exportedFile)));
  std::optional<std::chrono::system_clock::time_point> newest;
  for (const std::optional<fs::path>& path : candidates) {
    std::chrono::system_clock::time_point when;
    if (!path || platform::os().lastWriteTime(*path, when)) continue;
    if (!newest || when > *newest) newest = when;
  }
  return newest;
}

}  // namespace synquo
