// What brevin-sim calls in the preparation probe: a module built from the add-in's own code
// that runs, on the simulated NX session of the run, the two passes the main dialog and
// its upload button run (read the displayed model, then prepare its upload), without
// showing a dialog or calling the service. It is staged beside the add-in, so it reads the
// same properties and writes the same log.
#pragma once

namespace simprobe {

// Returns a JSON object (below) that the caller hands back to kFreeFunction:
//   "display":  what the main dialog would show (file_name, size_mb, last_modified,
//               source_file_id, is_assembly, files, unsaved, legacy_identifier,
//               traceability_error)
//   "prepared": the upload's record after preparation (file_name, upload_name,
//               source_file_id, revision_id, exported_file, is_assembly, size_mb,
//               preparation_error, traceability_error, files: [{local_file_path, filename,
//               source_file_path, source_file_id, autodiscover_model_id}])
//   "session_directory": the session temporary directory the exports went to, if any
//   "error": the text of what the preparation raised, if it raised
// Paths are UTF-8.
inline constexpr const char* kPrepareFunction = "brevin_probe_prepare_upload";
inline constexpr const char* kFreeFunction = "brevin_probe_free";
// Removes the probe's session temporary directory, as the add-in does when its dialog
// cycle ends (unless the properties retain temporary files).
inline constexpr const char* kCleanupFunction = "brevin_probe_cleanup";

extern "C" {
using PrepareFunction = char* (*)();
using FreeFunction = void (*)(char*);
using CleanupFunction = void (*)();
}

}  // namespace simprobe
