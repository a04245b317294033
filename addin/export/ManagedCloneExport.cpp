// The managed clone export: NX's clone operation into the part's export directory, then the
// search for the file that stands for the part.
#include "addin/export/ManagedCloneExport.h"

#include <exception>
#include <optional>
#include <string>
#include <system_error>

#include <uf.h>
#include <uf_clone.h>
#include <uf_part.h>
#include <uf_ugmgr.h>

#include "addin/export/ExportPath.h"
#include "addin/export/ExportSupport.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"
#include "addin/nx/UfScope.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/traceability/TraceableId.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;

std::string traceableIdFor(NXOpen::BasePart* part, ExportMode mode) {
  return mode == ExportMode::Upload ? uploadTraceableId(part) : displayTraceableId(part);
}

// Logs a non-zero status of a call whose failure does not end the export.
bool succeeded(const char* call, int status) {
  if (status == 0) return true;
  logging::warning(call, " failed with NX status ", status, ".");
  return false;
}

// Runs each clean-up step once, whatever the others raise; the first failure is raised
// after the last step.
class CleanupSteps {
 public:
  template <typename Step>
  void run(Step&& step) {
    try {
      step();
    } catch (...) {
      if (!first_) first_ = std::current_exception();
    }
  }
  void raiseFirst() const {
    if (first_) std::rethrow_exception(first_);
  }

 private:
  std::exception_ptr first_;
};

// The record is emptied before its arrays go back to NX, so none is released twice.
void releaseNamingFailures(UF_CLONE_naming_failures_t& failures) {
  const UF_CLONE_naming_failures_t held = failures;
  failures = UF_CLONE_naming_failures_t{0, nullptr, nullptr, nullptr};
  if (held.n_failures < 1) return;
  CleanupSteps steps;
  if (held.input_names != nullptr) {
    steps.run([&] { UF_free_string_array(held.n_failures, held.input_names); });
  }
  if (held.output_names != nullptr) {
    steps.run([&] { UF_free_string_array(held.n_failures, held.output_names); });
  }
  if (held.statuses != nullptr) steps.run([&] { UF_free(held.statuses); });
  steps.raiseFirst();
}

// One clone operation, opened by UF_CLONE_initialise; its records are released and the
// operation closed on every way out.
class CloneRun {
 public:
  CloneRun() = default;
  ~CloneRun() {
    try {
      finish();
    } catch (...) {
      // Nothing may escape a destructor.
    }
  }
  CloneRun(const CloneRun&) = delete;
  CloneRun& operator=(const CloneRun&) = delete;

  // Steps that end the export on failure return false.
  bool run(NXOpen::BasePart* part, const std::string& nxDirectory, std::string& partNumber) {
    char encoded[MAX_FSPEC_BUFSIZE] = {};
    int status = UF_PART_ask_part_name(part->Tag(), encoded);
    if (!succeeded("UF_PART_ask_part_name", status)) return false;

    char number[UF_UGMGR_PARTNO_BUFSIZE] = {};
    char revision[UF_UGMGR_PARTREV_BUFSIZE] = {};
    char fileType[UF_UGMGR_FTYPE_BUFSIZE] = {};
    char fileName[UF_UGMGR_FNAME_BUFSIZE] = {};
    status = UF_UGMGR_decode_part_file_name(encoded, number, revision, fileType, fileName);
    if (succeeded("UF_UGMGR_decode_part_file_name", status)) {
      partNumber = number;
      logging::debug("Decoded managed NX part name for export: part_number=\"", number,
                     "\" revision=\"", revision, "\" file_type=\"", fileType, "\" file_name=\"",
                     fileName, "\".");
    }

    if (!succeeded("UF_CLONE_initialise", UF_CLONE_initialise(UF_CLONE_export_operation))) {
      return false;
    }
    cloneOpen_ = true;
    if (!succeeded("UF_CLONE_init_naming_failures", UF_CLONE_init_naming_failures(&failures_))) {
      return false;
    }

    succeeded("UF_CLONE_set_def_action", UF_CLONE_set_def_action(UF_CLONE_overwrite));
    succeeded("UF_CLONE_set_def_directory", UF_CLONE_set_def_directory(nxDirectory.c_str()));
    succeeded("UF_CLONE_set_assoc_file_root_dir",
              UF_CLONE_set_assoc_file_root_dir(nxDirectory.c_str()));
    succeeded("UF_CLONE_set_family_treatment",
              UF_CLONE_set_family_treatment(UF_CLONE_strip_family_status));
    succeeded("UF_CLONE_set_def_naming", UF_CLONE_set_def_naming(UF_CLONE_naming_rule));

    char baseString[] = "";
    char newString[] = "${DB_PART_NO}";
    UF_CLONE_name_rule_def_t rule{UF_CLONE_rename, baseString, newString};
    succeeded("UF_CLONE_set_name_rule", UF_CLONE_set_name_rule(&rule, &failures_));
    reportAndRenew("UF_CLONE_set_name_rule");

    succeeded("UF_CLONE_set_dryrun", UF_CLONE_set_dryrun(false));

    const bool assembly = isAssemblyPart(part);
    logging::debug("Adding managed NX ", assembly ? "assembly" : "part",
                   " to UF_CLONE export: encoded_name=\"", encoded, "\".");
    if (assembly) {
      succeeded("UF_CLONE_add_assembly", UF_CLONE_add_assembly(encoded, &loadStatus_));
    } else {
      succeeded("UF_CLONE_add_part", UF_CLONE_add_part(encoded));
    }

    succeeded("UF_CLONE_apply_defaults", UF_CLONE_apply_defaults(&failures_));
    reportAndRenew("UF_CLONE_apply_defaults");

    succeeded("UF_CLONE_perform_clone", UF_CLONE_perform_clone(&failures_));
    reportNamingFailures("UF_CLONE_perform_clone", failures_);
    return true;
  }

