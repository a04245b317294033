// Reading Torvane's JSON answers into the client's records, with one message prefix per
// kind of answer.
#include <vantel/VantelClient.h>
#include <vantel/VantelException.h>

#include <exception>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "client/payloads/NumericRule.h"

namespace vantel {
namespace {

using nlohmann::json;

// Runs `body` and turns anything it raises into "<prefix>: <what>".
template <typename Body>
auto wrapped(const char* prefix, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (const std::exception& e) {
    throw VantelException(std::string(prefix) + ": " + e.what());
  }
}

json parse(const std::string& payload) { return json::parse(payload); }

// The member as a string when the key is present (a present null is a type error).
void readText(const json& object, const char* key, std::string& target) {
  if (object.contains(key)) target = object.at(key).get<std::string>();
}

std::optional<int64_t> optionalId(const json& object, const char* key) {
  if (!object.contains(key)) return std::nullopt;
  const json& value = object.at(key);
  if (value.is_null()) return std::nullopt;
  return toInt64(value);
}

// A string gives the value; absence, null and every other type give none.
std::optional<std::string> optionalString(const json& object, const char* key) {
  if (!object.contains(key)) return std::nullopt;
  const json& value = object.at(key);
  if (!value.is_string()) return std::nullopt;
  return value.get<std::string>();
}

int32_t count(const json& object, const char* key) {
  // Counts keep the low 32 bits, as the service's own clients do.
  return static_cast<int32_t>(toInt64(object.at(key)));
}

VantelUser parseUser(const json& value) {
  VantelUser user;
  user.id = toInt64(value.at("id"));
  user.companyId = optionalId(value, "company_id");
  readText(value, "email", user.email);
  readText(value, "username", user.username);
  readText(value, "first_name", user.firstName);
  readText(value, "last_name", user.lastName);
  readText(value, "phone_number", user.phoneNumber);
  readText(value, "job_title", user.jobTitle);
  readText(value, "created_time", user.createdTime);
  readText(value, "modified_time", user.modifiedTime);
  return user;
}

VantelDirectory parseDirectory(const json& value) {
  VantelDirectory directory;
  directory.id = toInt64(value.at("id"));
  directory.name = value.at("name").get<std::string>();
  if (value.contains("parent_id")) {
    const json& parent = value.at("parent_id");
    if (parent.is_string()) {
      directory.parentId = parent.get<std::string>();
    } else if (parent.is_number()) {
      directory.parentId = std::to_string(toInt64(parent));
    }
  }
  readText(value, "created_time", directory.createdTime);
  readText(value, "modified_time", directory.modifiedTime);
  return directory;
}

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isWhiteSpace(text[begin])) ++begin;
  while (end > begin && isWhiteSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::vector<std::string> errorItems(const std::string& error) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = error.find(',', start);
    std::string item = trimmed(
        error.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!item.empty()) items.push_back(std::move(item));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return items;
}

// Takes the text out of the parsed value rather than copying it.
void addEntry(VantelUploadResult& result, const std::string& name, json& value) {
  if (!value.is_string()) value.get<std::string>();  // raises the library's type error
  // The first occurrence of a name wins.
  result.entries.try_emplace(name, std::move(value.get_ref<std::string&>()));
}

}  // namespace

VantelLocalAuthTokens VantelClient::parseLocalAuthTokens(const std::string& payload) {
  return wrapped("Failed to parse local auth tokens", [&] {
    if (payload.empty()) throw VantelException("Local auth payload is empty");
    const json value = parse(payload);
    if (!value.is_object()) throw VantelException("Local auth payload is not a JSON object");
    if (!value.contains("access_token")) {
      throw VantelException("Missing access_token in response");
    }
    VantelLocalAuthTokens tokens;
    tokens.accessToken = value.at("access_token").get<std::string>();
    readText(value, "refresh_token", tokens.refreshToken);
    readText(value, "expires_at", tokens.expiresAt);
    return tokens;
  });
}

