// Describing and checking a prepared upload.
#include "sim/runner/PreparedUpload.h"

#include <filesystem>
#include <regex>
#include <system_error>

namespace simrunner {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string text(const json& object, const char* key) {
  return object.is_object() && object.contains(key) && object.at(key).is_string()
             ? object.at(key).get<std::string>()
             : std::string();
}

// The path relative to the session directory ('/' between names), or empty when it lies
// outside it.
std::string insideSession(const fs::path& session, const fs::path& file) {
  if (session.empty()) return std::string();
  const fs::path relative = file.lexically_normal().lexically_relative(session.lexically_normal());
  if (relative.empty() || *relative.begin() == "..") return std::string();
  return relative.generic_u8string();
}

bool journaledForReport(const std::string& name) {
  return name == "NXObject::SetUserAttribute" || name == "NXObject::DeleteUserAttribute" ||
         name == "BasePart::Save";
}

std::string callText(const nxsim::Call& call, const std::vector<PartBefore>& parts) {
  std::string line = call.name + "(";
  for (size_t i = 0; i < call.args.size(); ++i) {
    std::string arg = call.args[i];
    // The first argument is the object's tag: name the scenario's part instead.
    if (i == 0) {
      for (const auto& p : parts) {
        if (std::to_string(p.tag) == arg) arg = p.name;
      }
    }
    line += (i ? ", " : "") + arg;
  }
  line += ")";
  if (!call.outcome.empty()) line += " -> " + call.outcome;
  return line;
}

json attributeValue(const std::map<std::string, std::string>& attributes) {
  const auto it = attributes.find("SYNQUO_ID");
  return it == attributes.end() ? json(nullptr) : json(it->second);
}

}  // namespace

bool matchesPattern(const ValuePattern& pattern, const std::string& value) {
  if (!pattern.empty() && pattern[0] == '~') {
    return std::regex_match(value, std::regex(pattern.substr(1)));
  }
  return pattern == value;
}

PreparedUploadReport describePreparedUpload(const json& answer,
                                            const std::vector<PartBefore>& before,
                                            const std::vector<nxsim::Call>& calls) {
  PreparedUploadReport report;
  const json prepared = answer.value("prepared", json::object());
  const fs::path session = fs::u8path(text(answer, "session_directory"));
  json& e = report.event;
  e = {{"event", "prepared_upload"},
       {"file_name", text(prepared, "file_name")},
       {"upload_name", text(prepared, "upload_name")},
       {"source_file_id", text(prepared, "source_file_id")},
       {"revision_id", text(prepared, "revision_id")},
       {"is_assembly", prepared.value("is_assembly", false)},
       {"size_mb", prepared.value("size_mb", 0.0)},
       {"session_directory", session.u8string()},
       {"error",
        answer.contains("error") ? text(answer, "error") : text(prepared, "preparation_error")},
       {"display", answer.value("display", json::object())}};

  auto place = [&](const std::string& utf8) -> std::string {
    if (utf8.empty()) return std::string();
    const fs::path file = fs::u8path(utf8);
    std::error_code error;
    if (!fs::is_regular_file(file, error))
      report.problems.push_back("The prepared file " + utf8 + " does not exist");
    const std::string relative = insideSession(session, file);
    if (relative.empty()) {
      report.problems.push_back("The prepared file " + utf8 +
                                " lies outside the session directory");
      return utf8;
    }
    return relative;
  };
  e["exported"] = place(text(prepared, "exported_file"));
  json files = json::array();
  for (const auto& f : prepared.value("files", json::array())) {
    const std::string local = text(f, "local_file_path");
    files.push_back({{"path", local.empty() ? std::string() : place(local)},
                     {"name", text(f, "filename")},
                     {"source_file_id", text(f, "source_file_id")},
                     {"source_file_path", text(f, "source_file_path")}});
  }
  e["files"] = files;

  json parts = json::array();
  for (const auto& p : before) {
    const nxsim::PartState now = nxsim::partState(p.tag);
    parts.push_back({{"part", p.name},
                     {"synquo_id", attributeValue(now.attributes)},
                     {"synquo_id_saved", attributeValue(now.savedAttributes)},
                     {"saves", now.saveCount - p.state.saveCount}});
  }
  e["parts"] = parts;
  json journal = json::array();
  for (const auto& call : calls) {
    if (journaledForReport(call.name)) journal.push_back(callText(call, before));
  }
  e["nx_calls"] = journal;
  return report;
}

std::vector<std::string> checkPreparedUpload(const PrepareUpload& step,
                                             const PreparedUploadReport& report) {
  std::vector<std::string> failures = report.problems;
  const json& e = report.event;
  auto check = [&](const std::optional<ValuePattern>& want, const std::string& have,
                   const std::string& what) {
    if (want && !matchesPattern(*want, have)) {
      failures.push_back("prepare_upload: " + what + " is \"" + have + "\", expected \"" + *want +
                         "\"");
    }
  };
  check(step.expectExported, e.value("exported", ""), "the exported file");
  check(step.expectFileName, e.value("file_name", ""), "the file name");
  check(step.expectSourceFileId, e.value("source_file_id", ""), "the source file id");
  check(step.expectError, e.value("error", ""), "the error");
  if (step.expectFiles) {
    const json& files = e.at("files");
    if (files.size() != step.expectFiles->size()) {
      failures.push_back("prepare_upload: " + std::to_string(files.size()) + " file(s), expected " +
                         std::to_string(step.expectFiles->size()));
    } else {
      for (size_t i = 0; i < files.size(); ++i) {
        const auto& want = (*step.expectFiles)[i];
        const std::string which = "file " + std::to_string(i + 1) + "'s ";
        check(want.path, files[i].value("path", ""), which + "path");
        check(want.name, files[i].value("name", ""), which + "name");
        check(want.sourceFileId, files[i].value("source_file_id", ""), which + "source file id");
      }
    }
  }
  for (const auto& part : e.at("parts")) {
    const std::string name = part.value("part", "");
    const auto attribute = step.expectAttributes.find(name);
    if (attribute != step.expectAttributes.end()) {
      const json& saved = part.at("synquo_id_saved");
      if (!attribute->second) {
        if (!saved.is_null()) {
          failures.push_back("prepare_upload: " + name + "'s file holds SYNQUO_ID \"" +
                             saved.get<std::string>() + "\", expected none");
        }
      } else if (saved.is_null()) {
        failures.push_back("prepare_upload: " + name + "'s file holds no SYNQUO_ID, expected \"" +
                           *attribute->second + "\"");
      } else {
        check(attribute->second, saved.get<std::string>(), name + "'s saved SYNQUO_ID");
      }
    }
    const auto saves = step.expectSaves.find(name);
    if (saves != step.expectSaves.end() && part.value("saves", 0) != saves->second) {
      failures.push_back("prepare_upload: " + name + " was saved " +
                         std::to_string(part.value("saves", 0)) + " time(s), expected " +
                         std::to_string(saves->second));
    }
  }
  return failures;
}

}  // namespace simrunner
