// Preparing uploads of the example models through brevin-sim: the files land in the session
// directory as the transcript says, the drawing's PDF opens with a page per sheet, and the
// log tells what was done; a legacy part whose save fails is refused with the error the user
// would see.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Keeps the session directory, inside the test's workspace, for inspection.
json keepingExports(json scenario, const SimWorkspace& workspace) {
  scenario["properties"]["synquo_nx_retain_temp_files"] = "true";
  const std::string temp = (workspace.directory() / "temp").u8string();
  fs::create_directories(fs::u8path(temp));
  for (const char* name : {"TMPDIR", "TMP", "TEMP"}) scenario["environment"][name] = temp;
  return scenario;
}

json example(const char* name) {
  return json::parse(readText(fs::u8path(SYNQUO_SCENARIOS_DIR) / name));
}

// Pages as poppler's pdfinfo counts them where it is installed (Linux), else the page objects.
int pdfPages(const fs::path& pdf) {
#ifndef _WIN32
  const fs::path report = pdf.parent_path() / "pdfinfo.txt";
  if (std::system(
          ("pdfinfo \"" + pdf.string() + "\" > \"" + report.string() + "\" 2>&1").c_str()) == 0) {
    std::smatch pages;
    const std::string text = readText(report);
    if (std::regex_search(text, pages, std::regex("Pages:\\s+(\\d+)"))) {
      return std::stoi(pages[1]);
    }
  }
  ADD_FAILURE() << "pdfinfo could not read " << pdf << ": " << readText(report);
  return -1;
#else
  const std::string text = readText(pdf);
  if (text.rfind("%PDF-", 0) != 0) return -1;
  const std::regex page("/Type\\s*/Page[^s]");
  return static_cast<int>(
      std::distance(std::sregex_iterator(text.begin(), text.end(), page), std::sregex_iterator()));
#endif
}

json preparedEvent(const SimRun& run) {
  const auto events = run.events("prepared_upload");
  return events.empty() ? json() : events.front();
}

TEST(PrepareUploadE2ETest, TheDrawingBecomesOnePdfWithAPagePerSheet) {
  SimWorkspace workspace;
  const SimRun run = workspace.run(keepingExports(example("prepare-drawing.json"), workspace));
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const json e = preparedEvent(run);
  const fs::path session = fs::u8path(e.at("session_directory").get<std::string>());
  EXPECT_EQ(session.parent_path(), workspace.directory() / "temp");
  EXPECT_EQ(pdfPages(session / "frame_dwg.pdf"), 3);
  EXPECT_NE(run.logText().find("Prepared NX upload files: file_name=\"frame_dwg.pdf\" "
                               "source_file_id=\"3c4d5e6f-0000-4000-8000-000000000001_drawing\" "
                               "drawing=true managed=false is_assembly=false"),
            std::string::npos)
      << run.logText();
}

TEST(PrepareUploadE2ETest, EveryDistinctMemberIsCopiedOnceWithItsOwnBytes) {
  SimWorkspace workspace;
  const SimRun run =
      workspace.run(keepingExports(example("prepare-native-assembly.json"), workspace));
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const json e = preparedEvent(run);
  const fs::path session = fs::u8path(e.at("session_directory").get<std::string>());
  size_t entries = 0;
  for (const auto& entry : fs::recursive_directory_iterator(session)) {
    if (entry.is_regular_file() && entry.path().extension() == ".prt") ++entries;
  }
  EXPECT_EQ(entries, 4u) << "one copy per distinct part, none for the second uses";
  for (const auto& f : e.at("files")) {
    const fs::path copy = session / fs::u8path(f.at("path").get<std::string>());
    const fs::path source = fs::u8path(f.at("source_file_path").get<std::string>());
    EXPECT_EQ(readText(copy), readText(source)) << copy;
  }
  const std::string log = run.logText();
  EXPECT_NE(log.find("Collected local NX upload files: part=\""), std::string::npos) << log;
  EXPECT_NE(log.find("is_assembly=true files=4 uploaded_files=4."), std::string::npos) << log;
}

TEST(PrepareUploadE2ETest, ALegacyPartWhoseSaveFailsIsRefusedAndKeepsItsFileUntouched) {
  json scenario = example("prepare-legacy-part.json");
  scenario["nx"]["save_outcomes"] = {{{"part", "clamp"}, {"unsaved_objects", 1}}};
  scenario["steps"] = {
      {{"prepare_upload",
        {{"expect_saves", {{"clamp", 0}}}, {"expect_attributes", {{"clamp", nullptr}}}}}}};
  SimWorkspace workspace;
  const SimRun run = workspace.run(keepingExports(scenario, workspace));
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  const json e = preparedEvent(run);
  const std::string label = e.at("display").value("file_name", "");
  EXPECT_EQ(label, "clamp.prt");
  const std::string error = e.at("error").get<std::string>();
  EXPECT_EQ(error.rfind("Legacy file(s) detected. Unable to upload because SYNQUO_ID could not be "
                        "saved for ",
                        0),
            0u)
      << error;
  EXPECT_NE(error.find("clamp.prt (clamp)."), std::string::npos) << error;
  EXPECT_EQ(e.at("parts")[0].at("synquo_id"), "") << "the session attribute is blanked";
  EXPECT_NE(run.logText().find(error), std::string::npos) << run.logText();
}

}  // namespace
}  // namespace simrunner::testing