VantelWorkspace VantelClient::parseWorkspace(const json& value) {
  VantelWorkspace workspace;
  workspace.id = toInt64(value.at("id"));
  workspace.name = value.at("name").get<std::string>();
  readText(value, "color", workspace.color);
  workspace.createdByUserId = optionalId(value, "created_by_user_id");
  readText(value, "created_time", workspace.createdTime);
  readText(value, "modified_time", workspace.modifiedTime);
  workspace.downloadingAllowed = value.contains("downloading_allowed") &&
                                 value.at("downloading_allowed").is_boolean() &&
                                 value.at("downloading_allowed").get<bool>();
  workspace.projectId = optionalId(value, "project_id");
  workspace.sourceState = optionalString(value, "source_state");
  readText(value, "uuid", workspace.uuid);
  return workspace;
}

std::vector<VantelWorkspace> VantelClient::parseWorkspacesPayload(const std::string& payload) {
  return wrapped("Failed to parse workspaces payload", [&] {
    const json value = parse(payload);
    if (!value.is_array()) throw VantelException("Workspaces payload is not an array");
    std::vector<VantelWorkspace> workspaces;
    for (const json& element : value) workspaces.push_back(parseWorkspace(element));
    return workspaces;
  });
}

VantelWorkspace VantelClient::parseSingleWorkspacePayload(const std::string& payload) {
  return wrapped("Failed to parse workspace payload",
                 [&] { return parseWorkspace(parse(payload)); });
}

VantelUser VantelClient::parseUserPayload(const std::string& payload) {
  return wrapped("Failed to parse user payload", [&] {
    const json value = parse(payload);
    if (!value.is_object()) throw VantelException("VantelUser payload is not a JSON object");
    return parseUser(value);
  });
}

VantelDirectory VantelClient::parseDirectoryPayload(const std::string& payload) {
  return wrapped("Failed to parse directory payload", [&] {
    const json value = parse(payload);
    if (!value.is_object()) {
      throw VantelException("VantelDirectory payload is not a JSON object");
    }
    return parseDirectory(value);
  });
}

std::vector<VantelDirectory> VantelClient::parseDirectoryListPayload(const std::string& payload) {
  return wrapped("Failed to parse directory list payload", [&] {
    const json value = parse(payload);
    if (!value.is_array()) throw VantelException("VantelDirectory list payload is not an array");
    std::vector<VantelDirectory> directories;
    for (const json& element : value) directories.push_back(parseDirectory(element));
    return directories;
  });
}

VantelFindRevisionResult VantelClient::parseRevision(const json& value) {
  VantelFindRevisionResult revision;
  if (!value.is_object()) return revision;
  revision.assetId = optionalId(value, "asset_id");
  revision.bomAssetId = optionalId(value, "bom_asset_id");
  revision.directoryId = optionalId(value, "directory_id");
  readText(value, "link", revision.link);
  revision.revisionLinkId = optionalId(value, "revision_link_id");
  revision.workspaceId = optionalId(value, "workspace_id");
  readText(value, "bom_revision_id", revision.bomRevisionId);
  revision.unresolvedFeedbackCount = optionalId(value, "unresolved_feedback_count");
  if (value.contains("review") && !value.at("review").is_null()) {
    const json& review = value.at("review");
    revision.reviewId = optionalId(review, "id");
    readText(review, "status", revision.reviewStatus);
  }
  readText(value, "message", revision.message);
  readText(value, "source_version", revision.sourceVersion);
  readText(value, "source_revision_id", revision.sourceRevisionId);
  return revision;
}

std::vector<VantelFindRevisionResult> VantelClient::parseFindRevisionPayload(
    const std::string& payload) {
  return wrapped("Failed to parse revision payload", [&] {
    const json value = parse(payload);
    std::vector<VantelFindRevisionResult> revisions;
    if (value.is_array()) {
      for (const json& element : value) revisions.push_back(parseRevision(element));
    } else {
      revisions.push_back(parseRevision(value));
    }
    return revisions;
  });
}

