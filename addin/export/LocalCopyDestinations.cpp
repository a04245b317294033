// The record of which source owns which copy in the current session directory.
#include "addin/export/LocalCopyDestinations.h"

#include <map>
#include <set>
#include <string>

namespace synquo {
namespace {

namespace fs = std::filesystem;

// Only one session directory is current at a time (another key discards the previous one),
// so the record of the current one is all there is to keep.
struct Ledger {
  fs::path directory;
  std::map<fs::path, LocalCopyDestination> destinationOf;  // source -> its copy
  std::set<fs::path> taken;                                // every copy's path
};

Ledger& ledger() {
  static Ledger instance;
  return instance;
}

}  // namespace

LocalCopyDestination claimLocalCopyDestination(const fs::path& sessionDirectory,
                                               const fs::path& source, const fs::path& fileName) {
  Ledger& l = ledger();
  if (l.directory != sessionDirectory) l = Ledger{sessionDirectory, {}, {}};
  const fs::path key = source.lexically_normal();
  if (const auto known = l.destinationOf.find(key); known != l.destinationOf.end()) {
    return known->second;
  }
  // A part opened from one of the copies is its own destination.
  if (l.taken.count(key) != 0) return {source, false};
  LocalCopyDestination claimed{sessionDirectory / fileName, false};
  for (int n = 1; l.taken.count(claimed.path.lexically_normal()) != 0; ++n) {
    claimed = {sessionDirectory / fs::path(std::to_string(n)) / fileName, true};
  }
  l.destinationOf[key] = claimed;
  l.taken.insert(claimed.path.lexically_normal());
  return claimed;
}

}  // namespace synquo
