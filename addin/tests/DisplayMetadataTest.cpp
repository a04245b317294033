// The two passes over the displayed model in the simulated NX over real files: what the
// dialog is told, what an upload is prepared with, when the model is exported again, and
// what each pass logs.
#include "addin/export/DisplayMetadata.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/FailingPlatform.h"
#include "addin/tests/support/LogCapture.h"
#include "addin/tests/support/SessionTempFixture.h"
#include "addin/tests/support/TestFiles.h"
#include "addin/traceability/TraceabilityStatus.h"
#include "sim/nx/NxSim.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using host::tag_t;

constexpr const char* kRootId = "11111111-1111-4111-8111-111111111111";
constexpr const char* kBoltId = "22222222-2222-4222-8222-222222222222";
const std::vector<std::string> kPassPrefixes = {
    "NX modified-state",   "NX metadata read",   "Reading NX display",
    "NX display metadata", "Managed NX display", "NX upload preparation",
    "Preparing NX upload", "Running NX export",  "NX export before upload",
    "Reusing cached",      "Prepared NX upload"};

// Only the two passes' own lines: the layers below log for themselves.
std::vector<std::string> passLines(const testsupport::LogCapture& log) {
  std::vector<std::string> lines;
  for (const std::string& entry : log.entries()) {
    const size_t tag = entry.find("[Synquo] ");
    for (const std::string& prefix : kPassPrefixes) {
      if (tag != std::string::npos && entry.compare(tag + 9, prefix.size(), prefix) == 0) {
        lines.push_back(entry);
        break;
      }
    }
  }
  return lines;
}

std::string replaceAll(std::string text, const std::string& name, const std::string& value) {
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
    text.replace(at, name.size(), value);
    at += value.size();
  }
  return text;
}

class DisplayMetadata : public testsupport::SessionTempFixture {
 public:
  DisplayMetadata() {
    nxsim::reset();
    configure("false");
    clearTraceabilityError();
    clearTraceabilityChanged();
  }
  ~DisplayMetadata() override {
    nxsim::reset();
    clearTraceabilityError();
    clearTraceabilityChanged();
  }

  // A native part saved in the models directory with that many bytes; no name: never saved.
  nxsim::PartDefinition native(const std::string& fileName, const std::string& id,
                               size_t bytes = 0) {
    nxsim::PartDefinition part;
    if (fileName.empty()) {
      part.leaf = "draft";
    } else {
      part.fullPath = platform::toUtf8(models_.path() / fileName);
      testsupport::writeFile(models_.path() / fileName, std::string(bytes, 'x'));
    }
    part.uniqueIdentifier = id;
    return part;
  }

  static nxsim::PartDefinition managed(const std::string& number, const std::string& id) {
    nxsim::PartDefinition part;
    part.leaf = number;
    part.uniqueIdentifier = id;
    nxsim::ManagedName name;
    name.partNumber = number;
    name.revision = "B";
    name.revisionId = "B.2";
    part.managed = name;
    return part;
  }

  static tag_t display(const nxsim::PartDefinition& definition) {
    const tag_t part = nxsim::addPart(definition);
    nxsim::setDisplayedPart(part);
    return part;
  }

  // {m}: the models directory with a separator after it; {t}: the session directory's.
  std::vector<std::string> expand(const std::vector<std::string>& lines) const {
    std::vector<std::string> result;
    for (const std::string& line : lines) {
      result.push_back(replaceAll(line, "{m}", platform::toUtf8(models_.path() / "")));
    }
    return result;
  }

  testsupport::TempDir models_{"brevin-models"};
};

struct ReadCase {
  const char* name;
  std::function<void(DisplayMetadata&)> setup;
  const char* fileName;
  const char* sourceFileId;
  double sizeMegabytes;
  bool lastModifiedKnown;
  bool isAssembly;
  size_t files;
  std::vector<std::string> log;
};

