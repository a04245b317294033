// Uploads whose names the ANSI code page cannot hold, through brevin-sim under wine (code page
// 1252): a managed part under a TEMP folder with Japanese letters, a drawing named in
// Cyrillic, a native part and its folder named in Cyrillic. NX is spoken to in UTF-8, so each
// is exported and stored under its own name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

TEST(UnicodePathWin32E2ETest, NamesOutsideTheCodePageAreExportedAndStoredWhole) {
  struct Case {
    std::string name;
    json part;
    json nx;
    std::string temp;        // the TEMP folder, in the workspace
    std::string storedName;  // the file name the service stores
  };
  const std::string drawingName = "\xd1\x87\xd0\xb5\xd1\x80\xd1\x82\xd1\x91\xd0\xb6";
  const std::string partName = "\xd0\x94\xd0\xb5\xd1\x82\xd0\xb0\xd0\xbb\xd1\x8c";
  const std::vector<Case> cases = {
      {"managed part, TEMP with Japanese letters",
       {{"name", "pump"},
        {"full_path", "@DB/PMP-100/B"},
        {"leaf", "PMP-100/B"},
        {"unique_identifier", "2b3c4d5e-0000-4000-8000-000000000001"},
        {"managed", {{"part_number", "PMP-100"}, {"revision", "B"}, {"revision_id", "B.2"}}}},
       json::object(),
       "temp-\xe4\xb8\x80\xe6\x99\x82",
       ""},
      {"drawing named in Cyrillic",
       {{"name", "frame"},
        {"full_path", "drawings/" + drawingName + ".prt"},
        {"unique_identifier", "3c4d5e6f-0000-4000-8000-000000000001"},
        {"drawing_sheets", {"SHT1"}}},
       {{"application_module", "drafting"}},
       "temp",
       drawingName + ".pdf"},
      {"native part in a folder named in Cyrillic",
       {{"name", "detail"},
        {"full_path", partName + "/" + partName + ".prt"},
        {"file_bytes", 4096},
        {"unique_identifier", "4d5e6f70-0000-4000-8000-000000000001"}},
       json::object(),
       "temp-" + partName,
       partName + ".prt"},
  };
  std::vector<fs::path> temps;
  std::vector<json> scenarios;
  for (const Case& c : cases) {
    json scenario = {
        {"properties", {{"synquo_nx_log_level", "DEBUG"}}},
        {"nx", {{"parts", {c.part}}, {"displayed_part", c.part.at("name")}}},
        {"steps",
         {pressSignIn(),
          waitForSignIn("success"),
          {{"invoke",
            {{"dialogs",
              {dialog("synquoGui.dlx", {{{"press", "uploadButton"}}}),
               {{"file", "uploadProgress.dlx"}, {"actions", json::array()}, {"settle_ms", 20000}}}},
             {"expect_dialogs", {"synquoGui.dlx", "uploadProgress.dlx"}}}}},
          closeMainDialog()}}};
    scenario["nx"].update(c.nx);
    const fs::path temp = fs::temp_directory_path() / fs::u8path("brevin-e2e-" + c.temp);
    fs::remove_all(temp);
    fs::create_directories(temp);
    temps.push_back(temp);
    for (const char* name : {"TMP", "TEMP"}) scenario["environment"][name] = temp.u8string();
    scenarios.push_back(scenario);
  }
  SimBatch batch;
  const auto runs = batch.run(scenarios);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const SimRun& run = runs[i];
    ASSERT_EQ(run.exitCode, 0) << run.failures();
    EXPECT_TRUE(run.eventsIn(2, "message_box").empty()) << run.failures();
    ASSERT_EQ(run.torvaneCalls("Upload").size(), 1u) << run.logText();
    const json store = run.torvaneStore().at("assets");
    ASSERT_EQ(store.size(), 1u);
    const std::string stored = store[0].at("revisions")[0].at("filename").get<std::string>();
    EXPECT_EQ(stored.find('?'), std::string::npos) << stored;
    if (!cases[i].storedName.empty()) {
      EXPECT_EQ(stored, cases[i].storedName);
    }
    // The session directory went with the end of the cycle.
    EXPECT_TRUE(fs::is_empty(temps[i])) << temps[i];
    fs::remove_all(temps[i]);
  }
}

}  // namespace
}  // namespace simrunner::testing
