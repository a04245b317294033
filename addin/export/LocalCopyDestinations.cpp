// The record of which source owns which copy in the current session directory.
#include "addin/export/LocalCopyDestinations.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace synquo {
namespace {

namespace fs = std::filesystem;

// Only one session directory is current at a time (another key discards the previous one),
// so the record of the current one is all there is to keep. Paths are kept as their normal
// form's text: a large assembly claims once per member.
struct Ledger {
  fs::path directory;
  std::unordered_map<fs::path::string_type, LocalCopyDestination> destinationOf;  // by source
  std::unordered_set<fs::path::string_type> taken;  // every copy's path
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
  fs::path::string_type key = source.lexically_normal().native();
  if (const auto known = l.destinationOf.find(key); known != l.destinationOf.end()) {
    return known->second;
  }
  // A part opened from one of the copies is its own destination.
  if (l.taken.count(key) != 0) return {source, false, true};
  LocalCopyDestination claimed{sessionDirectory / fileName, false};
  fs::path::string_type taken = claimed.path.lexically_normal().native();
  for (int n = 1; l.taken.count(taken) != 0; ++n) {
    claimed = {sessionDirectory / fs::path(std::to_string(n)) / fileName, true};
    taken = claimed.path.lexically_normal().native();
  }
  claimed.isSource = taken == key;
  l.taken.insert(std::move(taken));
  l.destinationOf.emplace(std::move(key), claimed);
  return claimed;
}

}  // namespace synquo
