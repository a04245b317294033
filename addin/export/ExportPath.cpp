// Export path selection, the local source copy, and the classification of parts.
#include "addin/export/ExportPath.h"

#include <exception>
#include <system_error>

#include <uf.h>
#include <uf_part.h>
#include <uf_ugmgr.h>
#include <NXOpen/Assemblies_Component.hxx>
#include <NXOpen/Assemblies_ComponentAssembly.hxx>
#include <NXOpen/Part.hxx>

#include "addin/export/DrawingPdfExport.h"
#include "addin/export/ExportSupport.h"
#include "addin/export/LocalCopyDestinations.h"
#include "addin/export/ManagedCloneExport.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"
#include "addin/nx/NxText.h"
#include "addin/nx/UfScope.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/traceability/TraceableId.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;

}  // namespace

fs::path exportModelFile(NXOpen::BasePart* part, const std::string& sourcePath) {
  if (part == nullptr) {
    logging::warning("NX model export skipped because there is no displayed part.");
    return {};
  }
  // Named only when a line is written: an assembly's members copy without a debug line.
  const auto label = [part] { return partLogLabel(part); };
  if (isDraftingApplication()) {
    logging::info("NX export selected drawing PDF path: part=\"", label(), "\" source=\"",
                  sourcePath, "\".");
    return exportDrawingPdf(part, sourcePath);
  }
  if (isManagedPart(part)) {
    logging::info("NX export selected managed clone path: part=\"", label(), "\" source=\"",
                  sourcePath, "\".");
    return exportManagedClone(part, ExportMode::Upload);
  }
  if (isUsableLocalFile(sourcePath)) {
    if (logging::isLogLevelEnabled(logging::LogLevel::Debug)) {
      logging::debug("NX export selected local source copy path: part=\"", label(), "\" source=\"",
                     sourcePath, "\".");
    }
    return copyLocalSource(sourcePath);
  }
  logging::warning("NX export skipped because the local part has not been saved to disk: part=\"",
                   label(), "\" source=\"", sourcePath, "\".");
  return {};
}

fs::path copyLocalSource(const std::string& sourcePath) {
  if (sourcePath.empty()) {
    logging::warning("Local NX model export skipped because the source path is empty.");
    return {};
  }
  // Keyed by the displayed part, so every member of one upload lands in one directory.
  const fs::path directory = sessionTempDirectory(uploadTraceableId(displayedPart()));
  const fs::path source = platform::fromUtf8(sourcePath);
  const LocalCopyDestination claimed =
      claimLocalCopyDestination(directory, source, platform::fromUtf8(lastPathElement(sourcePath)));
  const fs::path& destination = claimed.path;

  if (claimed.isSource) {
    logging::debug("Local NX model export reused existing temp file: path=\"", destination, "\".");
    return destination;
  }
  if (claimed.keptApart) {
    logging::info("Local NX model export keeps a same-named file apart: source=\"", sourcePath,
                  "\" destination=\"", destination, "\".");
  }
  logging::debug("Copying local NX model for upload: source=\"", sourcePath, "\" destination=\"",
                 destination, "\".");
  try {
    if (claimed.keptApart) {
      const fs::path folder = destination.parent_path();
      if (const std::error_code error = platform::os().createDirectories(folder)) {
        throw fs::filesystem_error("create_directories", folder, error);
      }
    }
    if (const std::error_code error = platform::os().copyFile(source, destination)) {
      throw fs::filesystem_error("copy_file", source, destination, error);
    }
  } catch (const fs::filesystem_error& e) {
    logging::error("Local NX model export failed: source=\"", sourcePath, "\" destination=\"",
                   destination, "\" error=\"", osErrorText(e.code()), "\".");
    throw;
  } catch (...) {
    logging::error("Local NX model export failed: source=\"", sourcePath, "\" destination=\"",
                   destination, "\" error=\"", exportExceptionText(), "\".");
    throw;
  }
  logging::debug("Local NX model export complete: destination=\"", destination, "\".");
  return destination;
}

std::optional<ManagedPartName> decodeManagedPartName(NXOpen::BasePart* part) {
  if (part == nullptr) return std::nullopt;
  try {
    nx::UfScope scope;
    if (!scope.open()) return std::nullopt;
    char encoded[MAX_FSPEC_BUFSIZE] = {};
    if (UF_PART_ask_part_name(part->Tag(), encoded) != 0) return std::nullopt;
    char number[UF_UGMGR_PARTNO_BUFSIZE] = {};
    char revision[UF_UGMGR_PARTREV_BUFSIZE] = {};
    char fileType[UF_UGMGR_FTYPE_BUFSIZE] = {};
    char fileName[UF_UGMGR_FNAME_BUFSIZE] = {};
    if (UF_UGMGR_decode_part_file_name(encoded, number, revision, fileType, fileName) != 0 ||
        number[0] == '\0') {
      return std::nullopt;
    }
    return ManagedPartName{number, revision, fileType, fileName};
  } catch (...) {
    return std::nullopt;
  }
}

bool isManagedPart(NXOpen::BasePart* part) {
  if (part == nullptr) return false;
  if (decodeManagedPartName(part)) return true;
  // The file system is asked only for the debug line: a walk classifies every member.
  if (!logging::isLogLevelEnabled(logging::LogLevel::Debug)) return false;
  std::string fullPath;
  try {
    fullPath = nx::utf8(part->FullPath());
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
  try {
    nx::UfScope scope;
    if (!scope.open()) return false;
    int module = 0;
    return UF_ask_application_module(&module) == 0 && module == UF_APP_DRAFTING;
  } catch (...) {
    return false;
  }
}

bool isUsableLocalFile(const fs::path& path) {
  if (path.empty()) return false;
  platform::FileType type = platform::FileType::NotFound;
  if (platform::os().status(path, platform::Links::Follow, type)) return false;
  return type == platform::FileType::Regular;
}

bool isUsableLocalFile(const std::string& utf8Path) {
  if (utf8Path.empty()) return false;
  try {
    return isUsableLocalFile(platform::fromUtf8(utf8Path));
  } catch (const std::exception&) {
    return false;
  }
}

bool isAssemblyPart(NXOpen::BasePart* part) {
  try {
    auto* asPart = dynamic_cast<NXOpen::Part*>(part);
    if (asPart == nullptr) return false;
    NXOpen::Assemblies::ComponentAssembly* assembly = asPart->ComponentAssembly();
    if (assembly == nullptr) return false;
    NXOpen::Assemblies::Component* root = assembly->RootComponent();
    return root != nullptr && !root->GetChildren().empty();
  } catch (...) {
    return false;
  }
}

}  // namespace synquo
