// Uploading from the main dialog through the progress dialog, against the Torvane stand-in:
// what arrives in its store, when the add-in looks up revisions, the progress dialog closed
// early, failures, and the link the browser opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/runner/tests/support/SimRun.h"

namespace simrunner::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

json exampleScenario(const std::string& name) {
  return json::parse(readText(fs::u8path(SYNQUO_SCENARIOS_DIR) / fs::u8path(name)));
}

const json kBracket = {{"name", "bracket"},
                       {"full_path", "bracket.prt"},
                       {"file_bytes", 1572864},
                       {"unique_identifier", "0b5c4f7e-2d1a-4c3e-9f7a-5e8d6c4b3a21"}};

json waitForLabel(const std::string& text) {
  return {{"wait_until",
           {{"block", "sizeSecondaryLabel"},
            {"property", "Label"},
            {"contains", text},
            {"timeout_ms", 20000}}}};
}

// Signs in, then runs one invocation with the given dialog scripts and expectations.
json uploadScenario(json parts, json dialogs, json expectations, json faults = json::object()) {
  expectations["dialogs"] = std::move(dialogs);
  return {{"properties", {{"synquo_nx_log_level", "DEBUG"}}},
          {"faults", std::move(faults)},
          {"nx", {{"parts", parts}, {"displayed_part", parts[0].at("name")}}},
          {"steps", {pressSignIn(), waitForSignIn("success"), {{"invoke", expectations}}}}};
}

// The blocks a dialog showed when it opened, by id.
json blocksShown(const SimRun& run, int invocation, const std::string& file) {
  json blocks = json::object();
  for (const auto& e : run.eventsIn(invocation, "dialog_shown")) {
    if (e.at("file") != file) continue;
    for (const auto& b : e.at("blocks")) blocks[b.at("id").get<std::string>()] = b;
  }
  return blocks;
}

TEST(UploadE2ETest, EveryFileOfTheModelArrivesInTheStoreUnderItsIdentifier) {
  struct Stored {
    std::string sourceFileId, filename, modelFile;  // modelFile: below the stage's models/
  };
  struct Case {
    std::string scenario;
    std::vector<Stored> files;
  };
  const std::vector<Case> cases = {
      {"upload-native-part.json",
       {{"0b5c4f7e-2d1a-4c3e-9f7a-5e8d6c4b3a21", "bracket.prt", "bracket.prt"}}},
      {"upload-native-assembly.json",
       {{"1a2b3c4d-0000-4000-8000-000000000001", "gearbox.prt", "assemblies/gearbox.prt"},
        {"1a2b3c4d-0000-4000-8000-000000000002", "bolt.prt", "library/bolt.prt"},
        {"1a2b3c4d-0000-4000-8000-000000000003", "cover.prt", "assemblies/cover.prt"}}},
      {"upload-drawing.json",
       {{"3c4d5e6f-0000-4000-8000-000000000001_drawing", "frame_dwg.pdf", ""}}},
      // One name three times, once in other letter case: one file on Windows if copied
      // side by side.
      {"upload-same-named-members.json",
       {{"5e6f7a8b-0000-4000-8000-000000000001", "bracket.prt", "left/bracket.prt"},
        {"5e6f7a8b-0000-4000-8000-000000000002", "bracket.prt", "right/bracket.prt"},
        {"5e6f7a8b-0000-4000-8000-000000000003", "Bracket.prt", "spare/Bracket.prt"}}},
  };
  std::vector<json> scenarios;
  for (const auto& c : cases) scenarios.push_back(exampleScenario(c.scenario));
  SimBatch batch;
  const auto runs = batch.run(scenarios);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].scenario);
    const SimRun& run = runs[i];
    ASSERT_EQ(run.exitCode, 0) << run.failures();
    const json assets = run.torvaneStore().at("assets");
    ASSERT_EQ(assets.size(), cases[i].files.size());
    for (size_t f = 0; f < assets.size(); ++f) {
      const Stored& expected = cases[i].files[f];
      const json& asset = assets[f];
      EXPECT_EQ(asset.at("source_file_id"), expected.sourceFileId);
      ASSERT_EQ(asset.at("revisions").size(), 1u);
      const json& revision = asset.at("revisions")[0];
      EXPECT_EQ(revision.at("filename"), expected.filename);
      const fs::path stored = fs::u8path(revision.at("stored_path").get<std::string>());
      if (expected.modelFile.empty()) {
        EXPECT_EQ(readText(stored).rfind("%PDF-", 0), 0u) << "the drawing went up as a PDF";
      } else {
        EXPECT_EQ(readText(stored),
                  readText(run.path("stage_dir") / "models" / fs::u8path(expected.modelFile)));
      }
      EXPECT_EQ(revision.at("size").get<std::uintmax_t>(), fs::file_size(stored));
    }
  }
}

TEST(UploadE2ETest, OnlyAManagedModelIsLookedUpAndItsLatestRevisionIsWarnedAbout) {
  SimBatch batch;
  const auto runs = batch.run(
      {exampleScenario("upload-managed-part-twice.json"), exampleScenario("upload-another.json")});
  const SimRun& managed = runs[0];
  const SimRun& native = runs[1];
  ASSERT_EQ(managed.exitCode, 0) << managed.failures();
  ASSERT_EQ(native.exitCode, 0) << native.failures();

  EXPECT_FALSE(blocksShown(managed, 2, "synquoGui.dlx").at("targetWarningGroup").at("shown"))
      << "nothing of this model was in the workspace yet";
  const json second = blocksShown(managed, 3, "synquoGui.dlx");
  EXPECT_TRUE(second.at("targetWarningGroup").at("shown"));
  EXPECT_EQ(second.at("targetWarning").at("label"),
            "This file matches the latest revision in the workspace. Uploading again will create "
            "a new revision.");
  EXPECT_FALSE(managed.torvaneCalls("FindRevision").empty());

  EXPECT_EQ(native.torvaneCalls("Upload").size(), 2u);
  EXPECT_TRUE(native.torvaneCalls("FindRevision").empty())
      << "a native model has no revision to compare";
}

