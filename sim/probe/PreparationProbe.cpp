// The preparation probe: the add-in's display and upload passes, called by brevin-sim.
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "addin/common/CurrentException.h"
#include "addin/export/DisplayMetadata.h"
#include "addin/platform/TextEncoding.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/temp/SessionTempDirectory.h"
#include "sim/probe/PreparationProbeAbi.h"

#if defined(_WIN32)
#define PROBE_EXPORT extern "C" __declspec(dllexport)
#else
#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

json filesOf(const synquo::ModelMetadata& m) {
  json files = json::array();
  for (const auto& f : m.files) {
    json file = {{"local_file_path", f.localFilePath},
                 {"filename", f.filename},
                 {"source_file_path", f.sourceFilePath},
                 {"source_file_id", f.sourceFileId}};
    if (f.autodiscoverModelId) file["autodiscover_model_id"] = *f.autodiscoverModelId;
    files.push_back(file);
  }
  return files;
}

json displayOf(const synquo::ModelMetadata& m) {
  return {{"file_name", m.fileName},
          {"size_mb", m.sizeMegabytes},
          {"last_modified", m.lastModified},
          {"source_file_id", m.sourceFileId},
          {"is_assembly", m.isAssembly},
          {"files", m.files.size()},
          {"unsaved", m.unsaved},
          {"legacy_identifier", m.legacyIdentifier},
          {"traceability_error", m.traceabilityError}};
}

json preparedOf(const synquo::ModelMetadata& m) {
  return {{"file_name", m.fileName},
          {"upload_name", m.uploadName.value_or("")},
          {"source_file_id", m.sourceFileId},
          {"revision_id", m.revisionId},
          {"exported_file", platform::toUtf8(m.exportedFile)},
          {"is_assembly", m.isAssembly},
          {"size_mb", m.sizeMegabytes},
          {"preparation_error", m.preparationError},
          {"traceability_error", m.traceabilityError},
          {"files", filesOf(m)}};
}

// The "synquo-" directory right below the temporary base that holds the path, if any.
std::optional<fs::path> sessionDirectoryOf(const fs::path& path) {
  std::optional<fs::path> base = synquo::sessionTempBaseDirectory();
  if (!base || path.empty()) return std::nullopt;
  // "/tmp/" and "/tmp" are one directory.
  fs::path directory = base->lexically_normal();
  if (!directory.has_filename()) directory = directory.parent_path();
  for (fs::path p = path.lexically_normal(); p.has_relative_path() && p != p.parent_path();
       p = p.parent_path()) {
    if (p.parent_path() == directory &&
        p.filename().u8string().rfind(synquo::kSessionTempPrefix, 0) == 0) {
      return p;
    }
  }
  return std::nullopt;
}

char* copied(const std::string& text) {
  char* out = static_cast<char*>(std::malloc(text.size() + 1));
  if (out != nullptr) std::memcpy(out, text.c_str(), text.size() + 1);
  return out;
}

}  // namespace

PROBE_EXPORT char* brevin_probe_prepare_upload() {
  json result = json::object();
  try {
    synquo::loadSettings();
    synquo::ModelMetadata m = synquo::readDisplayMetadata();
    result["display"] = displayOf(m);
    try {
      synquo::prepareUpload(m);
    } catch (...) {
      result["error"] = synquo::currentExceptionText();
    }
    result["prepared"] = preparedOf(m);
    std::optional<fs::path> session = sessionDirectoryOf(m.exportedFile);
    for (const auto& f : m.files) {
      if (!session) session = sessionDirectoryOf(platform::fromUtf8(f.localFilePath));
    }
    if (session) result["session_directory"] = platform::toUtf8(*session);
  } catch (...) {
    result["error"] = synquo::currentExceptionText();
  }
  return copied(result.dump(-1, ' ', false, json::error_handler_t::replace));
}

PROBE_EXPORT void brevin_probe_free(char* text) { std::free(text); }

PROBE_EXPORT void brevin_probe_cleanup() { synquo::removeSessionTempDirectory(); }
