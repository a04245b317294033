// Anomaly runs over the designer's whole story (sign-in, the main dialog, an upload, sign-out):
// the Torvane stand-in breaks its Nth call, for N = 1, 2, ... until a run meets no fault, once
// with an error text, once with a null payload and once with garbage JSON. Whatever breaks,
// the add-in must not crash or let anything escape into NX, must tell the user in a box, and
// must leave a whole log and no session directory behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Kind {
  const char* name;
  json fault;
};

const Kind kKinds[] = {
    {"error text", {{"error", "torvane-sim: injected fault"}}},
    {"null payload", {{"payload", ""}}},
    {"garbage JSON", {{"payload", "{\"workspaces\": [1, 2,"}}},
};

// TMPDIR (POSIX) and TEMP (Windows) of one run, so that its session directories can be found.
class RunTemp {
 public:
  explicit RunTemp(const fs::path& directory) : directory_(directory) {
    fs::create_directories(directory_);
  }
  json environment() const {
    const std::string path = directory_.u8string();
    return {{"TMPDIR", path}, {"TEMP", path}, {"TMP", path}};
  }
  std::vector<std::string> leftovers() const {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(directory_)) {
      const std::string name = entry.path().filename().u8string();
      if (name.rfind("synquo-", 0) == 0) out.push_back(name);
    }
    return out;
  }

 private:
  fs::path directory_;
};

json story(json faults, const RunTemp& temp) {
  const json gearbox = {{"name", "gearbox"},
                        {"full_path", "assemblies/gearbox.prt"},
                        {"file_bytes", 65536},
                        {"unique_identifier", "1a2b3c4d-0000-4000-8000-000000000001"},
                        {"components", {{{"part", "bolt"}}, {{"part", "bolt"}}}}};
  const json bolt = {{"name", "bolt"},
                     {"full_path", "library/bolt.prt"},
                     {"file_bytes", 4096},
                     {"unique_identifier", "1a2b3c4d-0000-4000-8000-000000000004"}};
  const json upload = dialog(
      "uploadProgress.dlx",
      {{{"wait_until",
         {{"block", "sizeSecondaryLabel"}, {"property", "Label"}, {"contains", "Uploaded"},
          {"timeout_ms", 15000}}}},
       {{"close", true}}});
  return {{"properties", {{"synquo_nx_log_level", "DEBUG"}}},
          {"environment", temp.environment()},
          {"faults", std::move(faults)},
          {"nx", {{"parts", {gearbox, bolt}}, {"displayed_part", "gearbox"}}},
          {"steps",
           {pressSignIn(),
            {{"wait_for_sign_in", {{"timeout_ms", 15000}, {"expect", "any"}}}},
            invokeStep({dialog("synquoGui.dlx",
                               {{{"select", "workspaceList"}, {"member", "Supplier Exchange"}},
                                {{"press", "uploadButton"}}}),
                        upload}),
            invokeStep({dialog("synquoGui.dlx", {{{"press", "signOutButton"}}})}),
            invokeStep({dialog("start.dlx", {{{"close", true}}})})}}};
}

// A log line begins with its stamp and no stamp starts inside a line.
void expectWholeLog(const std::string& log, const std::string& context) {
  const std::regex stamp(R"(\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} [+-]\d{4}\] \[[A-Z]+\] )");
  ASSERT_FALSE(log.empty()) << context;
  EXPECT_EQ(log.back(), '\n') << context << ": the last line is cut";
  EXPECT_TRUE(std::regex_search(log.substr(0, 40), stamp)) << context;
  size_t start = 0;
  while (start < log.size()) {
    const size_t end = log.find('\n', start);
    const std::string line = log.substr(start, end - start);
    std::smatch m;
    if (std::regex_search(line, m, stamp)) {
      EXPECT_EQ(m.position(0), 0) << context << ": two lines run together: " << line;
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

std::string faultedCall(const SimRun& run) {
  for (const auto& call : run.torvaneCalls()) {
    if (call.value("faulted", false)) return call.value("fn", "?");
  }
  return "";
}

TEST(TorvaneAnomalyE2ETest, EveryBrokenCallOfTheStoryReachesTheUserAndLeavesNothingBehind) {
  SimWorkspace scratch;
  const fs::path temps = scratch.directory() / "temp";
  const RunTemp cleanTemp(temps / "clean");
  const SimRun clean = scratch.run(story(json::object(), cleanTemp));
  ASSERT_EQ(clean.exitCode, 0) << clean.failures();
  const size_t calls = clean.torvaneCalls().size();
  ASSERT_GT(calls, 5u);

  std::vector<json> scenarios;
  std::vector<RunTemp> runTemps;
  std::vector<std::string> labels;
  for (const Kind& kind : kKinds) {
    for (size_t n = 1; n <= calls + 1; ++n) {
      json fault = kind.fault;
      fault["nth"] = n;
      runTemps.emplace_back(temps / (std::to_string(scenarios.size())));
      scenarios.push_back(story({{"*", fault}}, runTemps.back()));
      labels.push_back(std::string(kind.name) + " at call " + std::to_string(n));
    }
  }
  SimBatch batch;
  const auto runs = batch.run(scenarios);

  std::map<std::string, int> runsPerKind;
  bool lastRunOfEachKindWasClean = true;
  for (size_t i = 0; i < runs.size(); ++i) {
    const SimRun& run = runs[i];
    const std::string function = faultedCall(run);
    const std::string context = labels[i] + " (" + (function.empty() ? "none" : function) +
                                ")\n" + run.failures();
    ++runsPerKind[labels[i].substr(0, labels[i].find(" at call"))];
    std::cout << labels[i] << ": " << (function.empty() ? "-" : function) << ", exit "
              << run.exitCode << ", boxes";
    for (const auto& box : run.transcript.value("message_boxes", json::array())) {
      std::cout << " | " << box.value("text", "").substr(0, 90);
    }
    std::cout << "\n";
    ASSERT_TRUE(run.exitCode == 0 || run.exitCode == 1) << context;
    ASSERT_TRUE(run.transcript.is_object()) << context;
    for (const auto& failure : run.transcript.at("failures")) {
      EXPECT_EQ(failure.get<std::string>().find("escaped"), std::string::npos) << context;
    }
    EXPECT_TRUE(run.transcript.at("nx_violations").empty())
        << context << run.transcript.at("nx_violations").dump();
    for (const auto& box : run.transcript.at("message_boxes")) {
      EXPECT_FALSE(box.value("text", "").empty()) << context << box.dump();
    }
    // The story stopped short: the user was told why.
    if (run.exitCode != 0) {
      EXPECT_FALSE(run.transcript.at("message_boxes").empty()) << context;
    }
    // A broken upload call is never shown as an upload that went through.
    if (function == "GetRootDirectory" || function == "Upload") {
      EXPECT_NE(run.exitCode, 0) << context;
    }
    expectWholeLog(run.logText(), context);
    EXPECT_EQ(runTemps[i].leftovers(), std::vector<std::string>()) << context;
    if (function.empty()) lastRunOfEachKindWasClean &= run.exitCode == 0;
  }
  // N past the last call breaks nothing, so the story completes.
  EXPECT_TRUE(lastRunOfEachKindWasClean);
  std::cout << "Torvane calls in the story: " << calls << "; runs per kind:";
  for (const auto& [kind, count] : runsPerKind) std::cout << " " << kind << " " << count << ";";
  std::cout << "\n";
}

}  // namespace
}  // namespace simrunner::testing
