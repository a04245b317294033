// The records the client sends as JSON: initialize options, upload source and payload.
#pragma once

#include <vantel/Export.h>
#include <vantel/UploadSource.h>

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace vantel {

struct VantelUploadSource {
  VantelUploadSourceType sourceType = VantelUploadSourceType::Brevin;
  std::string sourceId;
  std::string displayName;
};

struct VantelUploadConfiguration {
  std::optional<bool> registerOnlyIfAllFilesUploaded;
  std::optional<int32_t> jobRetentionMinutes;
  std::optional<int32_t> maxRetainedJobs;
};

struct VantelInitializeOptions {
  std::optional<std::string> logFile;
  std::optional<std::string> logLevel;
  std::optional<bool> disableStdStreams;
  std::optional<bool> debugMode;
  std::optional<bool> usRegion;
  std::optional<bool> registerOnlyIfAllFilesUploaded;
  std::optional<VantelUploadConfiguration> uploadConfiguration;
  std::optional<nlohmann::json> externalServer;
  std::optional<VantelUploadSource> uploadSource;
  std::map<std::string, std::string> serviceInfo;
};

struct VantelUploadPayloadFile {
  std::string localFilePath;
  std::string filename;
  std::map<std::string, std::vector<std::string>> securityAttributes;
  std::string sourceFilePath;
  std::string sourceFileId;
  std::string sourceRevisionId;
  std::string sourceFolderId;
  std::string sourceVersionId;
  // Every uploaded file asks the service to recognise its model unless a caller says otherwise.
  std::optional<bool> autodiscoverModelId = true;
};

struct VantelUploadPayload {
  std::map<int64_t, int64_t> workspaces;
  std::map<std::string, std::vector<std::string>> securityAttributes;
  std::optional<std::string> uploadOption;
  std::optional<std::string> parentFile;
  std::optional<std::string> sourceState;
  std::optional<std::string> sourceRevisionName;
  std::optional<std::string> sourceRevisionTime;
  std::optional<std::string> sourceRevisionUser;
  std::optional<std::string> sourceRevisionVersion;
  std::optional<std::string> sourceRevisionId;
  std::vector<VantelUploadPayloadFile> files;
};

// Each replaces `json` with an object; members without a value are left out, never null.
// Texts must be UTF-8: writing the object out (dump) raises the JSON library's error
// otherwise.
VANTEL_API void to_json(nlohmann::json& json, const VantelUploadSource& source);
VANTEL_API void to_json(nlohmann::json& json, const VantelUploadConfiguration& configuration);
VANTEL_API void to_json(nlohmann::json& json, const VantelInitializeOptions& options);
VANTEL_API void to_json(nlohmann::json& json, const VantelUploadPayloadFile& file);
VANTEL_API void to_json(nlohmann::json& json, const VantelUploadPayload& payload);

}  // namespace vantel
