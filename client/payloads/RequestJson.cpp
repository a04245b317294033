// The JSON objects of the requests the client builds: initialize options, upload source,
// upload payload.
#include <vantel/RequestRecords.h>
#include <vantel/UploadSource.h>

#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantel {
namespace {

using nlohmann::json;

void putText(json& object, const char* key, const std::string& text) {
  if (!text.empty()) object[key] = text;
}

void putOptionalText(json& object, const char* key, const std::optional<std::string>& text) {
  if (text.has_value() && !text->empty()) object[key] = *text;
}

template <typename T>
void putOptional(json& object, const char* key, const std::optional<T>& value) {
  if (value.has_value()) object[key] = *value;
}

void putSecurityAttributes(json& object,
                           const std::map<std::string, std::vector<std::string>>& attributes) {
  if (attributes.empty()) return;
  json members = json::object();
  for (const auto& [name, values] : attributes) members[name] = values;
  object["security_attributes"] = std::move(members);
}

}  // namespace

void to_json(nlohmann::json& target, const VantelUploadSource& source) {
  const std::string identifier = uploadSourceIdentifier(source.sourceType);
  target = nlohmann::json::object();
  target["source"] = identifier;
  putText(target, "source_id", source.sourceId);
  putText(target, "display_name", source.displayName);
}

void to_json(nlohmann::json& target, const VantelUploadConfiguration& configuration) {
  target = nlohmann::json::object();
  putOptional(target, "registerOnlyIfAllFilesUploaded",
              configuration.registerOnlyIfAllFilesUploaded);
  putOptional(target, "jobRetentionMinutes", configuration.jobRetentionMinutes);
  putOptional(target, "maxRetainedJobs", configuration.maxRetainedJobs);
}

void to_json(nlohmann::json& target, const VantelInitializeOptions& options) {
  target = nlohmann::json::object();
  putOptionalText(target, "logFile", options.logFile);
  putOptionalText(target, "logLevel", options.logLevel);
  putOptional(target, "disableStdStreams", options.disableStdStreams);
  putOptional(target, "debugMode", options.debugMode);
  putOptional(target, "usRegion", options.usRegion);
  putOptional(target, "registerOnlyIfAllFilesUploaded", options.registerOnlyIfAllFilesUploaded);
  putOptional(target, "uploadConfiguration", options.uploadConfiguration);
  putOptional(target, "externalServer", options.externalServer);
  putOptional(target, "uploadSource", options.uploadSource);
  if (!options.serviceInfo.empty()) {
    nlohmann::json services = nlohmann::json::object();
    for (const auto& [name, version] : options.serviceInfo) services[name] = version;
    target["serviceInfo"] = std::move(services);
  }
}

void to_json(nlohmann::json& target, const VantelUploadPayloadFile& file) {
  target = nlohmann::json::object();
  putText(target, "local_file_path", file.localFilePath);
  putText(target, "filename", file.filename);
  putText(target, "source_file_path", file.sourceFilePath);
  putText(target, "source_file_id", file.sourceFileId);
  putText(target, "source_revision_id", file.sourceRevisionId);
  putText(target, "source_folder_id", file.sourceFolderId);
  putText(target, "source_version_id", file.sourceVersionId);
  putSecurityAttributes(target, file.securityAttributes);
  putOptional(target, "autodiscover_model_id", file.autodiscoverModelId);
}

void to_json(nlohmann::json& target, const VantelUploadPayload& payload) {
  target = nlohmann::json::object();
  if (!payload.workspaces.empty()) {
    nlohmann::json workspaces = nlohmann::json::object();
    for (const auto& [workspaceId, directoryId] : payload.workspaces) {
      workspaces[std::to_string(workspaceId)] = directoryId;
    }
    target["workspaces"] = std::move(workspaces);
  }
  putSecurityAttributes(target, payload.securityAttributes);
  putOptionalText(target, "parent_file", payload.parentFile);
  putOptionalText(target, "source_state", payload.sourceState);
  putOptionalText(target, "source_revision_name", payload.sourceRevisionName);
  putOptionalText(target, "source_revision_time", payload.sourceRevisionTime);
  putOptionalText(target, "source_revision_user", payload.sourceRevisionUser);
  putOptionalText(target, "source_revision_version", payload.sourceRevisionVersion);
  putOptionalText(target, "source_revision_id", payload.sourceRevisionId);
  if (payload.uploadOption.has_value() && !payload.uploadOption->empty()) {
    target["upload_option"] = *payload.uploadOption;
  } else {
    target["upload_option"] = payload.files.size() < 2 ? "individual" : "assembly";
  }
  nlohmann::json files = nlohmann::json::array();
  for (const VantelUploadPayloadFile& file : payload.files) files.push_back(file);
  target["files"] = std::move(files);
}

}  // namespace vantel
