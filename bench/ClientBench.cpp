// The client's parsers and request writer against nlohmann doing the same work bare.
#include <memory>
#include <nlohmann/json.hpp>

#include "bench/BenchClient.h"
#include "bench/BenchSupport.h"

namespace bench {

using nlohmann::json;

std::string workspacesText(int count) {
  json list = json::array();
  for (int i = 0; i < count; ++i) {
    list.push_back({{"id", 1000 + i},
                    {"name", "Design Review " + std::to_string(i)},
                    {"color", "#3366ff"},
                    {"created_by_user_id", 77},
                    {"created_time", "2026-03-01T10:00:00Z"},
                    {"modified_time", "2026-03-02T11:30:00Z"},
                    {"downloading_allowed", i % 2 == 0},
                    {"project_id", 5000 + i},
                    {"source_state", "active"},
                    {"uuid", "0f8fad5b-d9cb-469f-a165-" + std::to_string(700000000000 + i)}});
  }
  return list.dump();
}

std::string uploadResultText(int count) {
  json list = json::array();
  for (int i = 0; i < count; ++i) {
    const std::string name = "member-" + std::to_string(i) + ".prt";
    list.push_back({{name, "https://app.synquo.example/w/1001/f/" + std::to_string(90000 + i)}});
  }
  return list.dump();
}

namespace {

// Every value of a parsed text visited once, as any reader of it must.
std::size_t walk(const json& value) {
  std::size_t seen = 1;
  if (value.is_object()) {
    for (const auto& member : value.items()) seen += member.key().size() + walk(member.value());
  } else if (value.is_array()) {
    for (const json& element : value) seen += walk(element);
  } else if (value.is_string()) {
    seen += value.get_ref<const std::string&>().size();
  } else if (value.is_number_integer()) {
    seen += static_cast<std::size_t>(value.get<int64_t>() & 1);
  } else if (value.is_boolean()) {
    seen += value.get<bool>() ? 1u : 0u;
  }
  return seen;
}

vantel::VantelUploadPayload uploadRequest(int files) {
  vantel::VantelUploadPayload payload;
  payload.workspaces[1001] = 2002;
  payload.parentFile = "frame-assembly.prt";
  payload.sourceRevisionId = "B.2";
  payload.sourceRevisionName = "B.2";
  payload.sourceRevisionVersion = "1";
  for (int i = 0; i < files; ++i) {
    vantel::VantelUploadPayloadFile file;
    const std::string name = "member-" + std::to_string(i) + ".prt";
    file.localFilePath = "/tmp/brevin-session-0f8fad5b/" + name;
    file.filename = name;
    file.sourceFilePath = "/models/J\xc3\xb6rg/assembly/" + name;
    file.sourceFileId = "0f8fad5b-d9cb-469f-a165-" + std::to_string(700000000000 + i);
    file.sourceRevisionId = "1";
    file.sourceVersionId = "1";
    payload.files.push_back(file);
  }
  return payload;
}

std::unique_ptr<vantel::VantelClient> clientOf(const std::shared_ptr<InstantTorvane>& torvane) {
  return std::make_unique<vantel::VantelClient>(torvane, nullptr);
}

void clientWorkspaces(benchmark::State& state) {
  auto torvane = std::make_shared<InstantTorvane>();
  torvane->workspaces = workspacesText(static_cast<int>(state.range(0)));
  const auto client = clientOf(torvane);
  for (auto _ : state) benchmark::DoNotOptimize(client->listWorkspaces("token", ""));
}

void bareWorkspaces(benchmark::State& state) {
  const std::string text = workspacesText(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(walk(json::parse(text)));
}

void clientUploadResult(benchmark::State& state) {
  auto torvane = std::make_shared<InstantTorvane>();
  torvane->uploadResult = uploadResultText(static_cast<int>(state.range(0)));
  const auto client = clientOf(torvane);
  vantel::VantelUploadPayload empty;
  for (auto _ : state) benchmark::DoNotOptimize(client->upload("token", empty, false));
}

void bareUploadResult(benchmark::State& state) {
  const std::string text = uploadResultText(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(walk(json::parse(text)));
}

void clientUploadRequest(benchmark::State& state) {
  auto torvane = std::make_shared<InstantTorvane>();
  const auto client = clientOf(torvane);
  const vantel::VantelUploadPayload payload = uploadRequest(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(client->upload("token", payload, false));
  state.counters["request_bytes"] = static_cast<double>(torvane->lastRequestBytes);
}

void bareUploadRequest(benchmark::State& state) {
  const vantel::VantelUploadPayload payload = uploadRequest(static_cast<int>(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    json object = json::object();
    object["workspaces"] = {{"1001", 2002}};
    object["parent_file"] = *payload.parentFile;
    object["source_revision_name"] = *payload.sourceRevisionName;
    object["source_revision_version"] = *payload.sourceRevisionVersion;
    object["source_revision_id"] = *payload.sourceRevisionId;
    object["upload_option"] = "assembly";
    json files = json::array();
    for (const vantel::VantelUploadPayloadFile& file : payload.files) {
      files.push_back({{"local_file_path", file.localFilePath},
                       {"filename", file.filename},
                       {"source_file_path", file.sourceFilePath},
                       {"source_file_id", file.sourceFileId},
                       {"source_revision_id", file.sourceRevisionId},
                       {"source_version_id", file.sourceVersionId},
                       {"autodiscover_model_id", true}});
    }
    object["files"] = std::move(files);
    const std::string text = object.dump();
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["request_bytes"] = static_cast<double>(bytes);
}

}  // namespace

void registerClientBenchmarks() {
  const int64_t workspaces = smoke() ? 10 : 10000;
  const int64_t files = smoke() ? 10 : 2000;
  add("client_workspaces", clientWorkspaces)->Arg(workspaces);
  add("client_workspaces_floor", bareWorkspaces)->Arg(workspaces);
  add("client_upload_result", clientUploadResult)->Arg(files);
  add("client_upload_result_floor", bareUploadResult)->Arg(files);
  add("client_upload_request", clientUploadRequest)->Arg(files);
  add("client_upload_request_floor", bareUploadRequest)->Arg(files);
  const std::string w = "/" + std::to_string(workspaces);
  const std::string f = "/" + std::to_string(files);
  addRow({Row::Kind::Ratio, "2. parse 10,000 workspaces vs bare nlohmann", "client_workspaces" + w,
          "client_workspaces_floor" + w, 1.5});
  addRow({Row::Kind::Ratio, "2. parse upload result of 2,000 vs bare nlohmann",
          "client_upload_result" + f, "client_upload_result_floor" + f, 1.5});
  addRow({Row::Kind::Ratio, "3. write upload request of 2,000 files vs bare nlohmann",
          "client_upload_request" + f, "client_upload_request_floor" + f, 1.5});
}

}  // namespace bench
