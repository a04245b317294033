// The two passes over the displayed model: what the main dialog shows, and the upload's
// preparation, which decides whether the model is exported again and collects its files.
#include "addin/export/DisplayMetadata.h"

#include <stdexcept>
#include <utility>

#include "addin/export/AssemblyCollection.h"
#include "addin/export/DrawingPdfExport.h"
#include "addin/export/ExportPath.h"
#include "addin/export/ExportSupport.h"
#include "addin/export/ManagedCloneExport.h"
#include "addin/export/SharedIdentity.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"
#include "addin/nx/NxText.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/traceability/TraceabilityStatus.h"
#include "addin/traceability/TraceableId.h"

namespace fs = std::filesystem;

namespace synquo {
namespace {

constexpr double kBytesPerMegabyte = 1048576.0;

std::string leafOf(NXOpen::BasePart* part) {
  try {
    return nx::utf8(part->Leaf());
  } catch (...) {
    return std::string();
  }
}

// The source's file name, else the part's leaf name.
std::string sourceFileName(NXOpen::BasePart* part, const fs::path& source) {
  const std::string name = platform::toUtf8(source.filename());
  return name.empty() ? leafOf(part) : name;
}

fs::path parentOf(const fs::path& file) { return file.empty() ? fs::path() : file.parent_path(); }

size_t uploadedCount(const std::vector<vantel::VantelUploadPayloadFile>& files) {
  size_t count = 0;
  for (const vantel::VantelUploadPayloadFile& record : files) {
    if (!record.localFilePath.empty()) ++count;
  }
  return count;
}

std::chrono::system_clock::time_point lastWriteTimeOf(const fs::path& path) {
  std::chrono::system_clock::time_point when;
  if (const std::error_code error = platform::os().lastWriteTime(path, when)) {
    throw fs::filesystem_error("last_write_time", path, error);
  }
  return when;
}

// Size and both modification texts from one file; raises what the OS refuses.
void takeFileStats(ModelMetadata& m, const fs::path& file) {
  m.sizeMegabytes = static_cast<double>(fileSizeOf(file)) / kBytesPerMegabyte;
  const auto when = lastWriteTimeOf(file);
  m.lastModified = formatLocalFileTime(when);
  m.lastModifiedUtc = formatUtcFileTime(when);
}

bool unsavedModel(NXOpen::BasePart* part, bool drawing) {
  return isModified(part) || (!drawing && hasUnsavedChildren(part));
}

// The names and source file id of an upload, with the identifier that may repair the part.
void resolveUploadNames(ModelMetadata& m, NXOpen::BasePart* part, bool drawing) {
  m.uploadName = uploadFileName(part, m.source, m.exportedFile);
  m.fileName = m.uploadName.value_or(leafOf(part));
  m.sourceFileId =
      sourceFileId(uploadTraceableId(part), drawing, isFamilyInstance(part), m.fileName);
}

}  // namespace

ModelMetadata readDisplayMetadata() {
  ModelMetadata m;
  NXOpen::BasePart* part = displayedPart();
  if (part == nullptr) {
    m.fileName = "No displayed part";
    m.lastModified = "Unknown";
    logging::warning("NX metadata read found no displayed part.");
    return m;
  }
  const std::string label = partLogLabel(part);
  clearTraceabilityError();
  m.legacyIdentifier = legacyIdRequiresAttribute(part);
  const bool drawing = isDraftingApplication();
  const bool rootModified = isModified(part);
  m.unsaved = rootModified || (!drawing && hasUnsavedChildren(part));
  m.source = nx::utf8(part->FullPath());
  m.managed = isManagedPart(part);
  m.familyInstance = !drawing && isFamilyInstance(part);
  m.revisionId = revisionId(part);
  m.files.clear();
  logging::info("Reading NX display metadata: part=\"", label, "\" drawing=", drawing,
                " managed=", m.managed, " source=\"", m.source, "\".");

  if (!m.managed) {
    const fs::path source = m.source.empty() ? fs::path() : platform::fromUtf8(m.source);
    m.exportedFile.clear();
    m.fileName = sourceFileName(part, source);
    m.sourceFileId = sourceFileId(displayTraceableId(part), drawing, m.familyInstance, m.fileName);
    if (isUsableLocalFile(source)) {
      takeFileStats(m, source);
      logging::debug("NX display metadata read from local source: file_name=\"", m.fileName,
                     "\" source_file_id=\"", m.sourceFileId, "\" size_mb=", m.sizeMegabytes, ".");
    } else {
      m.lastModified = "Unknown";
      m.lastModifiedUtc.clear();
      logging::warning(
          "NX display metadata found a local part without a saved source file: part=\"", label,
          "\" source_file_id=\"", m.sourceFileId, "\" source=\"", m.source, "\".");
    }
  } else {
    m.exportedFile = exportManagedClone(part, ExportMode::Display);
    m.fileName = uploadFileName(part, m.source, m.exportedFile).value_or(leafOf(part));
    m.sourceFileId = sourceFileId(displayTraceableId(part), drawing, m.familyInstance, m.fileName);
    if (m.exportedFile.empty()) {
      logging::warning("Managed NX display metadata export produced no local clone: part=\"", label,
                       "\" source_file_id=\"", m.sourceFileId, "\".");
    }
    platform::FileType type = platform::FileType::NotFound;
    const std::error_code error =
        m.exportedFile.empty()
            ? std::error_code()
            : platform::os().status(m.exportedFile, platform::Links::Follow, type);
    if (!m.exportedFile.empty() && !error && type != platform::FileType::NotFound) {
      takeFileStats(m, m.exportedFile);
      logging::debug("NX display metadata read from managed export: file_name=\"", m.fileName,
                     "\" source_file_id=\"", m.sourceFileId, "\" exported_file=\"", m.exportedFile,
                     "\" size_mb=", m.sizeMegabytes, ".");
    } else {
      m.lastModified = "Unknown";
      logging::warning("NX display metadata could not read managed export file stats: part=\"",
                       label, "\" exported_file=\"", m.exportedFile, "\" error=\"",
                       osErrorText(error), "\".");
    }
  }
  if (!m.fileName.empty()) m.uploadName = m.fileName;

  if (rootModified) m.unsavedSources.push_back(m.source);
  if (drawing) {
    m.isAssembly = false;
    try {
      m.drawingPdfName = drawingPdfBaseName(part, m.source) + ".pdf";
    } catch (...) {
      // The name is only shown; the export names its file again and reports what fails.
    }
  } else {
    CollectedFiles collected =
        m.managed ? collectManagedUploadFiles(part, parentOf(m.exportedFile), ExportMode::Display)
                  : listAssemblyFiles(part);
    m.files = std::move(collected.files);
    m.isAssembly = collected.isAssembly;
    if (m.isAssembly && !m.files.empty()) {
      const double total = totalSizeMegabytes(m.files);
      if (total > 0) m.sizeMegabytes = total;
    }
    m.unsupportedFileTypes = hasUnsupportedChildSources(part);
    m.sharedIdentityFiles = findSharedIdentities(m.files);
    // Only a warning that shows needs its members named, so a clean model is walked no more.
    if (m.unsaved) {
      const std::vector<std::string> members = unsavedMemberSources(part);
      m.unsavedSources.insert(m.unsavedSources.end(), members.begin(), members.end());
    }
    if (m.unsupportedFileTypes) m.unsupportedSources = unsupportedMemberSources(part);
    if (m.managed && m.isAssembly && !m.files.empty()) {
      if (const auto newest = newestModification(m.files, m.exportedFile)) {
        m.lastModified = formatLocalFileTime(*newest);
        m.lastModifiedUtc = formatUtcFileTime(*newest);
      }
    }
  }
  m.traceabilityError = traceabilityError();
  logging::info("NX display metadata ready: file_name=\"", m.fileName, "\" source_file_id=\"",
                m.sourceFileId, "\" drawing=", drawing, " managed=", m.managed,
                " unsaved=", m.unsaved, " is_assembly=", m.isAssembly,
                " unsupported_file_types=", m.unsupportedFileTypes, " files=", m.files.size(),
                " uploaded_files=", uploadedCount(m.files), " exported_file=\"", m.exportedFile,
                "\".");
  return m;
}

void prepareUpload(ModelMetadata& m) {
  NXOpen::BasePart* part = displayedPart();
  if (part == nullptr) {
    logging::warning("NX upload preparation skipped because there is no displayed part.");
    return;
  }
  const std::string label = partLogLabel(part);
  m.source = nx::utf8(part->FullPath());
  m.preparationError.clear();
  const bool drawing = isDraftingApplication();
  const bool managed = isManagedPart(part);
  m.managed = managed;
  m.unsaved = unsavedModel(part, drawing);
  m.unsupportedFileTypes = !drawing && hasUnsupportedChildSources(part);
  clearTraceabilityError();
  clearTraceabilityChanged();
  logging::info("Preparing NX upload files: part=\"", label, "\" drawing=", drawing,
                " managed=", managed, " unsaved=", m.unsaved, " cached_export=\"", m.exportedFile,
                "\" source=\"", m.source, "\".");
  resolveUploadNames(m, part, drawing);

  if (!drawing && !managed && !isUsableLocalFile(m.source)) {
    m.preparationError = "Save the NX file before uploading to Synquo.";
    m.exportedFile.clear();
    m.files.clear();
    m.sharedIdentityFiles.clear();
    logging::warning(
        "NX upload preparation stopped because the native model has no saved local source "
        "file: part=\"",
        label, "\" source=\"", m.source, "\".");
    return;
  }

  const bool changed = managed && traceabilityChanged() && traceabilityError().empty();
  const char* reason = nullptr;
  if (drawing) {
    reason = "drawing";
  } else if (managed && !m.exportedFile.empty() && !changed) {
    reason = "cached_managed_export";
  } else if (!managed) {
    reason = "local_source";
  } else if (m.exportedFile.empty()) {
    reason = "missing_cached_managed_export";
  } else {
    reason = "traceability_changed";
  }
  if (std::string(reason) == "cached_managed_export") {
    logging::info("Reusing cached managed NX export before upload: exported_file=\"",
                  m.exportedFile, "\".");
  } else {
    logging::info("Running NX export before upload: reason=", reason, " part=\"", label, "\".");
    m.exportedFile = exportModelFile(part, m.source);
    if (!m.exportedFile.empty()) {
      logging::info("NX export before upload complete: reason=", reason, " exported_file=\"",
                    m.exportedFile, "\".");
    } else {
      logging::warning("NX export before upload produced no root file: reason=", reason, " part=\"",
                       label, "\".");
    }
    resolveUploadNames(m, part, drawing);
  }

  if (isPdfPath(m.exportedFile)) {
    m.isAssembly = false;
    m.files.clear();
  } else if (managed) {
    CollectedFiles collected =
        collectManagedUploadFiles(part, parentOf(m.exportedFile), ExportMode::Upload);
    m.files = std::move(collected.files);
    m.isAssembly = collected.isAssembly;
  } else {
    CollectedFiles collected = collectLocalUploadFiles(part);
    m.files = std::move(collected.files);
    m.isAssembly = collected.isAssembly;
    if (uploadedCount(m.files) > 0) m.sizeMegabytes = totalSizeMegabytes(m.files);
  }
  m.sharedIdentityFiles = findSharedIdentities(m.files);
  m.traceabilityError = traceabilityError();
  logging::info("Prepared NX upload files: file_name=\"", m.fileName, "\" source_file_id=\"",
                m.sourceFileId, "\" drawing=", drawing, " managed=", managed,
                " is_assembly=", m.isAssembly, " exported_file=\"", m.exportedFile,
                "\" files=", m.files.size(), " uploaded_files=", uploadedCount(m.files), ".");
  if (!m.traceabilityError.empty()) throw std::runtime_error(m.traceabilityError);
}

}  // namespace synquo