std::vector<std::string> VantelClient::parseStringListPayload(const std::string& payload) {
  return wrapped("Failed to parse string list payload", [&] {
    const json value = parse(payload);
    if (!value.is_array()) throw VantelException("String list payload is not an array");
    std::vector<std::string> texts;
    for (const json& element : value) texts.push_back(element.get<std::string>());
    return texts;
  });
}

VantelUploadJobStart VantelClient::parseUploadJobStartPayload(const std::string& payload) {
  return wrapped("Failed to parse upload job start payload", [&] {
    if (payload.empty()) throw VantelException("Upload job start payload is empty");
    const json value = parse(payload);
    if (!value.is_object()) {
      throw VantelException("Upload job start payload is not a JSON object");
    }
    VantelUploadJobStart start;
    start.jobId = value.at("job_id").get<std::string>();
    return start;
  });
}

VantelUploadJobStatus VantelClient::parseUploadJobStatusPayload(const std::string& payload) {
  return wrapped("Failed to parse upload job status payload", [&] {
    if (payload.empty()) throw VantelException("Upload job status payload is empty");
    const json value = parse(payload);
    if (!value.is_object()) {
      throw VantelException("Upload job status payload is not a JSON object");
    }
    VantelUploadJobStatus status;
    status.jobId = value.at("job_id").get<std::string>();
    status.status = value.at("status").get<std::string>();
    status.createdAt = value.at("created_at").get<std::string>();
    status.updatedAt = value.at("updated_at").get<std::string>();
    status.expiresAt = optionalString(value, "expires_at");

    const json& progress = value.at("progress");
    status.inputFilesTotal = count(progress, "input_files_total");
    status.workspacesTotal = count(progress, "workspaces_total");
    status.filesTotal = count(progress, "files_total");
    status.filesUploading = count(progress, "files_uploading");
    status.filesUploaded = count(progress, "files_uploaded");
    status.filesFailed = count(progress, "files_failed");
    status.filesRemaining = count(progress, "files_remaining");
    status.bytesTotal = toInt64(progress.at("bytes_total"));
    status.bytesUploaded = toInt64(progress.at("bytes_uploaded"));

    const json& registration = value.at("registration");
    status.registrationPending = count(registration, "pending");
    status.registrationRegistering = count(registration, "registering");
    status.registrationRegistered = count(registration, "registered");
    status.registrationFailed = count(registration, "failed");
    status.registrationSkipped = count(registration, "skipped");

    const json& cancellation = value.at("cancellation");
    status.cancellationRequested = cancellation.at("requested").get<bool>();
    status.canCancel = cancellation.at("can_cancel").get<bool>();
    status.cancellationReason = optionalString(cancellation, "reason");

    status.errors.clear();
    if (value.contains("errors") && value.at("errors").is_array()) {
      for (const json& error : value.at("errors"))
        status.errors.push_back(error.get<std::string>());
    }
    return status;
  });
}

VantelUploadResult VantelClient::parseUploadPayload(const std::string& payload,
                                                    const std::string& error) {
  return wrapped("Failed to parse upload payload", [&] {
    VantelUploadResult result;
    if (!payload.empty()) {
      json value = parse(payload);
      if (!value.is_array()) throw VantelException("Upload result payload is not an array");
      for (json& element : value) {
        if (element.is_object()) {
          for (auto member = element.begin(); member != element.end(); ++member) {
            addEntry(result, member.key(), member.value());
          }
        } else if (element.is_array()) {
          for (std::size_t i = 0; i < element.size(); ++i) {
            addEntry(result, std::to_string(i), element.at(i));
          }
        } else {
          addEntry(result, std::string(), element);
        }
      }
    }
    result.errors = errorItems(error);
    return result;
  });
}

}  // namespace vantel
