// Everything known about the displayed model: read for the main dialog, and completed in
// place by the upload preparation, which exports the model and collects its files.
#pragma once

#include <vantel/vantel.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace synquo {

struct ModelMetadata {
  // Shown and uploaded; "No displayed part" when there is none.
  std::string fileName;
  // Bytes / 2^20; 0 when unknown.
  double sizeMegabytes = 0.0;
  // Local "%B %d, %Y - %I:%M %p"; "Unknown" when unknown.
  std::string lastModified;
  // UTC "%Y-%m-%dT%H:%M:%SZ"; empty when unknown.
  std::string lastModifiedUtc;
  // Name of the upload's parent file.
  std::optional<std::string> uploadName;
  // BasePart::FullPath (UTF-8); empty for a part never saved.
  std::string source;
  // The exported root file, or the cached display-mode clone export of a managed part.
  std::filesystem::path exportedFile;
  std::string sourceFileId;
  // Teamcenter revision id of a managed part, else "1".
  std::string revisionId;
  // Non-empty blocks the upload.
  std::string traceabilityError;
  std::string preparationError;
  bool isAssembly = false;
  bool familyInstance = false;
  // A legacy internal identifier without a valid SYNQUO_ID attribute.
  bool legacyIdentifier = false;
  bool managed = false;
  // The part or, outside drawing mode, an assembly member has unsaved changes.
  bool unsaved = false;
  // An assembly member is backed by a file other than .prt.
  bool unsupportedFileTypes = false;
  // What an upload sends; a record with a local file path counts as an uploaded file.
  std::vector<vantel::VantelUploadPayloadFile> files;
  // File names of collected records whose source file id another file also carries.
  std::vector<std::string> sharedIdentityFiles;
  // Read for the dialog's file list only: the source paths (UTF-8) of the model's parts with
  // unsaved changes and of the members an upload cannot carry, and in drawing mode the name
  // of the PDF the upload will print.
  std::vector<std::string> unsavedSources;
  std::vector<std::string> unsupportedSources;
  std::string drawingPdfName;
};

}  // namespace synquo
