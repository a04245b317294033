// TEMPORARY: stand-ins for the export path selection, the clone export and the drawing PDF
// that are being written on another branch, so this branch links and its tests run. Only
// the small rules are complete; exportManagedClone and exportDrawingPdf export nothing.
// Dropped when the real ones are merged.
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "addin/common/Text.h"
#include "addin/export/DrawingPdfExport.h"
#include "addin/export/ExportPath.h"
#include "addin/export/ManagedCloneExport.h"
#include "addin/export/UfScope.h"
#include "addin/host/Nx.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/traceability/TraceableId.h"

namespace fs = std::filesystem;

namespace synquo {
namespace {

host::BasePart* displayedPartOrNull() {
  try {
    host::Session* session = host::nx().GetSession();
    host::PartCollection* parts = session == nullptr ? nullptr : session->Parts();
    return parts == nullptr ? nullptr : parts->BaseDisplay();
  } catch (...) {
    return nullptr;
  }
}

std::string lastElement(const std::string& text) {
  const size_t at = text.find_last_of("/\\");
  return at == std::string::npos ? text : text.substr(at + 1);
}

}  // namespace

const char* exportModeText(ExportMode mode) {
  return mode == ExportMode::Upload ? "upload" : "display";
}

fs::path exportManagedClone(host::BasePart*, ExportMode) { return fs::path(); }

fs::path exportDrawingPdf(host::BasePart*, const std::string&) { return fs::path(); }

fs::path exportModelFile(host::BasePart* part, const std::string& sourcePath) {
  if (part == nullptr) {
    logging::warning("NX model export skipped because there is no displayed part.");
    return fs::path();
  }
  if (isDraftingApplication()) {
    logging::info("NX export selected drawing PDF path: part=\"", partLogLabel(part),
                  "\" source=\"", sourcePath, "\".");
    return exportDrawingPdf(part, sourcePath);
  }
  if (isManagedPart(part)) {
    logging::info("NX export selected managed clone path: part=\"", partLogLabel(part),
                  "\" source=\"", sourcePath, "\".");
    return exportManagedClone(part, ExportMode::Upload);
  }
  if (isUsableLocalFile(sourcePath)) {
    logging::debug("NX export selected local source copy path: part=\"", partLogLabel(part),
                   "\" source=\"", sourcePath, "\".");
    return copyLocalSource(sourcePath);
  }
  logging::warning("NX export skipped because the local part has not been saved to disk: part=\"",
                   partLogLabel(part), "\" source=\"", sourcePath, "\".");
  return fs::path();
}

fs::path copyLocalSource(const std::string& sourcePath) {
  if (sourcePath.empty()) {
    logging::warning("Local NX model export skipped because the source path is empty.");
    return fs::path();
  }
  const fs::path directory = sessionTempDirectory(uploadTraceableId(displayedPartOrNull()));
  const fs::path source = platform::fromUtf8(sourcePath);
  const fs::path destination = directory / platform::fromUtf8(lastElement(sourcePath));
  if (source.lexically_normal() == destination.lexically_normal()) {
    logging::debug("Local NX model export reused existing temp file: path=\"", destination, "\".");
    return destination;
  }
  logging::debug("Copying local NX model for upload: source=\"", sourcePath, "\" destination=\"",
                 destination, "\".");
  const std::error_code error = platform::os().copyFile(source, destination);
  if (error) {
    const fs::filesystem_error failure("copy_file", source, destination, error);
    logging::error("Local NX model export failed: source=\"", sourcePath, "\" destination=\"",
                   destination, "\" error=\"", failure.what(), "\".");
    throw failure;
  }
  logging::debug("Local NX model export complete: destination=\"", destination, "\".");
  return destination;
}

std::optional<ManagedPartName> decodeManagedPartName(host::BasePart* part) {
  if (part == nullptr) return std::nullopt;
  try {
    UfScope uf;
    if (!uf.ok()) return std::nullopt;
    char encoded[host::MAX_FSPEC_BUFSIZE] = {};
    if (uf.uf().UF_PART_ask_part_name(part->Tag(), encoded) != 0) return std::nullopt;
    char number[host::UF_UGMGR_PARTNO_BUFSIZE] = {};
    char revision[host::UF_UGMGR_PARTREV_BUFSIZE] = {};
    char type[host::UF_UGMGR_FTYPE_BUFSIZE] = {};
    char name[host::UF_UGMGR_FNAME_BUFSIZE] = {};
    if (uf.uf().UF_UGMGR_decode_part_file_name(encoded, number, revision, type, name) != 0 ||
        number[0] == '\0') {
      return std::nullopt;
    }
    return ManagedPartName{number, revision, type, name};
  } catch (...) {
    return std::nullopt;
  }
}

bool isManagedPart(host::BasePart* part) {
  if (part == nullptr) return false;
  if (decodeManagedPartName(part)) return true;
  std::string fullPath;
  try {
    fullPath = part->FullPath();
  } catch (...) {
  }
  if (!isUsableLocalFile(fullPath)) {
    logging::debug(
        "NX part has no usable local source and did not decode as Teamcenter-managed; treating "
        "as local unsaved part: part=\"",
        partLogLabel(part), "\" source=\"", fullPath, "\".");
  }
  return false;
}

bool isDraftingApplication() {
  UfScope uf;
  if (!uf.ok()) return false;
  int module = 0;
  return uf.uf().UF_ask_application_module(&module) == 0 && module == host::UF_APP_DRAFTING;
}

bool isUsableLocalFile(const fs::path& path) {
  if (path.empty()) return false;
  platform::FileType type = platform::FileType::NotFound;
  return !platform::os().status(path, platform::Links::Follow, type) &&
         type == platform::FileType::Regular;
}

bool isUsableLocalFile(const std::string& utf8Path) {
  if (utf8Path.empty()) return false;
  try {
    return isUsableLocalFile(platform::fromUtf8(utf8Path));
  } catch (...) {
    return false;
  }
}

bool isAssemblyPart(host::BasePart* part) {
  try {
    auto* asPart = dynamic_cast<host::Part*>(part);
    if (asPart == nullptr) return false;
    host::Assemblies::ComponentAssembly* assembly = asPart->ComponentAssembly();
    if (assembly == nullptr) return false;
    host::Assemblies::Component* root = assembly->RootComponent();
    return root != nullptr && !root->GetChildren().empty();
  } catch (...) {
    return false;
  }
}

std::string sanitizeFileStem(const std::string& text) {
  if (text.empty()) return "managed";
  std::string result = text;
  for (char& c : result) {
    if (std::strchr("\"*/:<>?\\|", c) != nullptr && c != '\0') c = '_';
  }
  return result;
}

std::optional<std::string> uploadFileName(host::BasePart* part, const std::string& sourcePath,
                                          const fs::path& exportedFile) {
  if (part == nullptr) return std::nullopt;
  const std::string exported = platform::toUtf8(exportedFile.filename());
  if (!exported.empty()) return exported;
  const std::string source = lastElement(sourcePath);
  if (!source.empty() && !lowerCaseExtension(fs::path(source)).empty()) return source;
  std::string leaf;
  try {
    leaf = part->Leaf();
  } catch (...) {
  }
  if (!leaf.empty()) return leaf;
  return std::nullopt;
}

bool isPdfPath(const fs::path& path) { return lowerCaseExtension(path) == ".pdf"; }

bool isSupportedUploadFile(const fs::path& path) {
  const std::string extension = lowerCaseExtension(path);
  return extension == ".prt" || extension == ".pdf";
}

std::string lowerCaseExtension(const fs::path& path) {
  const std::string name = lastElement(platform::toUtf8(path));
  if (name == "." || name == "..") return std::string();
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return std::string();
  return toLowerAscii(name.substr(dot));
}

fs::path findExportedFileByPartNumber(const fs::path& directory,
                                      const ExportDirectorySnapshot& snapshot,
                                      const std::string& partNumber) {
  platform::FileType type = platform::FileType::NotFound;
  if (partNumber.empty() || platform::os().status(directory, platform::Links::Follow, type) ||
      type != platform::FileType::Directory) {
    return fs::path();
  }
  std::vector<platform::DirectoryEntry> entries;
  if (const std::error_code error =
          platform::os().walk(directory, platform::Depth::Everything, entries)) {
    throw fs::filesystem_error("recursive_directory_iterator::operator++", directory, error);
  }
  const std::string wanted = toLowerAscii(partNumber);
  fs::path best;
  std::string bestPreference;
  std::chrono::system_clock::time_point bestTime;
  for (const platform::DirectoryEntry& entry : entries) {
    platform::FileType followed = platform::FileType::NotFound;
    if (platform::os().status(entry.path, platform::Links::Follow, followed) ||
        followed != platform::FileType::Regular || !isSupportedUploadFile(entry.path)) {
      continue;
    }
    std::chrono::system_clock::time_point when;
    if (platform::os().lastWriteTime(entry.path, when)) continue;
    auto known = snapshot.find(entry.path);
    if (known != snapshot.end() && known->second >= when) continue;
    if (toLowerAscii(platform::toUtf8(entry.path.stem())) != wanted) continue;
    const std::string preference = lowerCaseExtension(entry.path) == ".prt" ? "0" : "1";
    if (best.empty() || preference < bestPreference ||
        (preference == bestPreference && when > bestTime)) {
      best = entry.path;
      bestPreference = preference;
      bestTime = when;
    }
  }
  return best;
}

}  // namespace synquo
