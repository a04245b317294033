// Finding what a clone export wrote: a snapshot of the export directory before the clone, and
// the searches that take only files written or rewritten since.
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "addin/common/Text.h"
#include "addin/export/ExportPath.h"
#include "addin/export/ExportSupport.h"
#include "addin/export/ManagedCloneExport.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

struct ExportedFile {
  fs::path path;
  Clock::time_point written;
};

bool isDirectory(const fs::path& path) {
  platform::FileType type = platform::FileType::NotFound;
  return !platform::os().status(path, platform::Links::Follow, type) &&
         type == platform::FileType::Directory;
}

// Every entry below the directory that is a regular file, a link to one included.
std::vector<fs::path> regularFilesBelow(const fs::path& directory) {
  std::vector<platform::DirectoryEntry> entries;
  if (const std::error_code error =
          platform::os().walk(directory, platform::Depth::Everything, entries)) {
    throw fs::filesystem_error("recursive_directory_iterator::operator++", directory, error);
  }
  std::vector<fs::path> files;
  files.reserve(entries.size());
  for (platform::DirectoryEntry& entry : entries) {
    platform::FileType type = entry.type;
    if (type == platform::FileType::Link &&
        platform::os().status(entry.path, platform::Links::Follow, type)) {
      continue;
    }
    if (type == platform::FileType::Regular) files.push_back(std::move(entry.path));
  }
  return files;
}

std::optional<Clock::time_point> writeTime(const fs::path& path) {
  Clock::time_point when;
  if (platform::os().lastWriteTime(path, when)) return std::nullopt;
  return when;
}

// New or rewritten since the snapshot, with its time; none for an unreadable time.
std::optional<ExportedFile> newFile(const fs::path& path, const ExportDirectorySnapshot& snapshot) {
  const std::optional<Clock::time_point> written = writeTime(path);
  if (!written) return std::nullopt;
  const auto before = snapshot.find(path);
  if (before != snapshot.end() && before->second >= *written) return std::nullopt;
  return ExportedFile{path, *written};
}

// Lower values are preferred: the part file before its drawing, either before any other file.
constexpr int kNotUploaded = 9;

int extensionPreference(const std::string& lowerExtension) {
  if (lowerExtension == ".prt") return 0;
  if (lowerExtension == ".pdf") return 1;
  return kNotUploaded;
}

int exportFilePreference(const fs::path& path) {
  return extensionPreference(lowerCaseExtension(path));
}

std::string lowerCaseStem(const fs::path& path) {
  return toLowerAscii(fileNameStem(platform::toUtf8(path.filename())));
}

// What the index needs of a file's name, read once: its preference and, for a file that is
// uploaded, its lower-case stem.
struct IndexName {
  int preference = kNotUploaded;
  std::string stem;
};

IndexName indexName(const fs::path& path) {
  IndexName name;
  std::string text = platform::toUtf8(path.filename());
  const std::string extension = fileNameExtension(text);
  name.preference = extensionPreference(extension);
  if (name.preference == kNotUploaded) return name;
  text.resize(text.size() - extension.size());
  name.stem = toLowerAscii(text);
  return name;
}

// Strictly better only, so the first found wins a tie.
bool isBetterExport(const ExportedFile& candidate, const std::optional<ExportedFile>& best) {
  if (!best) return true;
  const int preference = exportFilePreference(candidate.path);
  const int bestPreference = exportFilePreference(best->path);
  return preference < bestPreference ||
         (preference == bestPreference && candidate.written > best->written);
}

}  // namespace

fs::path findExportedFileByPartNumber(const fs::path& directory,
                                      const ExportDirectorySnapshot& snapshot,
                                      const std::string& partNumber) {
  if (partNumber.empty() || !isDirectory(directory)) return {};
  const std::string wanted = toLowerAscii(partNumber);
  std::optional<ExportedFile> best;
  for (const fs::path& path : regularFilesBelow(directory)) {
    if (!isSupportedUploadFile(path)) continue;
    const std::optional<ExportedFile> candidate = newFile(path, snapshot);
    if (!candidate) continue;
    if (lowerCaseStem(path) != wanted) continue;
    if (isBetterExport(*candidate, best)) best = candidate;
  }
  return best ? best->path : fs::path();
}

