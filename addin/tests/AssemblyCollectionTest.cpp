// Collecting an assembly's upload files in the simulated NX over real files: which members
// become records, what each skip and failure logs, and the two pre-checks over members.
#include "addin/export/AssemblyCollection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>

#include "addin/platform/PlatformWrapper.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/FailingPlatform.h"
#include "addin/tests/support/ModelFixture.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using Build = std::function<tag_t(testsupport::ModelFixture&)>;

constexpr const char* kRootId = "11111111-1111-4111-8111-111111111111";
constexpr const char* kBoltId = "22222222-2222-4222-8222-222222222222";

std::vector<std::string> collectionLines(const testsupport::LogCapture& log) {
  return testsupport::linesStartingWith(
      log, {"Assembly", "Managed assembly", "Local assembly", "Collected"});
}

std::vector<std::string> fileNames(const CollectedFiles& collected) {
  std::vector<std::string> names;
  for (const auto& record : collected.files) {
    names.push_back(platform::toUtf8(platform::fromUtf8(record.localFilePath).filename()));
  }
  return names;
}

using AssemblyCollection = testsupport::ModelFixture;

// Counts the walks and names the sources of the copies the collection makes.
class CallRecorder : public platform::PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  std::error_code walk(const fs::path& root, platform::Depth depth,
                       std::vector<platform::DirectoryEntry>& entries) override {
    ++walks;
    return PlatformWrapper::walk(root, depth, entries);
  }
  std::error_code copyFile(const fs::path& from, const fs::path& to) override {
    copied.push_back(platform::toUtf8(from.filename()));
    return PlatformWrapper::copyFile(from, to);
  }
  std::error_code lastWriteTime(const fs::path& path,
                                std::chrono::system_clock::time_point& when) override {
    std::string relative = platform::toUtf8(path.lexically_relative(timedBelow));
    std::replace(relative.begin(), relative.end(), '\\', '/');
    timed.insert(relative);
    return PlatformWrapper::lastWriteTime(path, when);
  }
  int walks = 0;
  std::vector<std::string> copied;
  fs::path timedBelow;
  std::set<std::string> timed;
};

struct Case {
  const char* name;
  Build build;
  std::vector<std::string> files;  // local file names of the records, in order
  std::vector<std::string> log;
  std::vector<std::string> copied = {};  // sources of the copies made, in order
};

