// The two passes over the displayed model in the simulated NX over real files: what the
// dialog is told, what an upload is prepared with, when the model is exported again, and
// what each pass logs.
#include "addin/export/DisplayMetadata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <sstream>
#include <stdexcept>

#include <uf.h>

#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/FailingPlatform.h"
#include "addin/tests/support/ModelFixture.h"
#include "addin/tests/support/NewerFile.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using Fixture = testsupport::ModelFixture;

constexpr const char* kRootId = "11111111-1111-4111-8111-111111111111";
constexpr const char* kBoltId = "22222222-2222-4222-8222-222222222222";

std::vector<std::string> passLines(const testsupport::LogCapture& log) {
  return testsupport::linesStartingWith(
      log,
      {"NX modified-state", "NX metadata read", "Reading NX display", "NX display metadata",
       "Managed NX display", "NX upload preparation", "Preparing NX upload", "Running NX export",
       "NX export before upload", "Reusing cached", "Prepared NX upload"});
}

using DisplayMetadata = testsupport::ModelFixture;

struct ReadCase {
  const char* name;
  std::function<void(Fixture&)> setup;
  const char* fileName;
  const char* sourceFileId;
  double sizeMegabytes;
  bool isAssembly;
  size_t files;
  std::vector<std::string> log;  // empty: not looked at
};

