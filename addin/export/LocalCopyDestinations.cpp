// The record of which source owns which copy in the current session directory.
#include "addin/export/LocalCopyDestinations.h"

#include <string>
#include <unordered_map>

#include "addin/platform/PathKey.h"
#include "addin/platform/Platform.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using Key = fs::path::string_type;

// Only one session directory is current at a time (another key discards the previous one),
// so the record of the current one is all there is to keep. Sources are keyed as spelled,
// so a large assembly resolves each member once; copies are keyed as the file system names
// them, so a source reached under another spelling (a short name, a link, another case) is
// still known for the copy it is.
struct Ledger {
  fs::path directory;
  fs::path resolvedDirectory;  // the directory itself when it cannot be resolved
  Key resolvedDirectoryKey;
  std::unordered_map<Key, LocalCopyDestination> destinationOf;  // by source, as spelled
  std::unordered_map<Key, LocalCopyDestination> taken;          // every copy, by its path resolved
  std::unordered_map<Key, fs::path> resolvedFolderOf;           // by folder, as spelled
};

Ledger& ledger() {
  static Ledger instance;
  return instance;
}

// Empty when the file system cannot be asked.
fs::path resolved(const fs::path& path) {
  fs::path out;
  if (path.empty() || platform::os().weaklyCanonical(path, out)) return {};
  return out;
}

// A name Windows may have shortened ("BRACKE~1.PRT") only resolves through the file itself.
bool mayBeShortName(const fs::path& name) {
  return name.native().find(fs::path::value_type('~')) != fs::path::string_type::npos;
}

// Resolving a path asks the file system about every folder on it, so the members of one
// folder share their folder's answer and the file itself is only asked whether it is a link.
fs::path resolvedSource(Ledger& l, const fs::path& source) {
  const fs::path name = source.filename();
  const fs::path folder = source.parent_path();
  if (name.empty() || name == "." || name == ".." || folder.empty() || mayBeShortName(name)) {
    return resolved(source);
  }
  platform::FileType type = platform::FileType::NotFound;
  if (platform::os().status(source, platform::Links::DoNotFollow, type) ||
      type == platform::FileType::Link) {
    return resolved(source);
  }
  Key folderKey = platform::pathKey(folder);
  auto known = l.resolvedFolderOf.find(folderKey);
  if (known == l.resolvedFolderOf.end()) {
    known = l.resolvedFolderOf.emplace(std::move(folderKey), resolved(folder)).first;
  }
  if (known->second.empty()) return {};
  return known->second / name;
}

bool isInside(const Key& path, Key directory) {
  if (directory.empty() || directory.back() != fs::path::preferred_separator) {
    directory.push_back(fs::path::preferred_separator);
  }
  return path.size() > directory.size() && path.compare(0, directory.size(), directory) == 0;
}

}  // namespace

LocalCopyDestination claimLocalCopyDestination(const fs::path& sessionDirectory,
                                               const fs::path& source, const fs::path& fileName) {
  Ledger& l = ledger();
  if (l.directory != sessionDirectory) {
    l = Ledger{sessionDirectory, resolved(sessionDirectory), {}, {}, {}, {}};
    if (l.resolvedDirectory.empty()) l.resolvedDirectory = sessionDirectory.lexically_normal();
    l.resolvedDirectoryKey = platform::pathKey(l.resolvedDirectory);
  }
  Key key = platform::pathKey(source);
  if (const auto known = l.destinationOf.find(key); known != l.destinationOf.end()) {
    return known->second;
  }
  const fs::path resolvedPath = resolvedSource(l, source);
  const Key sourceKey = resolvedPath.empty() ? Key() : platform::pathKey(resolvedPath);
  // A part opened from one of the copies is that copy, under any spelling.
  if (const auto copy = sourceKey.empty() ? l.taken.end() : l.taken.find(sourceKey);
      copy != l.taken.end()) {
    const LocalCopyDestination itself{copy->second.path, copy->second.keptApart, true};
    l.destinationOf.emplace(std::move(key), itself);
    return itself;
  }
  fs::path relative = fileName;
  bool keptApart = false;
  Key taken = platform::pathKey(l.resolvedDirectory / relative);
  for (int n = 1; l.taken.count(taken) != 0; ++n) {
    relative = fs::path(std::to_string(n)) / fileName;
    keptApart = true;
    taken = platform::pathKey(l.resolvedDirectory / relative);
  }
  LocalCopyDestination claimed{sessionDirectory / relative, keptApart};
  // Only a source inside the directory can be its copy; only then is the copy asked for.
  if (!sourceKey.empty() && isInside(sourceKey, l.resolvedDirectoryKey)) {
    const fs::path resolvedCopy = resolved(claimed.path);
    claimed.isSource = !resolvedCopy.empty() && platform::pathKey(resolvedCopy) == sourceKey;
  }
  l.taken.emplace(std::move(taken), claimed);
  l.destinationOf.emplace(std::move(key), claimed);
  return claimed;
}

}  // namespace synquo