TEST_F(DisplayMetadata, ReadingDescribesTheDisplayedModel) {
  const std::vector<ReadCase> cases = {
      {"no displayed part",
       [](DisplayMetadata&) {},
       "No displayed part",
       "",
       0.0,
       false,
       false,
       0,
       {"[WARNING] [Synquo] NX metadata read found no displayed part."}},
      {"saved native part",
       [](DisplayMetadata& t) {
         DisplayMetadata::display(t.native("plate.prt", kRootId, 1572864));
       },
       "plate.prt",
       kRootId,
       1.5,
       true,
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
       [](DisplayMetadata& t) { DisplayMetadata::display(t.native("", kRootId)); },
       "draft",
       kRootId,
       0.0,
       false,
       false,
       1,
       {"[INFO] [Synquo] Reading NX display metadata: part=\"draft\" drawing=false "
        "managed=false source=\"\".",
        "[WARNING] [Synquo] NX display metadata found a local part without a saved source file: "
        "part=\"draft\" source_file_id=\"11111111-1111-4111-8111-111111111111\" source=\"\".",
        "[INFO] [Synquo] NX display metadata ready: file_name=\"draft\" "
        "source_file_id=\"11111111-1111-4111-8111-111111111111\" drawing=false managed=false "
        "unsaved=false is_assembly=false unsupported_file_types=false files=1 uploaded_files=0 "
        "exported_file=\"\"."}},
      {"family instance",
       [](DisplayMetadata& t) {
         nxsim::PartDefinition part = t.native("bolt_m8.prt", "ABC");
         part.familyIndex = 2;
         DisplayMetadata::display(part);
       },
       "bolt_m8.prt",
       "ABC_bolt_m8",
       0.0,
       true,
       false,
       1,
       {}},
      {"drawing of an assembly",
       [](DisplayMetadata& t) {
         nxsim::setApplicationModule(host::UF_APP_DRAFTING);
         const tag_t root = DisplayMetadata::display(t.native("frame.prt", "XYZ"));
         nxsim::addComponent(root, nxsim::addPart(t.native("bolt.prt", kBoltId)));
       },
       "frame.prt",
       "XYZ_drawing",
       0.0,
       true,
       false,
       0,
       {}},
      {"native assembly",
       [](DisplayMetadata& t) {
         const tag_t root = DisplayMetadata::display(t.native("frame.prt", kRootId, 524288));
         nxsim::addComponent(root, nxsim::addPart(t.native("bolt.prt", kBoltId, 1048576)));
       },
       "frame.prt",
       kRootId,
       1.5,
       true,
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
    EXPECT_EQ(m.lastModified != "Unknown", c.lastModifiedKnown);
    EXPECT_EQ(m.lastModifiedUtc.empty(), !c.lastModifiedKnown);
    EXPECT_EQ(m.isAssembly, c.isAssembly);
    EXPECT_EQ(m.files.size(), c.files);
    for (const auto& record : m.files) EXPECT_TRUE(record.localFilePath.empty());
    if (c.sourceFileId[0] != '\0') {
      EXPECT_EQ(m.revisionId, "1");
    }
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
  struct Case {
    platform::FailingPlatform::Operation operation;
    const char* what;
  };
  for (const Case& c :
       {Case{platform::FailingPlatform::Operation::FileSize, "file_size"},
        Case{platform::FailingPlatform::Operation::LastWriteTime, "last_write_time"}}) {
    SCOPED_TRACE(c.what);
    nxsim::reset();
    display(native("plate.prt", kRootId));
    platform::FailingPlatform failing(
        platform::os(), 1, std::make_error_code(std::errc::permission_denied), c.operation);
    platform::ScopedPlatform scope(failing);
    try {
      readDisplayMetadata();
      ADD_FAILURE() << "no error";
    } catch (const fs::filesystem_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.what), std::string::npos) << e.what();
      EXPECT_EQ(e.path1(), models_.path() / "plate.prt");
    }
  }
}

TEST_F(DisplayMetadata, ModifiedStateThatCannotBeAskedCountsAsSaved) {
  display(native("plate.prt", kRootId));
  testsupport::LogCapture log;
  // The first UF bracket asks for the application, the second for the modified state.
  nxsim::injectFault({"UF_initialize", nxsim::FaultKind::Status, 2, false, 7});
  EXPECT_FALSE(readDisplayMetadata().unsaved);
  EXPECT_EQ(passLines(log).at(0),
            expand({"[WARNING] [Synquo] NX modified-state check failed because UF_initialize "
                    "returned status 7: part=\"{m}plate.prt (plate)\"."})
                .at(0));
  EXPECT_TRUE(nxsim::violations().empty());
}

TEST_F(DisplayMetadata, RevisionIdComesFromTeamcenterElseOne) {
  struct Case {
    const char* name;
    const char* revisionId;
    bool configured;
    const char* expected;
  };
  for (const Case& c :
       {Case{"configured revision", "B.2", true, "B.2"}, Case{"no revision id", "", true, "1"},
        Case{"no configured revision", "B.2", false, "1"}}) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    nxsim::PartDefinition part = managed("100-A", kRootId);
    part.managed->revisionId = c.revisionId;
    part.managed->hasConfiguredRevision = c.configured;
    EXPECT_EQ(revisionId(nxsim::partObject(display(part))), c.expected);
  }
  EXPECT_EQ(revisionId(nxsim::partObject(display(native("plate.prt", kRootId)))), "1");
}

