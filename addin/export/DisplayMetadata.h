// The two passes over the displayed model: reading what the main dialog shows (never
// writes to a part), and preparing an upload (may write SYNQUO_ID, exports the model and
// collects its files). Both run on NX's user-interface thread.
#pragma once

#include <vantel/vantel.h>
#include <NXOpen/BasePart.hxx>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "addin/export/ModelMetadata.h"

namespace synquo {

// Raises std::filesystem::filesystem_error ("file_size" / "last_write_time") when the saved
// file or the managed export cannot be examined.
ModelMetadata readDisplayMetadata();

// Completes the record in place for an upload. Raises std::runtime_error carrying the
// traceability error when one remains; what the export raises (a temporary directory that
// cannot be made, a path NX cannot be given) propagates with a text for the user.
void prepareUpload(ModelMetadata& metadata);

// Raises std::filesystem::filesystem_error("file_size").
std::uintmax_t fileSizeOf(const std::filesystem::path& path);

// "%B %d, %Y - %I:%M %p" in local time, and "%Y-%m-%dT%H:%M:%SZ" in UTC.
std::string formatLocalFileTime(std::chrono::system_clock::time_point when);
std::string formatUtcFileTime(std::chrono::system_clock::time_point when);

bool isModified(NXOpen::BasePart* part);
bool isFamilyInstance(NXOpen::BasePart* part);
// Teamcenter's configured revision id of a managed part; "1" otherwise or on any failure.
std::string revisionId(NXOpen::BasePart* part);

// The traceable identifier with its suffix: "_drawing" in drawing mode, "_" and the file
// name's stem for a family instance; empty for an empty identifier.
std::string sourceFileId(const std::string& traceableId, bool drawingMode, bool familyInstance,
                         const std::string& fileName);

// Megabytes of the record's local file, else its source file; none when that is not a regular
// file or its size cannot be read.
std::optional<double> recordSizeMegabytes(const vantel::VantelUploadPayloadFile& record);

// Megabytes of the records' local files (else their source files) that exist as regular files.
double totalSizeMegabytes(const std::vector<vantel::VantelUploadPayloadFile>& files);

// The latest last-write time among the records' local files and the exported file.
std::optional<std::chrono::system_clock::time_point> newestModification(
    const std::vector<vantel::VantelUploadPayloadFile>& files,
    const std::filesystem::path& exportedFile);

}  // namespace synquo
