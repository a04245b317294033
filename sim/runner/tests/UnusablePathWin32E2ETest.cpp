// Uploads whose paths the ANSI code page cannot hold, through brevin-sim under wine (code page
// 1252): a managed part under a TEMP folder with Japanese letters, a drawing named in Cyrillic.
// The user is told which path and why; nothing is sent and no file is left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

TEST(UnusablePathWin32E2ETest, TheUploadStopsNamingThePathNxCannotUse) {
  struct Case {
    std::string name;
    json part;
    json nx;
    std::string temp;      // the TEMP folder, in the workspace
    std::string fileName;  // as the progress dialog names the model
    std::string lastName;  // the path's last element that NX was to be given
  };
  const std::string drawingName = "\xd1\x87\xd0\xb5\xd1\x80\xd1\x82\xd1\x91\xd0\xb6";
  const std::vector<Case> cases = {
      {"managed part, TEMP with Japanese letters",
       {{"name", "pump"},
        {"full_path", "@DB/PMP-100/B"},
        {"leaf", "PMP-100/B"},
        {"unique_identifier", "2b3c4d5e-0000-4000-8000-000000000001"},
        {"managed", {{"part_number", "PMP-100"}, {"revision", "B"}, {"revision_id", "B.2"}}}},
       json::object(),
       "temp-\xe4\xb8\x80\xe6\x99\x82",
       "PMP-100/B",
       "2b3c4d5e-0000-4000-8000-000000000001"},
      {"drawing named in Cyrillic",
       {{"name", "frame"},
        {"full_path", "drawings/" + drawingName + ".prt"},
        {"unique_identifier", "3c4d5e6f-0000-4000-8000-000000000001"},
        {"drawing_sheets", {"SHT1"}}},
       {{"application_module", "drafting"}},
       "temp",
       drawingName + ".prt",
       drawingName + ".pdf"},
  };
  std::vector<fs::path> temps;
  std::vector<json> scenarios;
  SimBatch batch;
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
    scenarios.push_back(scenario);
  }
  // The TEMP folders go into each run's own workspace, which the batch makes when it runs.
  for (size_t i = 0; i < cases.size(); ++i) {
    const fs::path temp = fs::temp_directory_path() / fs::u8path("brevin-e2e-" + cases[i].temp);
    fs::remove_all(temp);
    fs::create_directories(temp);
    temps.push_back(temp);
    for (const char* name : {"TMP", "TEMP"}) {
      scenarios[i]["environment"][name] = temp.u8string();
    }
  }
  const auto runs = batch.run(scenarios);
  const std::regex session("synquo-[0-9a-f]{16}");
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const SimRun& run = runs[i];
    ASSERT_EQ(run.exitCode, 0) << run.failures();
    const auto boxes = run.eventsIn(2, "message_box");
    ASSERT_EQ(boxes.size(), 1u) << run.failures();
    EXPECT_EQ(boxes[0].at("type"), "Error");
    const std::string text = boxes[0].at("text").get<std::string>();
    const std::string head = "Synquo upload failed.\n\nFile: " + cases[i].fileName +
                             "\nWorkspace: Design Review\n\nDetails: NX cannot use the path \"";
    EXPECT_EQ(text.rfind(head, 0), 0u) << text;
    const std::string tail =
        "\" because it holds characters outside this system's code page. Rename the part with "
        "Latin letters, or set TEMP to a folder whose path has only Latin letters, then try "
        "again.";
    const size_t from = text.find("Details: NX cannot use the path \"");
    ASSERT_NE(from, std::string::npos) << text;
    const size_t start = text.find('"', from) + 1;
    ASSERT_GT(text.size(), start + tail.size()) << text;
    ASSERT_EQ(text.compare(text.size() - tail.size(), tail.size(), tail), 0) << text;
    const fs::path named = fs::u8path(text.substr(start, text.size() - start - tail.size()));
    EXPECT_EQ(named.filename().u8string(), cases[i].lastName);
    EXPECT_TRUE(std::regex_match(named.parent_path().filename().u8string(), session)) << text;
    EXPECT_EQ(named.parent_path().parent_path().lexically_normal(), temps[i].lexically_normal());
    EXPECT_NE(run.logText().find("[WARNING] [Synquo] "), std::string::npos);
    EXPECT_NE(run.logText().find("characters outside the file-name code page"), std::string::npos)
        << run.logText();
    EXPECT_TRUE(run.torvaneCalls("Upload").empty()) << "nothing was sent";
    // The session directory went with the end of the cycle; nothing else was written there.
    EXPECT_TRUE(fs::is_empty(temps[i])) << temps[i];
    fs::remove_all(temps[i]);
  }
}

}  // namespace
}  // namespace simrunner::testing