TEST_F(AssemblyCollection, LocalCollectionExportsEachMemberOnceRootFirst) {
  const std::vector<Case> cases = {
      {"component used three times, member never saved, member that is no Part",
       [](testsupport::ModelFixture& t) {
         tag_t root = t.display(t.native("frame.prt", kRootId));
         tag_t bolt = nxsim::addPart(t.native("bolt.prt", kBoltId));
         nxsim::PartDefinition sheet = t.native("sheet.prt", kBoltId);
         sheet.isPart = false;
         nxsim::addComponent(root, bolt);
         nxsim::addComponent(root, bolt);
         tag_t sub = nxsim::addComponent(root, nxsim::addPart(sheet));
         nxsim::addComponent(sub, bolt);
         nxsim::addComponent(sub, nxsim::addPart(t.native("", kBoltId)));
         return root;
       },
       {"frame.prt", "bolt.prt"},
       {"[DEBUG] [Synquo] Assembly member skipped because it was already collected: "
        "part=\"{m}bolt.prt (bolt)\" key=\"{m}bolt.prt\".",
        "[DEBUG] [Synquo] Assembly member skipped because it was already collected: "
        "part=\"{m}bolt.prt (bolt)\" key=\"{m}bolt.prt\".",
        "[WARNING] [Synquo] Assembly member export produced no local upload file: "
        "part=\"draft\" source=\"\".",
        "[WARNING] [Synquo] Assembly member skipped because upload identifiers could not be "
        "resolved: part=\"draft\".",
        "[INFO] [Synquo] Collected local NX upload files: part=\"{m}frame.prt (frame)\" "
        "is_assembly=true files=2 uploaded_files=2."},
       {"frame.prt", "bolt.prt"}},
      {"root never saved",
       [](testsupport::ModelFixture& t) {
         tag_t root = t.display(t.native("", kRootId));
         nxsim::addComponent(root, nxsim::addPart(t.native("bolt.prt", kBoltId)));
         return root;
       },
       {},
       {"[WARNING] [Synquo] Assembly member export produced no local upload file: "
        "part=\"draft\" source=\"\".",
        "[ERROR] [Synquo] Local assembly export aborted because the root file was not "
        "exportable: part=\"draft\"."}},
      {"structure NX cannot give",
       [](testsupport::ModelFixture& t) {
         tag_t root = t.display(t.native("frame.prt", kRootId));
         nxsim::injectFault({"ComponentAssembly::RootComponent", nxsim::FaultKind::Throw, 1, false,
                             1, 5, "no structure"});
         return root;
       },
       {},
       {"[ERROR] [Synquo] Local assembly export failed while walking components: "
        "part=\"{m}frame.prt (frame)\" error=\"no structure\".",
        "[INFO] [Synquo] Collected local NX upload files: part=\"{m}frame.prt (frame)\" "
        "is_assembly=false files=0 uploaded_files=0."},
       {"frame.prt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    NXOpen::BasePart* root = nxsim::partObject(c.build(*this));
    testsupport::LogCapture log;
    CallRecorder recorder(platform::os());
    platform::ScopedPlatform scope(recorder);
    const CollectedFiles collected = collectLocalUploadFiles(root);
    EXPECT_EQ(recorder.copied, c.copied);
    EXPECT_EQ(fileNames(collected), c.files);
    for (const auto& record : collected.files) {
      EXPECT_EQ(record.filename, fileNames({{record}}).at(0));
      EXPECT_EQ(testsupport::readFile(platform::fromUtf8(record.localFilePath)), "");
    }
    EXPECT_EQ(collectionLines(log), expand(c.log));
    EXPECT_TRUE(nxsim::violations().empty());
  }
}

// Root 100-A with the member BOLT-1 used twice and a native member never saved.
TEST_F(AssemblyCollection, ManagedCollectionLooksMembersUpByPartNumber) {
  const std::vector<std::pair<std::vector<std::string>, Case>> cases = {
      {{"100-A.prt", "100-a.pdf", "BOLT-1.pdf", "bolt-1.prt"},
       {"prt before pdf",
        {},
        {"100-A.prt", "bolt-1.prt"},
        {"[DEBUG] [Synquo] Managed assembly member lookup matched exported file: part=\"100-A\" "
         "part_number=\"100-A\" file=\"{s}100-A.prt\".",
         "[DEBUG] [Synquo] Managed assembly member lookup matched exported file: "
         "part=\"BOLT-1\" part_number=\"BOLT-1\" file=\"{s}bolt-1.prt\".",
         "[DEBUG] [Synquo] Managed assembly member lookup matched exported file: "
         "part=\"BOLT-1\" part_number=\"BOLT-1\" file=\"{s}bolt-1.prt\".",
         "[DEBUG] [Synquo] Managed assembly member skipped because it was already collected: "
         "part=\"BOLT-1\" key=\"BOLT-1-id\".",
         "[WARNING] [Synquo] Managed assembly member lookup failed because the Teamcenter part "
         "number could not be read: part=\"draft\" directory=\"{shared}\".",
         "[WARNING] [Synquo] Managed assembly member omitted because no exported file was "
         "resolved: part=\"draft\" shared_export_directory=\"{shared}\".",
         "[WARNING] [Synquo] Managed assembly member skipped because upload identifiers could "
         "not be resolved: part=\"draft\" shared_export_directory=\"{shared}\".",
         "[INFO] [Synquo] Collected managed NX upload files: part=\"100-A\" is_assembly=true "
         "files=2 uploaded_files=2 shared_export_directory=\"{shared}\"."}}},
      {{"BOLT-1.prt"},
       {"no root file",
        {},
        {},
        {"[WARNING] [Synquo] Managed assembly member lookup found no exported file: "
         "part=\"100-A\" part_number=\"100-A\" directory=\"{shared}\".",
         "[WARNING] [Synquo] Managed assembly member omitted because no exported file was "
         "resolved: part=\"100-A\" shared_export_directory=\"{shared}\".",
         "[ERROR] [Synquo] Managed assembly file collection aborted because the root file was "
         "not resolved: part=\"100-A\" shared_export_directory=\"{shared}\"."}}},
  };
  for (const auto& [sharedFiles, c] : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    testsupport::TempDir shared("brevin-shared");
    for (const std::string& file : sharedFiles) testsupport::writeFile(shared / file, file);
    tag_t root = display(managed("100-A", "100-A-id"));
    tag_t bolt = nxsim::addPart(managed("BOLT-1", "BOLT-1-id"));
    nxsim::addComponent(root, bolt);
    nxsim::addComponent(root, bolt);
    nxsim::addComponent(root, nxsim::addPart(native("", "")));
    testsupport::LogCapture log;
    const CollectedFiles collected =
        collectManagedUploadFiles(nxsim::partObject(root), shared.path(), ExportMode::Display);
    EXPECT_EQ(fileNames(collected), c.files);
    for (const auto& record : collected.files) EXPECT_EQ(record.sourceRevisionId, "B.2");
    EXPECT_EQ(collectionLines(log), expand(c.log, shared.path()));
  }
}

// Root 100-A with the members BOLT-1, NUT-2 and WASHER-3; each shared file is written that
// many hours ago.
TEST_F(AssemblyCollection, ManagedCollectionWalksTheSharedDirectoryOnceAndPicksAsPerMember) {
  struct Row {
    const char* name;
    std::vector<std::pair<std::string, int>> sharedFiles;
    std::vector<std::string> files;
    // Times decide only between two files of one kind: only those are read.
    std::set<std::string> timed;
  };
  const std::vector<Row> rows = {
      {"prt before a newer pdf, the newer of two, a subfolder, unsupported files",
       {{"100-A.pdf", 1},
        {"100-a.prt", 5},
        {"BOLT-1.pdf", 3},
        {"sub/bolt-1.PDF", 2},  // another folder: Windows would take it for the same file
        {"NUT-2.prt", 4},
        {"sub/nut-2.prt", 1},
        {"WASHER-3.txt", 1},
        {"washer-3", 1}},
       {"100-a.prt", "bolt-1.PDF", "nut-2.prt"},
       {"BOLT-1.pdf", "NUT-2.prt", "sub/bolt-1.PDF", "sub/nut-2.prt"}},
      {"only the root, upper-case extension",
       {{"100-A.PRT", 1}, {"BOLT-1.step", 1}},
       {"100-A.PRT"},
       {}},
  };
  const auto now = fs::file_time_type::clock::now();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nxsim::reset();
    testsupport::TempDir shared("brevin-shared");
    fs::create_directories(shared / "sub");
    for (const auto& [file, hours] : row.sharedFiles) {
      testsupport::writeFile(shared / file, file);
      fs::last_write_time(shared / file, now - std::chrono::hours(hours));
    }
    tag_t root = display(managed("100-A", "100-A-id"));
    for (const char* number : {"BOLT-1", "NUT-2", "WASHER-3"}) {
      nxsim::addComponent(root, nxsim::addPart(managed(number, std::string(number) + "-id")));
    }
    std::vector<fs::path> perMember;
    for (const char* number : {"100-A", "BOLT-1", "NUT-2", "WASHER-3"}) {
      const fs::path found =
          findExportedFileByPartNumber(shared.path(), ExportDirectorySnapshot(), number);
      if (!found.empty()) perMember.push_back(found);
    }
    CallRecorder recorder(platform::os());
    recorder.timedBelow = shared.path();
    platform::ScopedPlatform scope(recorder);
    const CollectedFiles collected =
        collectManagedUploadFiles(nxsim::partObject(root), shared.path(), ExportMode::Display);
    EXPECT_EQ(recorder.timed, row.timed);
    std::vector<fs::path> indexed;
    for (const auto& record : collected.files) {
      indexed.push_back(platform::fromUtf8(record.localFilePath));
    }
    EXPECT_EQ(indexed, perMember);
    EXPECT_EQ(fileNames(collected), row.files);
    EXPECT_EQ(recorder.walks, 1);
  }
}

TEST_F(AssemblyCollection, SharedDirectoryThatCannotBeUsedFailsTheMember) {
  const testsupport::TempDir shared("brevin-shared");
  const std::error_code denied = std::make_error_code(std::errc::permission_denied);
  using Op = platform::FailingPlatform::Operation;
  const std::string walkError =
      fs::filesystem_error("recursive_directory_iterator::operator++", shared.path(), denied)
          .what();
  const std::vector<std::pair<Op, std::string>> cases = {
      {Op::Any,
       "[WARNING] [Synquo] Managed assembly member lookup skipped: part=\"100-A\" "
       "shared_export_directory=\"\"."},
      {Op::Status,
       "[WARNING] [Synquo] Managed assembly member lookup failed because the shared export "
       "directory is unavailable: part=\"100-A\" directory=\"{shared}\" error=\"" +
           denied.message() + "\"."},
      {Op::Walk,
       "[ERROR] [Synquo] Managed assembly member file collection failed: "
       "part=\"100-A\" shared_export_directory=\"{shared}\" error=\"" +
           walkError + "\"."},
  };
  for (const auto& [operation, line] : cases) {
    nxsim::reset();
    testsupport::writeFile(shared / "100-A.prt", "root");
    auto* root = dynamic_cast<NXOpen::Part*>(nxsim::partObject(display(managed("100-A", "id"))));
    testsupport::LogCapture log;
    // Any: nothing fails, and no directory is given.
    platform::FailingPlatform failing(platform::os(), operation == Op::Any ? 0 : 1, denied,
                                      operation);
    platform::ScopedPlatform scope(failing);
    const vantel::VantelUploadPayloadFile record = lookupManagedMemberRecord(
        root, operation == Op::Any ? fs::path() : shared.path(), ExportMode::Display);
    EXPECT_TRUE(record.localFilePath.empty() && record.sourceFileId.empty());
    EXPECT_EQ(collectionLines(log).at(0), expand({line}, shared.path()).at(0));
  }
}

struct PreCheck {
  const char* name;
  std::function<void(testsupport::ModelFixture&, tag_t root)> members;
  bool unsaved;
  bool unsupported;
  std::vector<std::string> log;
};

TEST_F(AssemblyCollection, PreChecksStopAtTheFirstMemberThatFails) {
  const std::vector<PreCheck> cases = {
      {"saved prt members",
       [](testsupport::ModelFixture& t, tag_t root) {
         nxsim::addComponent(root, nxsim::addPart(t.native("bolt.prt", kBoltId)));
       },
       false,
       false,
       {}},
      {"modified member below one whose state cannot be asked",
       [](testsupport::ModelFixture& t, tag_t root) {
         tag_t sub = nxsim::addComponent(root, nxsim::addPart(t.native("sub.prt", kBoltId)));
         nxsim::PartDefinition nut = t.native("nut.prt", kBoltId);
         nut.modified = true;
         nxsim::addComponent(sub, nxsim::addPart(nut));
         nxsim::injectFault({"UF_initialize", nxsim::FaultKind::Status, 1, false, 7});
       },
       true,
       false,
       {"[WARNING] [Synquo] Assembly child modified-state check failed because UF_initialize "
        "returned status 7: part=\"{m}sub.prt (sub)\".",
        "[WARNING] [Synquo] Assembly child has unsaved changes: part=\"{m}nut.prt (nut)\"."}},
      {"member backed by a STEP file",
       [](testsupport::ModelFixture&, tag_t root) {
         nxsim::addComponent(root, NULL_TAG, "C:\\parts\\bracket.STEP");
       },
       false,
       true,
       {"[WARNING] [Synquo] Assembly child has unsupported backing file type: "
        "backing_source=\"C:\\parts\\bracket.STEP\" extension=\".step\"."}},
      {"unloaded member whose prt is gone",
       [](testsupport::ModelFixture&, tag_t root) {
         nxsim::addComponent(root, NULL_TAG, "/gone/washer.prt");
       },
       false,
       true,
       {"[WARNING] [Synquo] Assembly child backing .prt is not saved locally: "
        "backing_source=\"/gone/washer.prt\"."}},
      {"loaded native member from a foreign file",
       [](testsupport::ModelFixture& t, tag_t root) {
         nxsim::addComponent(root, nxsim::addPart(t.native("shaft.x_t", kBoltId)), "shaft.prt");
       },
       false,
       true,
       {"[WARNING] [Synquo] Assembly child has unsupported loaded part source: "
        "part=\"{m}shaft.x_t (shaft)\" source=\"{m}shaft.x_t\" extension=\".x_t\"."}},
  };
  for (const PreCheck& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    tag_t root = display(native("frame.prt", kRootId));
    c.members(*this, root);
    testsupport::LogCapture log;
    EXPECT_EQ(hasUnsavedChildren(nxsim::partObject(root)), c.unsaved);
    EXPECT_EQ(hasUnsupportedChildSources(nxsim::partObject(root)), c.unsupported);
    EXPECT_EQ(collectionLines(log), expand(c.log));
    EXPECT_EQ(nxsim::ufInitializeDepth(), 0);
    EXPECT_TRUE(nxsim::violations().empty());
  }
}

}  // namespace
}  // namespace synquo