  // Releases the records and closes the clone operation, each once, so that a release that
  // raises never keeps the operation open; idempotent.
  void finish() {
    CleanupSteps steps;
    if (loadStatus_.n_parts > 0) {
      UF_PART_load_status_t held = loadStatus_;
      loadStatus_ = UF_PART_load_status_t{false, false, 0, nullptr, nullptr};
      steps.run([&held] { UF_PART_free_load_status(&held); });
    }
    steps.run([this] { releaseNamingFailures(failures_); });
    if (cloneOpen_) {
      cloneOpen_ = false;
      steps.run([] { UF_CLONE_terminate(); });
    }
    steps.raiseFirst();
  }

 private:
  void reportAndRenew(const char* call) {
    reportNamingFailures(call, failures_);
    releaseNamingFailures(failures_);
    succeeded("UF_CLONE_init_naming_failures", UF_CLONE_init_naming_failures(&failures_));
  }

  bool cloneOpen_ = false;
  UF_CLONE_naming_failures_t failures_{0, nullptr, nullptr, nullptr};
  UF_PART_load_status_t loadStatus_{false, false, 0, nullptr, nullptr};
};

}  // namespace

const char* exportModeText(ExportMode mode) {
  return mode == ExportMode::Upload ? "upload" : "display";
}

fs::path exportManagedClone(NXOpen::BasePart* part, ExportMode mode) {
  const char* modeText = exportModeText(mode);
  if (part == nullptr) {
    logging::warning(
        "Managed NX export skipped because there is no displayed part: mode=", modeText, ".");
    return {};
  }
  const std::string label = partLogLabel(part);
  std::optional<nx::UfScope> scope;
  try {
    scope.emplace();
  } catch (...) {
    logging::error("Managed NX export failed while calling NX clone APIs: part=\"", label,
                   "\" mode=", modeText, " error=\"", exportExceptionText(), "\".");
    return {};
  }
  if (!scope->open()) {
    logging::warning("Managed NX export failed because UF_initialize returned status ",
                     scope->status(), ": part=\"", label, "\" mode=", modeText, ".");
    return {};
  }

  NXOpen::BasePart* displayed = displayedPart();
  const std::string traceableId = traceableIdFor(part, mode);
  const std::string displayedId = displayed == part ? traceableId : traceableIdFor(displayed, mode);
  const fs::path directory =
      sessionTempDirectory(displayedId) / platform::fromUtf8(sanitizeFileStem(traceableId));
  // The bracket's UF calls read UTF-8, so any name the file system holds reaches NX whole.
  const std::string nxDirectory = platform::toUtf8(directory);
  if (const std::error_code error = platform::os().createDirectories(directory)) {
    logging::warning(
        "Managed NX export failed because the export directory could not be created: part=\"",
        label, "\" mode=", modeText, " directory=\"", directory, "\" error=\"", osErrorText(error),
        "\".");
    return {};
  }
  const ExportDirectorySnapshot snapshot = snapshotExportDirectory(directory);
  logging::info("Starting managed NX export: part=\"", label, "\" mode=", modeText,
                " traceable_id=\"", traceableId, "\" directory=\"", directory, "\".");

  std::string partNumber;
  bool ended = false;
  {
    CloneRun clone;
    const auto logFailure = [&] {
      logging::error("Managed NX export failed while calling NX clone APIs: part=\"", label,
                     "\" mode=", modeText, " error=\"", exportExceptionText(), "\".");
    };
    try {
      ended = !clone.run(part, nxDirectory, partNumber);
    } catch (...) {
      logFailure();
    }
    try {
      clone.finish();
    } catch (...) {
      logFailure();
    }
  }
  scope->close();
  if (ended) return {};

  fs::path exported = findExportedFileByPartNumber(directory, snapshot, partNumber);
  if (exported.empty()) {
    logging::debug(
        "Managed NX export did not find a file matching the part number; using newest exported "
        "file: part=\"",
        label, "\" part_number=\"", partNumber, "\" directory=\"", directory, "\".");
    exported = findNewestExportedFile(directory, snapshot);
  }
  if (!exported.empty() && isSupportedUploadFile(exported)) {
    logging::info("Managed NX export complete: part=\"", label, "\" mode=", modeText,
                  " exported_file=\"", exported, "\".");
    return exported;
  }
  logging::warning("Managed NX export did not produce a supported upload file: part=\"", label,
                   "\" mode=", modeText, " directory=\"", directory, "\" decoded_part_number=\"",
                   partNumber, "\".");
  return {};
}

void reportNamingFailures(const char* call, const UF_CLONE_naming_failures_t& failures) {
  const int count = failures.n_failures;
  if (count <= 0) return;
  logging::warning(call, " reported ", count, " naming failure(s).");
  constexpr int kDetails = 5;
  for (int i = 0; i < count && i < kDetails; ++i) {
    const char* input = failures.input_names == nullptr ? nullptr : failures.input_names[i];
    const char* output = failures.output_names == nullptr ? nullptr : failures.output_names[i];
    const int status = failures.statuses == nullptr ? 0 : failures.statuses[i];
    logging::debug(call, " naming failure[", i, "]: input=\"", input == nullptr ? "" : input,
                   "\" output=\"", output == nullptr ? "" : output, "\" status=", status, ".");
  }
  if (count > kDetails) {
    logging::debug(call, " suppressed ", count - kDetails, " additional naming failure detail(s).");
  }
}

}  // namespace synquo