TEST_F(DisplayMetadata, ReadingDescribesTheDisplayedModel) {
  const std::vector<ReadCase> cases = {
      {"no displayed part",
       [](Fixture&) {},
       "No displayed part",
       "",
       0.0,
       false,
       0,
       {"[WARNING] [Synquo] NX metadata read found no displayed part."}},
      {"saved native part",
       [](Fixture& t) { t.display(t.native("plate.prt", kRootId, 1572864)); },
       "plate.prt",
       kRootId,
       1.5,
       false,
       1,
       {"[INFO] [Synquo] Reading NX display metadata: part=\"{m}plate.prt (plate)\" "
        "drawing=false managed=false source=\"{m}plate.prt\".",
        "[DEBUG] [Synquo] NX display metadata read from local source: file_name=\"plate.prt\" "
        "source_file_id=\"11111111-1111-4111-8111-111111111111\" size_mb=1.5.",
        "[INFO] [Synquo] NX display metadata ready: file_name=\"plate.prt\" "
        "source_file_id=\"11111111-1111-4111-8111-111111111111\" drawing=false managed=false "
        "unsaved=false is_assembly=false unsupported_file_types=false files=1 uploaded_files=0 "
        "exported_file=\"\"."}},
      {"native part never saved",
       [](Fixture& t) { t.display(t.native("", "ID")); },
       "draft",
       "ID",
       0.0,
       false,
       1,
       {"[INFO] [Synquo] Reading NX display metadata: part=\"draft\" drawing=false "
        "managed=false source=\"\".",
        "[WARNING] [Synquo] NX display metadata found a local part without a saved source file: "
        "part=\"draft\" source_file_id=\"ID\" source=\"\".",
        "[INFO] [Synquo] NX display metadata ready: file_name=\"draft\" source_file_id=\"ID\" "
        "drawing=false managed=false unsaved=false is_assembly=false "
        "unsupported_file_types=false files=1 uploaded_files=0 exported_file=\"\"."}},
      {"family instance",
       [](Fixture& t) {
         nxsim::PartDefinition part = t.native("bolt_m8.prt", "ABC");
         part.familyIndex = 2;
         t.display(part);
       },
       "bolt_m8.prt",
       "ABC_bolt_m8",
       0.0,
       false,
       1,
       {}},
      {"drawing of an assembly",
       [](Fixture& t) {
         nxsim::setApplicationModule(UF_APP_DRAFTING);
         const tag_t root = t.display(t.native("frame.prt", "XYZ"));
         nxsim::addComponent(root, nxsim::addPart(t.native("bolt.prt", kBoltId)));
       },
       "frame.prt",
       "XYZ_drawing",
       0.0,
       false,
       0,
       {}},
      {"native assembly",
       [](Fixture& t) {
         const tag_t root = t.display(t.native("frame.prt", kRootId, 524288));
         nxsim::addComponent(root, nxsim::addPart(t.native("bolt.prt", kBoltId, 1048576)));
       },
       "frame.prt",
       kRootId,
       1.5,
       true,
       2,
       {}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    c.setup(*this);
    testsupport::LogCapture log;
    const ModelMetadata m = readDisplayMetadata();
    EXPECT_EQ(m.fileName, c.fileName);
    EXPECT_EQ(m.sourceFileId, c.sourceFileId);
    EXPECT_DOUBLE_EQ(m.sizeMegabytes, c.sizeMegabytes);
    EXPECT_EQ(m.lastModifiedUtc.empty(), m.lastModified == "Unknown");
    EXPECT_EQ(m.isAssembly, c.isAssembly);
    EXPECT_EQ(m.files.size(), c.files);
    if (!c.log.empty()) {
      EXPECT_EQ(passLines(log), expand(c.log));
    }
    EXPECT_TRUE(nxsim::violations().empty());
  }
}

TEST_F(DisplayMetadata, ReadingNeverWritesToAPart) {
  const tag_t root = display(native("frame.prt", "legacy-0042"));
  const tag_t bolt = nxsim::addPart(native("bolt.prt", "legacy-0043"));
  nxsim::addComponent(root, bolt);
  const ModelMetadata m = readDisplayMetadata();
  EXPECT_TRUE(m.legacyIdentifier);
  EXPECT_EQ(m.sourceFileId, "legacy-0042");
  for (const tag_t part : {root, bolt}) {
    EXPECT_EQ(nxsim::partState(part).saveCount, 0);
    EXPECT_TRUE(nxsim::partState(part).attributes.empty());
  }
}

TEST_F(DisplayMetadata, FileStatsThatCannotBeReadRaiseWithTheOperation) {
  using Op = platform::FailingPlatform::Operation;
  for (const auto& [operation, what] :
       {std::pair<Op, const char*>{Op::FileSize, "file_size"},
        std::pair<Op, const char*>{Op::LastWriteTime, "last_write_time"}}) {
    nxsim::reset();
    display(native("plate.prt", kRootId));
    platform::FailingPlatform failing(
        platform::os(), 1, std::make_error_code(std::errc::permission_denied), operation);
    platform::ScopedPlatform scope(failing);
    try {
      readDisplayMetadata();
      ADD_FAILURE() << "no error";
    } catch (const fs::filesystem_error& e) {
      EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
      EXPECT_EQ(e.path1(), models_.path() / "plate.prt");
    }
  }
}

TEST_F(DisplayMetadata, ModelFactsFallBackWhenNxCannotSay) {
  const tag_t plate = display(native("plate.prt", kRootId));
  testsupport::LogCapture log;
  // The first UF bracket asks for the application, the second for the modified state.
  nxsim::injectFault({"UF_initialize", nxsim::FaultKind::Status, 2, false, 7});
  EXPECT_FALSE(readDisplayMetadata().unsaved);
  EXPECT_EQ(passLines(log).at(0),
            expand({"[WARNING] [Synquo] NX modified-state check failed because UF_initialize "
                    "returned status 7: part=\"{m}plate.prt (plate)\"."})
                .at(0));
  EXPECT_EQ(revisionId(nxsim::partObject(plate)), "1");
  for (const auto& [revision, configured, expected] :
       {std::tuple<const char*, bool, const char*>{"B.2", true, "B.2"},
        {"", true, "1"},
        {"B.2", false, "1"}}) {
    nxsim::PartDefinition part =
        managed(std::string("P-") + revision + (configured ? "c" : ""), kRootId);
    part.managed->revisionId = revision;
    part.managed->hasConfiguredRevision = configured;
    EXPECT_EQ(revisionId(nxsim::partObject(nxsim::addPart(part))), expected) << revision;
  }
  EXPECT_EQ(formatUtcFileTime(std::chrono::system_clock::from_time_t(1700000000)),
            "2023-11-14T22:13:20Z");
}

TEST_F(DisplayMetadata, PreparationWithoutModelOrSavedFileStops) {
  ModelMetadata m;
  m.exportedFile = "somewhere.prt";
  testsupport::LogCapture log;
  prepareUpload(m);
  EXPECT_EQ(m.exportedFile, fs::path("somewhere.prt"));
  display(native("", kRootId));
  prepareUpload(m);
  EXPECT_EQ(m.preparationError, "Save the NX file before uploading to Synquo.");
  EXPECT_TRUE(m.exportedFile.empty());
  const std::vector<std::string> lines = passLines(log);
  EXPECT_EQ(lines.front(),
            "[WARNING] [Synquo] NX upload preparation skipped because there is no displayed "
            "part.");
  EXPECT_EQ(lines.back(),
            "[WARNING] [Synquo] NX upload preparation stopped because the native model has no "
            "saved local source file: part=\"draft\" source=\"\".");
}

TEST_F(DisplayMetadata, PreparationCopiesANativeAssemblyAndItsMembers) {
  const tag_t root = display(native("frame.prt", kRootId, 524288));
  nxsim::addComponent(root, nxsim::addPart(native("bolt.prt", kBoltId, 1048576)));
  ModelMetadata m = readDisplayMetadata();
  testsupport::LogCapture log;
  prepareUpload(m);
  ASSERT_EQ(m.files.size(), 2u);
  EXPECT_TRUE(m.isAssembly);
  EXPECT_DOUBLE_EQ(m.sizeMegabytes, 1.5);
  EXPECT_EQ(m.uploadName, std::optional<std::string>("frame.prt"));
  EXPECT_EQ(testsupport::readFile(m.exportedFile), std::string(524288, 'x'));
  const std::string exported = platform::toUtf8(m.exportedFile);
  EXPECT_EQ(passLines(log),
            expand({"[INFO] [Synquo] Preparing NX upload files: part=\"{m}frame.prt (frame)\" "
                    "drawing=false managed=false unsaved=false cached_export=\"\" "
                    "source=\"{m}frame.prt\".",
                    "[INFO] [Synquo] Running NX export before upload: reason=local_source "
                    "part=\"{m}frame.prt (frame)\".",
                    "[INFO] [Synquo] NX export before upload complete: reason=local_source "
                    "exported_file=\"" +
                        exported + "\".",
                    "[INFO] [Synquo] Prepared NX upload files: file_name=\"frame.prt\" "
                    "source_file_id=\"11111111-1111-4111-8111-111111111111\" drawing=false "
                    "managed=false is_assembly=true exported_file=\"" +
                        exported + "\" files=2 uploaded_files=2."}));
}

TEST_F(DisplayMetadata, PreparationReusesTheDisplayExportUnlessTheIdentifierChanged) {
  struct Case {
    const char* internalId;
    bool cached;
    bool drawing;
    const char* reason;  // null: the cached export is reused
  };
  for (const Case& c : {Case{kRootId, true, false, nullptr},
                        Case{"legacy-0042", true, false, "traceability_changed"},
                        Case{kRootId, false, false, "missing_cached_managed_export"},
                        Case{kRootId, true, true, "drawing"}}) {
    nxsim::reset();
    nxsim::setApplicationModule(c.drawing ? UF_APP_DRAFTING : 0);
    display(managed("100-A", c.internalId));
    testsupport::TempDir shared("brevin-shared");
    testsupport::writeFile(shared / "100-A.prt", "clone");
    const std::string clone = platform::toUtf8(shared / "100-A.prt");
    ModelMetadata m;
    if (c.cached) m.exportedFile = shared / "100-A.prt";
    testsupport::LogCapture log;
    prepareUpload(m);
    const std::string second = passLines(log).at(1);
    if (c.reason == nullptr) {
      EXPECT_EQ(second,
                "[INFO] [Synquo] Reusing cached managed NX export before upload: "
                "exported_file=\"" +
                    clone + "\".");
      ASSERT_EQ(m.files.size(), 1u);
      EXPECT_EQ(m.files.front().localFilePath, clone);
      EXPECT_EQ(m.files.front().sourceRevisionId, "B.2");
    } else {
      EXPECT_EQ(second, std::string("[INFO] [Synquo] Running NX export before upload: reason=") +
                            c.reason + " part=\"100-A\".");
    }
  }
}

size_t cloneCount() {
  const std::vector<std::string> names = nxsim::journalNames();
  return static_cast<size_t>(std::count(names.begin(), names.end(), "UF_CLONE_perform_clone"));
}

TEST_F(DisplayMetadata, ManagedModelIsDescribedFromItsRealCloneExport) {
  struct Case {
    const char* name;
    std::function<void(Fixture&)> setup;
    bool isAssembly;
    size_t files;
    // {x}: the exported file; {size}: its size in megabytes.
    std::vector<std::string> log;
  };
  const std::vector<Case> cases = {
      {"single part",
       [](Fixture& t) { t.display(t.managed("100-A", kRootId)); },
       false,
       1,
       {"[DEBUG] [Synquo] NX display metadata read from managed export: file_name=\"100-A.prt\" "
        "source_file_id=\"11111111-1111-4111-8111-111111111111\" exported_file=\"{x}\" "
        "size_mb={size}."}},
      {"clone that fails",
       [](Fixture& t) {
         t.display(t.managed("100-A", kRootId));
         nxsim::injectFault({"UF_CLONE_perform_clone", nxsim::FaultKind::Status, 1, false, 7});
       },
       false,
       0,
       {"[WARNING] [Synquo] Managed NX display metadata export produced no local clone: "
        "part=\"100-A\" source_file_id=\"11111111-1111-4111-8111-111111111111\".",
        "[WARNING] [Synquo] NX display metadata could not read managed export file stats: "
        "part=\"100-A\" exported_file=\"\" error=\"\"."}},
      {"assembly",
       [](Fixture& t) {
         const tag_t root = t.display(t.managed("100-A", kRootId));
         nxsim::addComponent(root, nxsim::addPart(t.managed("200-B", kBoltId)));
       },
       true,
       2,
       {"[DEBUG] [Synquo] NX display metadata read from managed export: file_name=\"100-A.prt\" "
        "source_file_id=\"11111111-1111-4111-8111-111111111111\" exported_file=\"{x}\" "
        "size_mb={size}."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    // A fresh export directory: a file rewritten within the clock tick of an earlier row's
    // copy would look unchanged to the snapshot.
    synquo::removeSessionTempDirectory();
    emptyBase();
    c.setup(*this);
    testsupport::NewerFile newer(platform::os(), "200-B.prt");
    platform::ScopedPlatform scope(newer);
    testsupport::LogCapture log;
    ModelMetadata m = readDisplayMetadata();
    EXPECT_EQ(m.isAssembly, c.isAssembly);
    EXPECT_EQ(m.files.size(), c.files);
    EXPECT_EQ(cloneCount(), 1u);
    EXPECT_TRUE(nxsim::violations().empty());
    const std::vector<std::string> displayLines = testsupport::linesStartingWith(
        log, {"Managed NX display", "NX display metadata read from managed",
              "NX display metadata could not"});
    if (m.exportedFile.empty()) {
      EXPECT_EQ(displayLines, c.log);
      EXPECT_EQ(m.lastModified, "Unknown");
      EXPECT_EQ(m.lastModifiedUtc, "");
      continue;
    }
    EXPECT_EQ(m.exportedFile.parent_path().parent_path(), sessionTempDirectory(kRootId));
    std::ostringstream exportedSize;
    exportedSize << static_cast<double>(fs::file_size(m.exportedFile)) / 1048576.0;
    std::vector<std::string> expected;
    for (std::string line : c.log) {
      line.replace(line.find("{x}"), 3, platform::toUtf8(m.exportedFile));
      expected.push_back(line.replace(line.find("{size}"), 6, exportedSize.str()));
    }
    EXPECT_EQ(displayLines, expected);
    // The clone wrote only the files the record collected, so the directory's total and newest
    // time are what the record must show.
    std::uintmax_t bytes = 0;
    std::chrono::system_clock::time_point newest;
    for (const fs::directory_entry& file : fs::directory_iterator(m.exportedFile.parent_path())) {
      bytes += file.file_size();
      std::chrono::system_clock::time_point when;
      ASSERT_FALSE(platform::os().lastWriteTime(file.path(), when));
      newest = std::max(newest, when);
    }
    EXPECT_DOUBLE_EQ(m.sizeMegabytes, static_cast<double>(bytes) / 1048576.0);
    EXPECT_EQ(m.lastModified, formatLocalFileTime(newest));
    EXPECT_EQ(m.lastModifiedUtc, formatUtcFileTime(newest));

    const fs::path exported = m.exportedFile;
    log.clear();
    prepareUpload(m);
    EXPECT_EQ(m.exportedFile, exported);
    EXPECT_EQ(m.files.size(), c.files);
    EXPECT_EQ(cloneCount(), 1u);
    EXPECT_EQ(
        testsupport::linesStartingWith(log, {"Reusing cached"}),
        std::vector<std::string>{"[INFO] [Synquo] Reusing cached managed NX export before upload: "
                                 "exported_file=\"" +
                                 platform::toUtf8(exported) + "\"."});
  }
}

TEST_F(DisplayMetadata, PreparationRaisesARemainingTraceabilityError) {
  nxsim::setSaveOutcome(display(native("plate.prt", "legacy-0042")), 0, 1);
  ModelMetadata m;
  const std::string error =
      "Legacy file(s) detected. Unable to upload because SYNQUO_ID could not be saved for " +
      platform::toUtf8(models_.path() / "plate.prt") + " (plate).";
  EXPECT_THROW(
      try { prepareUpload(m); } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), error);
        throw;
      },
      std::runtime_error);
  EXPECT_EQ(m.traceabilityError, error);
}

}  // namespace
}  // namespace synquo
