// The file-name rules of the exports: safe stems, upload names and the accepted extensions.
#include "addin/common/Text.h"
#include "addin/export/ExportPath.h"
#include "addin/export/ExportSupport.h"
#include "addin/nx/NxText.h"
#include "addin/platform/TextEncoding.h"

namespace synquo {

namespace fs = std::filesystem;

std::string sanitizeFileStem(const std::string& text) {
  if (text.empty()) return "managed";
  std::string stem = text;
  for (char& c : stem) {
    switch (c) {
      case '"':
      case '*':
      case '/':
      case ':':
      case '<':
      case '>':
      case '?':
      case '\\':
      case '|':
        c = '_';
        break;
      default:
        break;
    }
  }
  // A name of dots alone would be this directory or its parent, not a name of its own.
  if (stem.find_first_not_of('.') == std::string::npos) stem.assign(stem.size(), '_');
  return stem;
}

std::optional<std::string> uploadFileName(NXOpen::BasePart* part, const std::string& sourcePath,
                                          const fs::path& exportedFile) {
  if (part == nullptr) return std::nullopt;
  const std::string exported = platform::toUtf8(exportedFile.filename());
  if (!exported.empty()) return exported;
  const std::string sourceName = lastPathElement(sourcePath);
  if (!fileNameExtension(sourceName).empty()) return sourceName;
  try {
    const std::string leaf = nx::utf8(part->Leaf());
    if (!leaf.empty()) return leaf;
  } catch (...) {
    // A name NX cannot give is no name.
  }
  return std::nullopt;
}

std::string lowerCaseExtension(const fs::path& path) {
  return fileNameExtension(platform::toUtf8(path.filename()));
}

bool isPdfPath(const fs::path& path) { return lowerCaseExtension(path) == ".pdf"; }

bool isSupportedUploadFile(const fs::path& path) {
  const std::string extension = lowerCaseExtension(path);
  return extension == ".prt" || extension == ".pdf";
}

}  // namespace synquo
