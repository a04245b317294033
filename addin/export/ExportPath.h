// The single way one NX part becomes a file the add-in owns: which export applies (a drawing
// printed to PDF, a Teamcenter part cloned, a saved native part copied), the local copy
// itself, and the small classification and file-name rules the other exports share.
//
// Paths are std::filesystem::path; NX's texts (full paths, leaf names) are read as UTF-8 and
// turned into paths with platform::fromUtf8. Every call runs on NX's user-interface thread.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <NXOpen/BasePart.hxx>

namespace synquo {

// A Teamcenter name as NX decodes it. Exists only when decoding succeeded and the part
// number is not empty.
struct ManagedPartName {
  std::string partNumber;
  std::string revision;
  std::string fileType;
  std::string fileName;
};

// Exports the part for an upload; sourcePath is its BasePart::FullPath (empty for a part
// never saved). Returns the exported file, always inside the session temporary directory,
// or an empty path when nothing was exported (logged). Errors of the local copy and of
// the session temporary directory propagate.
std::filesystem::path exportModelFile(NXOpen::BasePart* part, const std::string& sourcePath);

// Copies a saved native part file into the session temporary directory of the displayed
// part and returns the copy; a source that already is the destination is not copied. A file
// of the same name from another folder, copied earlier into the same session directory,
// keeps its copy: this one goes into a numbered subfolder under its own name.
// A failed copy is logged and raised as std::filesystem::filesystem_error("copy_file"), a
// subfolder that cannot be made as filesystem_error("create_directories").
std::filesystem::path copyLocalSource(const std::string& sourcePath);

std::optional<ManagedPartName> decodeManagedPartName(NXOpen::BasePart* part);
bool isManagedPart(NXOpen::BasePart* part);

// NX shows the drafting application (module 1); asked anew each time.
bool isDraftingApplication();

// Not empty, exists and is a regular file; a path that cannot be examined is not usable.
bool isUsableLocalFile(const std::filesystem::path& path);
bool isUsableLocalFile(const std::string& utf8Path);

// A Part whose root component has at least one child; any NX failure gives false.
bool isAssemblyPart(NXOpen::BasePart* part);

// Each of " * / : < > ? \ | becomes "_"; an empty text gives "managed"; a text of dots
// alone has each dot replaced by "_", so the result never names "." or "..".
std::string sanitizeFileStem(const std::string& text);

// The name a file is uploaded under: the exported file's name, else the source's file name
// when it has an extension, else the part's leaf name. None for a null part or when all
// are empty. UTF-8.
std::optional<std::string> uploadFileName(NXOpen::BasePart* part, const std::string& sourcePath,
                                          const std::filesystem::path& exportedFile);

// The last element's extension, lower-cased: ".pdf", respectively ".prt" or ".pdf".
bool isPdfPath(const std::filesystem::path& path);
bool isSupportedUploadFile(const std::filesystem::path& path);

// The last element's extension as the rules above read it, lower-cased: from its last dot
// to its end; empty without a dot, for a name whose only dot is its first character, and
// for "." and "..".
std::string lowerCaseExtension(const std::filesystem::path& path);

}  // namespace synquo