TEST(UploadE2ETest, ClosingTheProgressDialogEarlyBringsItBackAndTheUploadFinishes) {
  SimWorkspace workspace;
  const SimRun run = workspace.run(
      uploadScenario({kBracket},
                     {dialog("synquoGui.dlx", {{{"press", "uploadButton"}}}),
                      dialog("uploadProgress.dlx",
                             {waitForLabel("Transferring file to Synquo"), {{"close", true}}}),
                      dialog("uploadProgress.dlx", {waitForLabel("Uploaded"), {{"close", true}}})},
                     {{"expect_message_boxes", json::array()}}));
  ASSERT_EQ(run.exitCode, 0) << run.failures();
  int showings = 0;
  for (const auto& d : run.transcript.at("dialogs"))
    showings += d.at("file") == "uploadProgress.dlx";
  EXPECT_EQ(showings, 2);
  EXPECT_EQ(run.torvaneCalls("Upload").size(), 1u) << "closing did not start a second upload";
  EXPECT_EQ(run.torvaneStore().at("assets").size(), 1u);
}

TEST(UploadE2ETest, AFailureIsShownOnceAndNotAgainByTheNextInvocation) {
  struct Case {
    std::string name;
    json part;
    json nx;
    json faults;
  };
  const json drawing = {{"name", "frame"},
                        {"full_path", "drawings/frame_dwg.prt"},
                        {"unique_identifier", "3c4d5e6f-0000-4000-8000-000000000001"},
                        {"drawing_sheets", {"SHT1"}}};
  const std::vector<Case> cases = {
      {"Torvane fails at once", kBracket, json::object(), {{"Upload", {{"error", "boom"}}}}},
      {"Torvane fails while the transfer is shown",
       kBracket,
       json::object(),
       {{"Upload", {{"error", "boom"}, {"delay_ms", 1500}}}}},
      {"the export writes nothing",
       drawing,
       {{"application_module", "drafting"}, {"print_writes_file", false}},
       json::object()},
  };
  std::vector<json> scenarios;
  for (const auto& c : cases) {
    json scenario = uploadScenario(
        {c.part},
        {dialog("synquoGui.dlx", {{{"press", "uploadButton"}}}),
         {{"file", "uploadProgress.dlx"}, {"actions", json::array()}, {"settle_ms", 20000}}},
        {{"expect_dialogs", {"synquoGui.dlx", "uploadProgress.dlx"}}}, c.faults);
    scenario["nx"].update(c.nx);
    scenario["steps"].push_back(closeMainDialog());
    scenarios.push_back(scenario);
  }
  SimBatch batch;
  const auto runs = batch.run(scenarios);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const SimRun& run = runs[i];
    ASSERT_EQ(run.exitCode, 0) << run.failures();
    const auto boxes = run.eventsIn(2, "message_box");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].at("type"), "Error");
    EXPECT_EQ(boxes[0].at("text").get<std::string>().rfind("Synquo upload failed.", 0), 0u);
    EXPECT_TRUE(run.eventsIn(3, "message_box").empty());
    EXPECT_TRUE(run.torvaneStore().at("assets").empty());
  }
}

TEST(UploadE2ETest, TheBrowserOpensTheModelNotTheRevisionTorvaneLinked) {
  const json managed = {
      {"name", "pump"},
      {"full_path", "@DB/PMP-100/B"},
      {"leaf", "PMP-100/B"},
      {"unique_identifier", "2b3c4d5e-0000-4000-8000-000000000001"},
      {"managed", {{"part_number", "PMP-100"}, {"revision", "B"}, {"revision_id", "B.2"}}}};
  const std::vector<json> parts = {kBracket, managed};
  std::vector<json> scenarios;
  for (const auto& part : parts) {
    scenarios.push_back(
        uploadScenario({part},
                       {dialog("synquoGui.dlx", {{{"press", "uploadButton"}}}),
                        dialog("uploadProgress.dlx", {waitForLabel("Uploaded"),
                                                      {{"press", "openInSynquoButton"}},
                                                      {{"wait_ms", 300}},
                                                      {{"close", true}}})},
                       {{"expect_message_boxes", json::array()}}));
    scenarios.back()["steps"].push_back(
        {{"wait_for_browser", {{"count", 2}, {"timeout_ms", 10000}}}});
  }
  SimBatch batch;
  const auto runs = batch.run(scenarios);
  for (size_t i = 0; i < parts.size(); ++i) {
    SCOPED_TRACE(parts[i].at("name").get<std::string>());
    const SimRun& run = runs[i];
    ASSERT_EQ(run.exitCode, 0) << run.failures();
    const auto uploads = run.torvaneCalls("Upload");
    ASSERT_EQ(uploads.size(), 1u);
    const std::string linked = uploads[0].at("result").at(0).begin().value().get<std::string>();
    const size_t query = linked.find("?revisionId=");
    ASSERT_NE(query, std::string::npos) << linked;

    const auto urls = run.events("url");
    ASSERT_EQ(urls.size(), 2u);
    const std::string opened = urls[1].at("url");
    EXPECT_EQ(opened, linked.substr(0, query));
    EXPECT_EQ(opened.find("revisionId"), std::string::npos);
    EXPECT_EQ(opened.find("revision_id"), std::string::npos);
  }
}

}  // namespace
}  // namespace simrunner::testing