// A large export directory holds a file per member, and a stat per file is most of the
// time a lookup costs: times are read only where two files of a stem share the best kind,
// the one place they decide. Each stem keeps the position of its file in the listing, and
// only the chosen files' texts are copied into the index.
ExportDirectoryIndex::ExportDirectoryIndex(const fs::path& directory) {
  if (!isDirectory(directory)) return;
  const std::vector<fs::path> paths = regularFilesBelow(directory);
  struct Chosen {
    std::size_t position;
    int preference;
    bool contested;
  };
  std::unordered_map<std::string, Chosen> best;
  best.reserve(paths.size());
  bool anyContested = false;
  for (std::size_t position = 0; position < paths.size(); ++position) {
    IndexName name = indexName(paths[position]);
    if (name.preference == kNotUploaded) continue;
    const auto [found, added] =
        best.try_emplace(std::move(name.stem), Chosen{position, name.preference, false});
    if (added) continue;
    Chosen& held = found->second;
    if (name.preference < held.preference) {
      held = Chosen{position, name.preference, false};
    } else if (name.preference == held.preference) {
      held.contested = anyContested = true;
    }
  }
  if (anyContested) {
    // The full rule, times included, for the contested stems alone.
    std::unordered_map<std::string, std::optional<ExportedFile>> timed;
    for (const auto& [stem, chosen] : best) {
      if (chosen.contested) timed.emplace(stem, std::nullopt);
    }
    for (const fs::path& path : paths) {
      const IndexName name = indexName(path);
      if (name.preference == kNotUploaded) continue;
      const auto stem = timed.find(name.stem);
      if (stem == timed.end()) continue;
      const std::optional<Clock::time_point> written = writeTime(path);
      if (written && isBetterExport(ExportedFile{path, *written}, stem->second)) {
        stem->second = ExportedFile{path, *written};
      }
    }
    for (auto& [stem, file] : timed) {
      if (file) {
        files_.emplace(stem, file->path.native());
      }
      best.erase(stem);
    }
  }
  files_.reserve(files_.size() + best.size());
  while (!best.empty()) {
    auto node = best.extract(best.begin());
    files_.emplace(std::move(node.key()), paths[node.mapped().position].native());
  }
}

fs::path ExportDirectoryIndex::find(const std::string& partNumber) const {
  if (partNumber.empty()) return {};
  const auto found = files_.find(toLowerAscii(partNumber));
  return found == files_.end() ? fs::path() : fs::path(found->second);
}

fs::path findNewestExportedFile(const fs::path& directory,
                                const ExportDirectorySnapshot& snapshot) {
  if (!isDirectory(directory)) return {};
  std::optional<ExportedFile> newest;
  for (const fs::path& path : regularFilesBelow(directory)) {
    const std::optional<ExportedFile> candidate = newFile(path, snapshot);
    if (candidate && (!newest || candidate->written > newest->written)) newest = candidate;
  }
  return newest ? newest->path : fs::path();
}

ExportDirectorySnapshot snapshotExportDirectory(const fs::path& directory) {
  ExportDirectorySnapshot snapshot;
  platform::FileType type = platform::FileType::NotFound;
  const std::error_code error = platform::os().status(directory, platform::Links::Follow, type);
  // A directory that cannot be examined is walked anyway, so the walk names the failure.
  if (!error && type == platform::FileType::NotFound) return snapshot;
  for (const fs::path& path : regularFilesBelow(directory)) {
    snapshot[path] = writeTime(path).value_or(Clock::time_point::min());
  }
  return snapshot;
}

}  // namespace synquo
