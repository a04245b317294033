// Export of a Teamcenter-managed part through NX's clone operation into a directory of the
// session temporary directory, and the search for the file that stands for the part among
// those the export wrote. One export of an assembly writes every member's file.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>

#include <uf_clone.h>
#include <NXOpen/BasePart.hxx>

namespace synquo {

// Upload resolves the traceable identifier with repairs; Display only reads it.
enum class ExportMode { Upload, Display };

// "upload" or "display", as log lines name the mode.
const char* exportModeText(ExportMode mode);

// Every regular file of an export directory with its last-write time, taken just before a
// clone, so files left by earlier exports are not taken for new ones.
using ExportDirectorySnapshot =
    std::map<std::filesystem::path, std::chrono::system_clock::time_point>;

// The exported file that stands for the part, or an empty path (logged). File-system errors
// of the directory walk (filesystem_error "recursive_directory_iterator::operator++") and
// errors of the traceability and temporary-directory layers propagate.
std::filesystem::path exportManagedClone(NXOpen::BasePart* part, ExportMode mode);

// The best new or rewritten supported file (".prt" before ".pdf", then the latest) whose
// lower-cased stem equals the lower-cased part number; empty when none, when the part
// number is empty or when the directory is missing. An empty snapshot makes every file new.
std::filesystem::path findExportedFileByPartNumber(const std::filesystem::path& directory,
                                                   const ExportDirectorySnapshot& snapshot,
                                                   const std::string& partNumber);

// The files of an export directory by lower-cased stem, each stem's file the one
// findExportedFileByPartNumber chooses with an empty snapshot: one walk answers many part
// numbers. Times are read only to choose between files of one kind, so a stem's only file of
// its best kind is taken even when its time cannot be read. Building it raises what that
// function's walk raises; a missing directory is empty.
class ExportDirectoryIndex {
 public:
  explicit ExportDirectoryIndex(const std::filesystem::path& directory);

  // Empty when no file matches or the part number is empty.
  std::filesystem::path find(const std::string& partNumber) const;

 private:
  // The file by its lower-case stem, as text: a large directory holds a file per member,
  // and a path object would also keep a list of its components.
  std::unordered_map<std::string, std::filesystem::path::string_type> files_;
};

// The newest new or rewritten regular file of any kind; empty when none.
std::filesystem::path findNewestExportedFile(const std::filesystem::path& directory,
                                             const ExportDirectorySnapshot& snapshot);

// Empty when the directory does not exist; an unreadable time is the smallest time.
ExportDirectorySnapshot snapshotExportDirectory(const std::filesystem::path& directory);

// Logs what NX reported in a naming-failures record after `call`.
void reportNamingFailures(const char* call, const UF_CLONE_naming_failures_t& failures);

}  // namespace synquo
