// Where local copies land in a session directory: each distinct source keeps the destination
// it first got, so two files of the same name from different folders never overwrite each
// other; the later one goes into a numbered subfolder ("1", "2", ...) under its own name.
#pragma once

#include <filesystem>

namespace synquo {

struct LocalCopyDestination {
  std::filesystem::path path;
  bool keptApart = false;  // in a numbered subfolder, because the plain name was taken
  bool isSource = false;   // the same file as the source, both resolved by the file system
};

// The destination for copying `source` as `fileName` into `sessionDirectory`, recorded as
// that source's own. Paths are compared as the file system compares them (without case on
// Windows), after the OS has resolved them (links, short names), so two names of one file
// are one destination. A session directory not seen before starts with nothing recorded.
// UI thread only.
LocalCopyDestination claimLocalCopyDestination(const std::filesystem::path& sessionDirectory,
                                               const std::filesystem::path& source,
                                               const std::filesystem::path& fileName);

}  // namespace synquo