TEST_F(DisplayMetadata, FileTimesAreWrittenInEnglish) {
  const auto when = std::chrono::system_clock::from_time_t(1700000000);
  EXPECT_EQ(formatUtcFileTime(when), "2023-11-14T22:13:20Z");
  EXPECT_TRUE(std::regex_match(formatLocalFileTime(when),
                               std::regex("(January|February|March|April|May|June|July|August|"
                                          "September|October|November|December) \\d\\d, \\d{4} - "
                                          "\\d\\d:\\d\\d (AM|PM)")))
      << formatLocalFileTime(when);
}

TEST_F(DisplayMetadata, PreparationWithoutModelOrSavedFileStops) {
  ModelMetadata m;
  m.exportedFile = "somewhere.prt";
  testsupport::LogCapture log;
  prepareUpload(m);
  EXPECT_EQ(m.exportedFile, fs::path("somewhere.prt"));
  EXPECT_EQ(passLines(log),
            std::vector<std::string>{
                "[WARNING] [Synquo] NX upload preparation skipped because there is no displayed "
                "part."});

  display(native("", kRootId));
  prepareUpload(m);
  EXPECT_EQ(m.preparationError, "Save the NX file before uploading to Synquo.");
  EXPECT_TRUE(m.exportedFile.empty());
  EXPECT_TRUE(m.files.empty());
  EXPECT_EQ(passLines(log).back(),
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
  const std::string exported = platform::toUtf8(m.exportedFile);
  EXPECT_EQ(m.exportedFile.filename(), fs::path("frame.prt"));
  EXPECT_EQ(testsupport::readFile(m.exportedFile), std::string(524288, 'x'));
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
    const char* name;
    const char* internalId;
    bool cached;
    bool drawing;
    const char* reason;  // null: the cached export is reused
  };
  for (const Case& c :
       {Case{"cached", kRootId, true, false, nullptr},
        Case{"identifier written", "legacy-0042", true, false, "traceability_changed"},
        Case{"nothing cached", kRootId, false, false, "missing_cached_managed_export"},
        Case{"drawing", kRootId, true, true, "drawing"}}) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    nxsim::setApplicationModule(c.drawing ? host::UF_APP_DRAFTING : 0);
    display(managed("100-A", c.internalId));
    testsupport::TempDir shared("brevin-shared");
    testsupport::writeFile(shared / "100-A.prt", "clone");
    ModelMetadata m;
    if (c.cached) m.exportedFile = shared / "100-A.prt";
    testsupport::LogCapture log;
    prepareUpload(m);
    const std::vector<std::string> lines = passLines(log);
    ASSERT_GE(lines.size(), 2u);
    if (c.reason == nullptr) {
      EXPECT_EQ(lines.at(1),
                "[INFO] [Synquo] Reusing cached managed NX export before upload: "
                "exported_file=\"" +
                    platform::toUtf8(shared / "100-A.prt") + "\".");
      ASSERT_EQ(m.files.size(), 1u);
      EXPECT_EQ(m.files.front().localFilePath, platform::toUtf8(shared / "100-A.prt"));
      EXPECT_EQ(m.files.front().sourceRevisionId, "B.2");
      EXPECT_EQ(m.fileName, "100-A.prt");
    } else {
      EXPECT_EQ(lines.at(1), std::string("[INFO] [Synquo] Running NX export before upload: "
                                         "reason=") +
                                 c.reason + " part=\"100-A\".");
    }
  }
}

TEST_F(DisplayMetadata, PreparationRaisesARemainingTraceabilityError) {
  const tag_t part = display(native("plate.prt", "legacy-0042"));
  nxsim::setSaveOutcome(part, 0, 1);
  ModelMetadata m;
  const std::string error =
      "Legacy file(s) detected. Unable to upload because SYNQUO_ID could "
      "not be saved for " +
      platform::toUtf8(models_.path() / "plate.prt") + " (plate).";
  try {
    prepareUpload(m);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), error);
  }
  EXPECT_EQ(m.traceabilityError, error);
  EXPECT_EQ(m.sourceFileId, "legacy-0042");
}

}  // namespace
}  // namespace synquo
