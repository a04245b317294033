// Collecting an assembly's upload files in the simulated NX over real files: which members
// become records, what each skip and failure logs, and the two pre-checks over members.
#include "addin/export/AssemblyCollection.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/FailingPlatform.h"
#include "addin/tests/support/LogCapture.h"
#include "addin/tests/support/SessionTempFixture.h"
#include "addin/tests/support/TestFiles.h"
#include "sim/nx/NxSim.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using host::NULL_TAG;
using host::tag_t;

// Only this layer's own lines: the export and identifier layers log for themselves.
std::vector<std::string> collectionLines(const testsupport::LogCapture& log) {
  std::vector<std::string> lines;
  for (const std::string& entry : log.entries()) {
    if (entry.find("ssembly") != std::string::npos ||
        entry.find("Collected ") != std::string::npos) {
      lines.push_back(entry);
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

class AssemblyCollection : public testsupport::SessionTempFixture {
 public:
  AssemblyCollection() {
    nxsim::reset();
    configure("false");
  }
  ~AssemblyCollection() override { nxsim::reset(); }

  // A saved native part file in the models directory; an empty name gives a part never saved.
  nxsim::PartDefinition native(const std::string& fileName, const std::string& id) {
    nxsim::PartDefinition part;
    if (!fileName.empty()) {
      part.fullPath = platform::toUtf8(models_.path() / fileName);
      testsupport::writeFile(models_.path() / fileName, "part " + fileName);
    } else {
      part.leaf = "unsaved";
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
    name.revision = "A";
    name.revisionId = "A.1";
    part.managed = name;
    return part;
  }

  host::BasePart* display(tag_t root) {
    nxsim::setDisplayedPart(root);
    return nxsim::partObject(root);
  }

  // Expected texts name the models directory {m} and the shared export directory {shared},
  // {s} with a separator after it.
  std::vector<std::string> expand(const std::vector<std::string>& lines,
                                  const fs::path& shared = fs::path()) const {
    std::vector<std::string> result;
    for (const std::string& line : lines) {
      std::string text = replaceAll(line, "{m}", platform::toUtf8(models_.path() / ""));
      text = replaceAll(text, "{s}", platform::toUtf8(shared / ""));
      result.push_back(replaceAll(text, "{shared}", platform::toUtf8(shared)));
    }
    return result;
  }

  testsupport::TempDir models_{"brevin-models"};
};

constexpr const char* kRootId = "11111111-1111-4111-8111-111111111111";
constexpr const char* kBoltId = "22222222-2222-4222-8222-222222222222";
constexpr const char* kNutId = "33333333-3333-4333-8333-333333333333";

struct LocalCase {
  const char* name;
  std::function<host::BasePart*(AssemblyCollection&)> build;
  bool isAssembly;
  std::vector<std::string> files;  // upload names of the records, in order
  std::vector<std::string> log;
};

TEST_F(AssemblyCollection, LocalCollectionExportsEachMemberOnceRootFirst) {
  const std::vector<LocalCase> cases = {
      {"part without children",
       [](AssemblyCollection& t) {
         return t.display(nxsim::addPart(t.native("plate.prt", kRootId)));
       },
       false,
       {"plate.prt"},
       {"[INFO] [Synquo] Collected local NX upload files: part=\"{m}plate.prt (plate)\" "
        "is_assembly=false files=1 uploaded_files=1."}},
      {"component used twice",
       [](AssemblyCollection& t) {
         tag_t root = nxsim::addPart(t.native("frame.prt", kRootId));
         tag_t bolt = nxsim::addPart(t.native("bolt.prt", kBoltId));
         nxsim::addComponent(root, bolt);
         nxsim::addComponent(root, bolt);
         return t.display(root);
       },
       true,
       {"frame.prt", "bolt.prt"},
       {"[DEBUG] [Synquo] Assembly member skipped because it was already collected: "
        "part=\"{m}bolt.prt (bolt)\" key=\"{m}bolt.prt\".",
        "[INFO] [Synquo] Collected local NX upload files: part=\"{m}frame.prt (frame)\" "
        "is_assembly=true files=2 uploaded_files=2."}},
      {"member never saved, member not a part, members below it",
       [](AssemblyCollection& t) {
         tag_t root = nxsim::addPart(t.native("frame.prt", kRootId));
         tag_t unsaved = nxsim::addPart(t.native("", kBoltId));
         nxsim::PartDefinition notPart = t.native("sheet.prt", kNutId);
         notPart.isPart = false;
         tag_t sub = nxsim::addComponent(root, nxsim::addPart(notPart));
         nxsim::addComponent(sub, unsaved);
         return t.display(root);
       },
       true,
       {"frame.prt"},
       {"[WARNING] [Synquo] Assembly member export produced no local upload file: "
        "part=\"unsaved\" source=\"\".",
        "[WARNING] [Synquo] Assembly member skipped because upload identifiers could not be "
        "resolved: part=\"unsaved\".",
        "[INFO] [Synquo] Collected local NX upload files: part=\"{m}frame.prt (frame)\" "
        "is_assembly=true files=1 uploaded_files=1."}},
      {"assembly whose root was never saved",
       [](AssemblyCollection& t) {
         tag_t root = nxsim::addPart(t.native("", kRootId));
         nxsim::addComponent(root, nxsim::addPart(t.native("bolt.prt", kBoltId)));
         return t.display(root);
       },
       true,
       {},
       {"[WARNING] [Synquo] Assembly member export produced no local upload file: "
        "part=\"unsaved\" source=\"\".",
        "[ERROR] [Synquo] Local assembly export aborted because the root file was not "
        "exportable: part=\"unsaved\"."}},
      {"root component that NX cannot give",
       [](AssemblyCollection& t) {
         tag_t root = nxsim::addPart(t.native("frame.prt", kRootId));
         nxsim::addComponent(root, nxsim::addPart(t.native("bolt.prt", kBoltId)));
         nxsim::injectFault({"ComponentAssembly::RootComponent", nxsim::FaultKind::Throw, 1, false,
                             1, 5, "no structure"});
         return t.display(root);
       },
       false,
       {},
       {"[ERROR] [Synquo] Local assembly export failed while walking components: "
        "part=\"{m}frame.prt (frame)\" error=\"no structure\".",
        "[INFO] [Synquo] Collected local NX upload files: part=\"{m}frame.prt (frame)\" "
        "is_assembly=false files=0 uploaded_files=0."}},
  };
  for (const LocalCase& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    emptyBase();
    testsupport::LogCapture log;
    host::BasePart* root = c.build(*this);
    const CollectedFiles collected = collectLocalUploadFiles(root);
    EXPECT_EQ(collected.isAssembly, c.isAssembly);
    std::vector<std::string> names;
    for (const auto& record : collected.files) {
      names.push_back(record.filename);
      EXPECT_EQ(platform::toUtf8(platform::fromUtf8(record.localFilePath).filename()),
                record.filename);
      EXPECT_EQ(testsupport::readFile(platform::fromUtf8(record.localFilePath)),
                "part " + record.filename);
      EXPECT_EQ(record.sourceVersionId, "1");
      EXPECT_EQ(record.sourceRevisionId, "1");
    }
    EXPECT_EQ(names, c.files);
    EXPECT_EQ(collectionLines(log), expand(c.log));
    EXPECT_TRUE(nxsim::violations().empty());
  }
}

TEST_F(AssemblyCollection, RecordCarriesIdentifiersOfThePart) {
  nxsim::PartDefinition family = native("bolt_m8.prt", kBoltId);
  family.familyInstance = true;
  tag_t root = nxsim::addPart(family);
  const CollectedFiles collected = collectLocalUploadFiles(display(root));
  ASSERT_EQ(collected.files.size(), 1u);
  const vantel::VantelUploadPayloadFile& record = collected.files.front();
  EXPECT_EQ(record.sourceFileId, std::string(kBoltId) + "_bolt_m8");
  EXPECT_EQ(record.sourceFilePath, platform::toUtf8(models_.path() / "bolt_m8.prt"));
  EXPECT_TRUE(record.securityAttributes.empty());
  EXPECT_TRUE(record.sourceFolderId.empty());
  EXPECT_EQ(record.autodiscoverModelId, std::optional<bool>(true));
}

struct ManagedCase {
  const char* name;
  std::vector<std::string> sharedFiles;  // written into the shared export directory
  bool noDirectory;                      // the shared directory is passed empty
  std::vector<std::string> files;        // local file names of the records, in order
  std::vector<std::string> log;
};

// Root 100-A with members BOLT-1 (used twice) and a native part never saved.
TEST_F(AssemblyCollection, ManagedCollectionLooksMembersUpByPartNumber) {
  const std::vector<ManagedCase> cases = {
      {"prt preferred to pdf, duplicate and undecodable member skipped",
       {"100-A.prt", "100-a.pdf", "BOLT-1.pdf", "bolt-1.prt", "other.prt"},
       false,
       {"100-A.prt", "bolt-1.prt"},
       {"[DEBUG] [Synquo] Managed assembly member lookup matched exported file: part=\"100-A\" "
        "part_number=\"100-A\" file=\"{s}100-A.prt\".",
        "[DEBUG] [Synquo] Managed assembly member lookup matched exported file: part=\"BOLT-1\" "
        "part_number=\"BOLT-1\" file=\"{s}bolt-1.prt\".",
        "[DEBUG] [Synquo] Managed assembly member lookup matched exported file: part=\"BOLT-1\" "
        "part_number=\"BOLT-1\" file=\"{s}bolt-1.prt\".",
        "[DEBUG] [Synquo] Managed assembly member skipped because it was already collected: "
        "part=\"BOLT-1\" key=\"BOLT-1-id\".",
        "[WARNING] [Synquo] Managed assembly member lookup failed because the Teamcenter part "
        "number could not be read: part=\"unsaved\" directory=\"{shared}\".",
        "[WARNING] [Synquo] Managed assembly member omitted because no exported file was "
        "resolved: part=\"unsaved\" shared_export_directory=\"{shared}\".",
        "[WARNING] [Synquo] Managed assembly member skipped because upload identifiers could not "
        "be resolved: part=\"unsaved\" shared_export_directory=\"{shared}\".",
        "[INFO] [Synquo] Collected managed NX upload files: part=\"100-A\" is_assembly=true "
        "files=2 uploaded_files=2 shared_export_directory=\"{shared}\"."}},
      {"no exported root file",
       {"BOLT-1.prt"},
       false,
       {},
       {"[WARNING] [Synquo] Managed assembly member lookup found no exported file: part=\"100-A\" "
        "part_number=\"100-A\" directory=\"{shared}\".",
        "[WARNING] [Synquo] Managed assembly member omitted because no exported file was "
        "resolved: part=\"100-A\" shared_export_directory=\"{shared}\".",
        "[ERROR] [Synquo] Managed assembly file collection aborted because the root file was not "
        "resolved: part=\"100-A\" shared_export_directory=\"{shared}\"."}},
      {"no shared directory",
       {},
       true,
       {},
       {"[WARNING] [Synquo] Managed assembly member lookup skipped: part=\"100-A\" "
        "shared_export_directory=\"\".",
        "[WARNING] [Synquo] Managed assembly member omitted because no exported file was "
        "resolved: part=\"100-A\" shared_export_directory=\"\".",
        "[ERROR] [Synquo] Managed assembly file collection aborted because the root file was not "
        "resolved: part=\"100-A\" shared_export_directory=\"\"."}},
  };
  for (const ManagedCase& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    testsupport::TempDir shared("brevin-shared");
    for (const std::string& file : c.sharedFiles) testsupport::writeFile(shared / file, file);
    tag_t root = nxsim::addPart(managed("100-A", "100-A-id"));
    tag_t bolt = nxsim::addPart(managed("BOLT-1", "BOLT-1-id"));
    nxsim::addComponent(root, bolt);
    nxsim::addComponent(root, bolt);
    nxsim::addComponent(root, nxsim::addPart(native("", "")));
    testsupport::LogCapture log;
    const CollectedFiles collected = collectManagedUploadFiles(
        display(root), c.noDirectory ? fs::path() : shared.path(), ExportMode::Display);
    std::vector<std::string> names;
    for (const auto& record : collected.files) {
      names.push_back(platform::toUtf8(platform::fromUtf8(record.localFilePath).filename()));
      EXPECT_EQ(record.sourceRevisionId, "A.1");
    }
    EXPECT_EQ(names, c.files);
    EXPECT_EQ(collectionLines(log), expand(c.log, c.noDirectory ? fs::path() : shared.path()));
  }
}

TEST_F(AssemblyCollection, SharedDirectoryFailuresAreMemberFailures) {
  struct Case {
    const char* name;
    platform::FailingPlatform::Operation operation;
    std::vector<std::string> log;
  };
  const testsupport::TempDir shared("brevin-shared");
  const std::error_code denied = std::make_error_code(std::errc::permission_denied);
  const std::string reason = denied.message();
  const std::vector<Case> cases = {
      {"directory status",
       platform::FailingPlatform::Operation::Status,
       {"[WARNING] [Synquo] Managed assembly member lookup failed because the shared export "
        "directory is unavailable: part=\"100-A\" directory=\"{shared}\" error=\"" +
            reason + "\".",
        "[WARNING] [Synquo] Managed assembly member omitted because no exported file was "
        "resolved: part=\"100-A\" shared_export_directory=\"{shared}\"."}},
      {"directory walk",
       platform::FailingPlatform::Operation::Walk,
       {"[ERROR] [Synquo] Managed assembly member file collection failed: part=\"100-A\" "
        "shared_export_directory=\"{shared}\" error=\"" +
        std::string(
            fs::filesystem_error("recursive_directory_iterator::operator++", shared.path(), denied)
                .what()) +
        "\"."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    testsupport::writeFile(shared / "100-A.prt", "root");
    host::BasePart* root = display(nxsim::addPart(managed("100-A", "100-A-id")));
    testsupport::LogCapture log;
    platform::FailingPlatform failing(platform::os(), 1, denied, c.operation);
    platform::ScopedPlatform scope(failing);
    const vantel::VantelUploadPayloadFile record = lookupManagedMemberRecord(
        dynamic_cast<host::Part*>(root), shared.path(), ExportMode::Display);
    EXPECT_TRUE(record.localFilePath.empty());
    EXPECT_TRUE(record.sourceFileId.empty());
    EXPECT_EQ(collectionLines(log), expand(c.log, shared.path()));
  }
}

struct PreCheckCase {
  const char* name;
  std::function<void(AssemblyCollection&, tag_t root)> members;
  bool unsaved;
  bool unsupported;
  std::vector<std::string> log;
};

TEST_F(AssemblyCollection, PreChecksStopAtTheFirstMemberThatFails) {
  const std::vector<PreCheckCase> cases = {
      {"saved prt members",
       [](AssemblyCollection& t, tag_t root) {
         nxsim::addComponent(root, nxsim::addPart(t.native("bolt.prt", kBoltId)));
       },
       false,
       false,
       {}},
      {"modified member below a sub-assembly",
       [](AssemblyCollection& t, tag_t root) {
         tag_t sub = nxsim::addComponent(root, nxsim::addPart(t.native("sub.prt", kBoltId)));
         nxsim::PartDefinition nut = t.native("nut.prt", kNutId);
         nut.modified = true;
         nxsim::addComponent(sub, nxsim::addPart(nut));
       },
       true,
       false,
       {"[WARNING] [Synquo] Assembly child has unsaved changes: part=\"{m}nut.prt (nut)\"."}},
      {"member backed by a STEP file",
       [](AssemblyCollection&, tag_t root) {
         nxsim::addComponent(root, NULL_TAG, "C:\\parts\\bracket.STEP");
       },
       false,
       true,
       {"[WARNING] [Synquo] Assembly child has unsupported backing file type: "
        "backing_source=\"C:\\parts\\bracket.STEP\" extension=\".step\"."}},
      {"unloaded member whose prt is gone",
       [](AssemblyCollection&, tag_t root) {
         nxsim::addComponent(root, NULL_TAG, "/gone/washer.prt");
       },
       false,
       true,
       {"[WARNING] [Synquo] Assembly child backing .prt is not saved locally: "
        "backing_source=\"/gone/washer.prt\"."}},
      {"loaded native member from a foreign file",
       [](AssemblyCollection& t, tag_t root) {
         nxsim::addComponent(root, nxsim::addPart(t.native("shaft.x_t", kBoltId)), "shaft.prt");
       },
       false,
       true,
       {"[WARNING] [Synquo] Assembly child has unsupported loaded part source: "
        "part=\"{m}shaft.x_t (shaft)\" source=\"{m}shaft.x_t\" extension=\".x_t\"."}},
  };
  for (const PreCheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    tag_t root = nxsim::addPart(native("frame.prt", kRootId));
    c.members(*this, root);
    host::BasePart* part = display(root);
    testsupport::LogCapture log;
    EXPECT_EQ(hasUnsavedChildren(part), c.unsaved);
    EXPECT_EQ(hasUnsupportedChildSources(part), c.unsupported);
    EXPECT_EQ(collectionLines(log), expand(c.log));
    EXPECT_EQ(nxsim::ufInitializeDepth(), 0);
    EXPECT_TRUE(nxsim::violations().empty());
  }
}

TEST_F(AssemblyCollection, ModifiedCheckGoesOnWhenUfCannotStart) {
  tag_t root = nxsim::addPart(native("frame.prt", kRootId));
  nxsim::addComponent(root, nxsim::addPart(native("bolt.prt", kBoltId)));
  nxsim::PartDefinition nut = native("nut.prt", kNutId);
  nut.modified = true;
  nxsim::addComponent(root, nxsim::addPart(nut));
  host::BasePart* part = display(root);
  testsupport::LogCapture log;
  nxsim::injectFault({"UF_initialize", nxsim::FaultKind::Status, 1, false, 7});
  EXPECT_TRUE(hasUnsavedChildren(part));
  const std::string models = platform::toUtf8(models_.path() / "");
  EXPECT_EQ(collectionLines(log),
            (std::vector<std::string>{
                "[WARNING] [Synquo] Assembly child modified-state check failed because "
                "UF_initialize returned status 7: part=\"" +
                    models + "bolt.prt (bolt)\".",
                "[WARNING] [Synquo] Assembly child has unsaved changes: part=\"" + models +
                    "nut.prt (nut)\"."}));
  EXPECT_TRUE(nxsim::violations().empty());
}

}  // namespace
}  // namespace synquo
