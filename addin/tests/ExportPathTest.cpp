// Export path selection in the simulated NX: which export a part gets, the local copy with its
// failures, and the classification and file-name rules the exports share.
#include "addin/export/ExportPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <uf.h>
#include <NXOpen/Assemblies_Component.hxx>
#include <NXOpen/Assemblies_ComponentAssembly.hxx>
#include <NXOpen/Part.hxx>

#include "addin/export/AssemblyCollection.h"
#include "addin/nx/NxText.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/ExportFixture.h"
#include "addin/tests/support/Links.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using platform::FakePlatform;
using testsupport::readFile;
using testsupport::writeFile;

class ExportPath : public testsupport::ExportFixture {
 public:
  // The first lines of the log, as many as expected.
  void expectLogStartsWith(const std::vector<std::string>& expected) {
    std::vector<std::string> lines = exportLog();
    if (lines.size() > expected.size()) lines.resize(expected.size());
    EXPECT_EQ(lines, expand(expected));
  }
};

const char* const kNativeLabel = "{models}{/}bracket.prt (bracket)";
const char* const kManagedLabel = "@DB/123-A/A (123-A)";

TEST_F(ExportPath, SelectsDrawingThenManagedThenLocalCopy) {
  struct Row {
    const char* name;
    std::function<NXOpen::BasePart*(ExportPath&)> setup;
    std::vector<std::string> log;
    const char* exportedName;  // empty: nothing exported
  };
  const std::string notSaved =
      std::string("{W}NX export skipped because the local part has not been saved to disk: ") +
      "part=\"" + kNativeLabel + "\" source=\"{models}{/}bracket.prt\".";
  const std::string noUsableSource =
      std::string("{D}NX part has no usable local source and did not decode as ") +
      "Teamcenter-managed; treating as local unsaved part: part=\"" + kNativeLabel +
      "\" source=\"{models}{/}bracket.prt\".";
  const std::vector<Row> rows = {
      {"no part",
       [](ExportPath&) -> NXOpen::BasePart* { return nullptr; },
       {"{W}NX model export skipped because there is no displayed part."},
       ""},
      {"drawing shown for a managed part",
       [](ExportPath& t) {
         nxsim::PartDefinition part = t.managedPart("123-A");
         part.drawingSheets = {"SHT1"};
         nxsim::setApplicationModule(UF_APP_DRAFTING);
         return t.display(part);
       },
       {std::string("{I}NX export selected drawing PDF path: part=\"") + kManagedLabel +
        "\" source=\"@DB/123-A/A\"."},
       "123-A.pdf"},
      {"managed part",
       [](ExportPath& t) { return t.display(t.managedPart("123-A")); },
       {std::string("{I}NX export selected managed clone path: part=\"") + kManagedLabel +
        "\" source=\"@DB/123-A/A\"."},
       "123-A.prt"},
      {"drawing test skipped when UF_initialize fails",
       [](ExportPath& t) {
         nxsim::setApplicationModule(UF_APP_DRAFTING);
         NXOpen::BasePart* part = t.display(t.managedPart("123-A"));
         nxsim::injectFault({"UF_initialize", nxsim::FaultKind::Status, 1, false, 7});
         return part;
       },
       {std::string("{I}NX export selected managed clone path: part=\"") + kManagedLabel +
        "\" source=\"@DB/123-A/A\"."},
       "123-A.prt"},
      {"saved native part",
       [](ExportPath& t) { return t.display(t.nativePart("bracket.prt")); },
       {std::string("{D}NX export selected local source copy path: part=\"") + kNativeLabel +
        "\" source=\"{models}{/}bracket.prt\"."},
       "bracket.prt"},
      {"native part never saved",
       [](ExportPath& t) {
         nxsim::PartDefinition part;
         part.leaf = "draft";
         part.uniqueIdentifier = t.kUuid;
         return t.display(part);
       },
       {"{D}NX part has no usable local source and did not decode as Teamcenter-managed; "
        "treating as local unsaved part: part=\"draft\" source=\"\".",
        "{W}NX export skipped because the local part has not been saved to disk: part=\"draft\" "
        "source=\"\"."},
       ""},
      {"native file deleted after loading",
       [](ExportPath& t) {
         NXOpen::BasePart* part = t.display(t.nativePart("bracket.prt"));
         fs::remove(t.models() / "bracket.prt");
         return part;
       },
       {noUsableSource, notSaved},
       ""},
      {"source names a directory",
       [](ExportPath& t) {
         NXOpen::BasePart* part = t.display(t.nativePart("bracket.prt"));
         fs::remove(t.models() / "bracket.prt");
         fs::create_directory(t.models() / "bracket.prt");
         return part;
       },
       {noUsableSource, notSaved},
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nxsim::reset();
    emptySessionBase();
    fs::remove_all(models());
    fs::create_directories(models());
    NXOpen::BasePart* part = row.setup(*this);
    const std::string source = part == nullptr ? "" : nx::utf8(part->FullPath());
    clearLog();
    const fs::path exported = exportModelFile(part, source);
    expectLogStartsWith(row.log);
    EXPECT_EQ(platform::toUtf8(exported.filename()), row.exportedName);
    if (!exported.empty()) {
      const std::string inside = platform::toUtf8(sessionDirectory());
      EXPECT_EQ(platform::toUtf8(exported).rfind(inside, 0), 0u) << exported;
    }
    expectNxClean();
  }
}

TEST_F(ExportPath, CopiesLocalSourceIntoTheSessionDirectory) {
  struct Row {
    const char* name;
    std::function<std::string(ExportPath&)> setup;  // gives the source path
    std::vector<std::string> log;
    bool raises;
    const char* exportedContent;  // null: nothing exported
  };
  const std::string ioError =
      fs::filesystem_error("", std::make_error_code(std::errc::io_error)).code().message();
  std::vector<Row> rows = {
      {"empty source",
       [](ExportPath&) { return std::string(); },
       {"{W}Local NX model export skipped because the source path is empty."},
       false,
       nullptr},
      {"copy",
       [](ExportPath& t) { return nx::utf8(t.display(t.nativePart("bracket.prt"))->FullPath()); },
       {"{D}Copying local NX model for upload: source=\"{models}{/}bracket.prt\" "
        "destination=\"{session}{/}bracket.prt\".",
        "{D}Local NX model export complete: destination=\"{session}{/}bracket.prt\"."},
       false,
       "native part bracket.prt"},
      {"copy over an earlier copy",
       [](ExportPath& t) {
         const std::string source = nx::utf8(t.display(t.nativePart("bracket.prt"))->FullPath());
         writeFile(t.sessionDirectory() / "bracket.prt", "earlier copy");
         return source;
       },
       {"{D}Copying local NX model for upload: source=\"{models}{/}bracket.prt\" "
        "destination=\"{session}{/}bracket.prt\".",
        "{D}Local NX model export complete: destination=\"{session}{/}bracket.prt\"."},
       false,
       "native part bracket.prt"},
      {"copy fails",
       [](ExportPath& t) {
         const std::string source = nx::utf8(t.display(t.nativePart("bracket.prt"))->FullPath());
         t.fakePlatform().fail(FakePlatform::Call::CopyFile);
         return source;
       },
       {"{D}Copying local NX model for upload: source=\"{models}{/}bracket.prt\" "
        "destination=\"{session}{/}bracket.prt\".",
        "{E}Local NX model export failed: source=\"{models}{/}bracket.prt\" "
        "destination=\"{session}{/}bracket.prt\" error=\"" +
            ioError + "\"."},
       true,
       nullptr},
      {"part opened from the session directory",
       [](ExportPath& t) {
         nxsim::PartDefinition part = t.nativePart("bracket.prt");
         const fs::path inSession = t.sessionDirectory() / "bracket.prt";
         writeFile(inSession, "already here");
         part.fullPath = platform::toUtf8(inSession);
         t.fakePlatform().fail(FakePlatform::Call::CopyFile);  // must not be needed
         return nx::utf8(t.display(part)->FullPath());
       },
       {"{D}Local NX model export reused existing temp file: "
        "path=\"{session}{/}bracket.prt\"."},
       false,
       "already here"},
      {"part opened from the session directory through a link",
       [](ExportPath& t) {
         nxsim::PartDefinition part = t.nativePart("bracket.prt");
         writeFile(t.sessionDirectory() / "bracket.prt", "already here");
         const fs::path link = t.models() / "session-link";
         EXPECT_TRUE(testsupport::makeDirectoryLink(t.sessionDirectory(), link));
         part.fullPath = platform::toUtf8(link / "bracket.prt");
         t.fakePlatform().fail(FakePlatform::Call::CopyFile);  // must not be needed
         return nx::utf8(t.display(part)->FullPath());
       },
       {"{D}Local NX model export reused existing temp file: "
        "path=\"{session}{/}bracket.prt\"."},
       false,
       "already here"},
  };
  if (testsupport::fileLinksCanBeMade()) {
    rows.push_back({"part opened from the session directory through a file link",
                    [](ExportPath& t) {
                      nxsim::PartDefinition part = t.nativePart("bracket.prt");
                      writeFile(t.sessionDirectory() / "bracket.prt", "already here");
                      const fs::path link = t.models() / "linked" / "bracket.prt";
                      fs::create_directories(link.parent_path());
                      EXPECT_TRUE(
                          testsupport::makeFileLink(t.sessionDirectory() / "bracket.prt", link));
                      part.fullPath = platform::toUtf8(link);
                      t.fakePlatform().fail(FakePlatform::Call::CopyFile);  // must not be needed
                      return nx::utf8(t.display(part)->FullPath());
                    },
                    {"{D}Local NX model export reused existing temp file: "
                     "path=\"{session}{/}bracket.prt\"."},
                    false,
                    "already here"});
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nxsim::reset();
    emptyBase();
    const std::string source = row.setup(*this);
    clearLog();
    fs::path exported;
    try {
      exported = copyLocalSource(source);
      EXPECT_FALSE(row.raises);
    } catch (const fs::filesystem_error& error) {
      EXPECT_TRUE(row.raises);
      EXPECT_EQ(error.code(), FakePlatform::kInjectedError);
      EXPECT_NE(std::string(error.what()).find("copy_file"), std::string::npos) << error.what();
    }
    addin_.platform().heal(FakePlatform::Call::CopyFile);
    EXPECT_EQ(exportLog(), expand(row.log));
    if (row.exportedContent == nullptr) {
      EXPECT_TRUE(exported.empty());
    } else {
      EXPECT_EQ(exported, sessionDirectory() / "bracket.prt");
      EXPECT_EQ(readFile(exported), row.exportedContent);
    }
  }
}

TEST_F(ExportPath, KeepsSameNamedFilesFromDifferentFoldersApart) {
  struct Step {
    // Under the models folder; "=..." under the session directory; null: a new session
    // directory.
    const char* source;
    const char* destination;  // under the session directory
  };
  struct Row {
    const char* name;
    std::vector<Step> steps;
  };
  const std::vector<Row> rows = {
      {"two folders", {{"a/bracket.prt", "bracket.prt"}, {"b/bracket.prt", "1/bracket.prt"}}},
      {"three folders",
       {{"a/bracket.prt", "bracket.prt"},
        {"b/bracket.prt", "1/bracket.prt"},
        {"c/bracket.prt", "2/bracket.prt"}}},
      {"a source copied again keeps its own copy",
       {{"a/bracket.prt", "bracket.prt"},
        {"b/bracket.prt", "1/bracket.prt"},
        {"b/bracket.prt", "1/bracket.prt"},
        {"a/bracket.prt", "bracket.prt"}}},
      {"other names share the directory",
       {{"a/bracket.prt", "bracket.prt"}, {"b/bolt.prt", "bolt.prt"}}},
      {"a new session directory starts fresh",
       {{"a/bracket.prt", "bracket.prt"}, {nullptr, ""}, {"b/bracket.prt", "bracket.prt"}}},
      {"a part opened from a copy kept apart is that copy",
       {{"a/bracket.prt", "bracket.prt"},
        {"b/bracket.prt", "1/bracket.prt"},
        {"=1/bracket.prt", "1/bracket.prt"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nxsim::reset();
    removeSessionTempDirectory();
    emptyBase();
    display(nativePart("displayed.prt"));
    std::map<fs::path, std::string> expectedContent;  // every copy of the current directory
    for (const Step& step : row.steps) {
      if (step.source == nullptr) {
        removeSessionTempDirectory();
        expectedContent.clear();
        continue;
      }
      SCOPED_TRACE(step.source);
      const bool openedFromCopy = step.source[0] == '=';
      const fs::path source = openedFromCopy ? sessionDirectory() / fs::path(step.source + 1)
                                             : models() / fs::path(step.source);
      if (!openedFromCopy) {
        fs::create_directories(source.parent_path());
        writeFile(source, std::string("part ") + step.source);
      }
      const std::string sourceText = platform::toUtf8(source);
      clearLog();
      const fs::path exported = copyLocalSource(sourceText);
      // The table writes "/"; the log shows the platform's own separator.
      const fs::path expected = (sessionDirectory() / fs::path(step.destination)).make_preferred();
      EXPECT_EQ(exported, expected);
      if (!openedFromCopy) expectedContent[expected] = std::string("part ") + step.source;
      const std::string keptApart =
          expand("{I}Local NX model export keeps a same-named file apart: source=\"" + sourceText +
                 "\" destination=\"" + platform::toUtf8(expected) + "\".");
      const std::vector<std::string> log = exportLog();
      const bool copiedApart =
          !openedFromCopy && std::string(step.destination).find('/') != std::string::npos;
      EXPECT_EQ(std::count(log.begin(), log.end(), keptApart), copiedApart ? 1 : 0);
    }
    for (const auto& [copy, content] : expectedContent) EXPECT_EQ(readFile(copy), content) << copy;
  }
}

// Windows takes names that differ only in case as one file: such copies go apart too, and
// each keeps its own source's content.
TEST_F(ExportPath, CopiesWhoseNamesDifferOnlyInCaseKeepTheirOwnContent) {
  display(nativePart("displayed.prt"));
  std::map<fs::path, fs::path> copyOf;  // by source
  for (const char* member : {"left/bracket.prt", "right/bracket.prt", "spare/Bracket.prt"}) {
    const fs::path source = models() / fs::path(member);
    fs::create_directories(source.parent_path());
    writeFile(source, std::string("part ") + member);
    copyOf[source] = copyLocalSource(platform::toUtf8(source));
  }
  for (const auto& [source, copy] : copyOf) EXPECT_EQ(readFile(copy), readFile(source)) << copy;
}

TEST_F(ExportPath, ClassifiesPartsThroughNx) {
  struct Row {
    const char* name;
    std::function<void(nxsim::PartDefinition&, tag_t)> setup;  // after the part is added
    bool managed;
    bool assembly;
  };
  const std::vector<Row> rows = {
      {"managed assembly",
       [](nxsim::PartDefinition&, tag_t part) {
         nxsim::PartDefinition bolt;
         bolt.fullPath = "/models/bolt.prt";
         nxsim::addComponent(part, nxsim::addPart(bolt));
       },
       true, true},
      {"managed part without members", [](nxsim::PartDefinition&, tag_t) {}, true, false},
      {"name does not decode",
       [](nxsim::PartDefinition&, tag_t) {
         nxsim::injectFault({"UF_UGMGR_decode_part_file_name", nxsim::FaultKind::Status});
       },
       false, false},
      {"part name unreadable",
       [](nxsim::PartDefinition&, tag_t) {
         nxsim::injectFault({"UF_PART_ask_part_name", nxsim::FaultKind::Status});
       },
       false, false},
      {"NX raises while asked for the assembly",
       [](nxsim::PartDefinition&, tag_t) {
         nxsim::injectFault({"BasePart::ComponentAssembly", nxsim::FaultKind::Throw});
         nxsim::injectFault({"TaggedObject::Tag", nxsim::FaultKind::Throw});
       },
       false, false},
      {"no root component",
       [](nxsim::PartDefinition&, tag_t) {
         nxsim::injectFault({"ComponentAssembly::RootComponent", nxsim::FaultKind::Null});
       },
       true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nxsim::reset();
    nxsim::PartDefinition definition = managedPart("123-A");
    const tag_t tag = nxsim::addPart(definition);
    row.setup(definition, tag);
    NXOpen::BasePart* part = nxsim::partObject(tag);
    EXPECT_EQ(isAssemblyPart(part), row.assembly);
    EXPECT_EQ(isManagedPart(part), row.managed);
    expectNxClean();
  }
  nxsim::PartDefinition notAPart = nativePart("sheet.prt");
  notAPart.isPart = false;
  EXPECT_FALSE(isAssemblyPart(nxsim::partObject(nxsim::addPart(notAPart))));
  EXPECT_FALSE(isManagedPart(nullptr));
  EXPECT_FALSE(isAssemblyPart(nullptr));
}

TEST_F(ExportPath, ReadsTheLongestNamesNxHoldsWhole) {
  // Characters of three bytes each fill NX's buffers to the last byte but the zero.
  const auto repeated = [](size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += "\xe4\xb8\xad";
    return text;
  };
  const std::string fullPath = repeated(1152) + ".prt";  // 1,156 characters
  const std::string partNumber = repeated(900);
  struct Row {
    const char* name;
    std::function<std::optional<std::string>()> read;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"a component's part file, its full path",
       [&] {
         nxsim::PartDefinition member;
         member.fullPath = fullPath;
         const tag_t root = nxsim::addPart(managedPart("100-A"));
         nxsim::addComponent(root, nxsim::addPart(member));
         auto* part = dynamic_cast<NXOpen::Part*>(nxsim::partObject(root));
         return componentBackingName(
             part->ComponentAssembly()->RootComponent()->GetChildren().at(0));
       },
       fullPath},
      {"a Teamcenter part number",
       [&] {
         const auto name =
             decodeManagedPartName(nxsim::partObject(nxsim::addPart(managedPart(partNumber))));
         return name ? std::optional<std::string>(name->partNumber) : std::nullopt;
       },
       partNumber},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nxsim::reset();
    EXPECT_EQ(row.read(), row.expected);
    expectNxClean();
  }
}

TEST_F(ExportPath, NamesFilesByTheirLastElement) {
  for (const auto& [text, stem] : std::vector<std::pair<std::string, std::string>>{
           {"", "managed"},
           {"A/B:C", "A_B_C"},
           {"\"*/:<>?\\|J\xc3\xb6rg", "_________J\xc3\xb6rg"},
           {".", "_"},
           {"..", "__"},
           {"...", "___"},
           {"./", "._"},
           {".a", ".a"},
           {"a..", "a.."},
       }) {
    EXPECT_EQ(sanitizeFileStem(text), stem) << text;
  }

  struct Extension {
    const char* path;
    const char* extension;
    bool supported;
  };
  for (const Extension& row : std::vector<Extension>{{"X.PRT", ".prt", true},
                                                     {"x.Pdf", ".pdf", true},
                                                     {"x.prt.bak", ".bak", false},
                                                     {".prt", "", false},
                                                     {"dir.d/x", "", false},
                                                     {"..", "", false},
                                                     {".", "", false}}) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(lowerCaseExtension(fs::path(row.path)), row.extension);
    EXPECT_EQ(isSupportedUploadFile(fs::path(row.path)), row.supported);
  }
  EXPECT_TRUE(isPdfPath(fs::path("a/B.PDF")));
  EXPECT_FALSE(isPdfPath(fs::path("a/B.prt")));

  nxsim::PartDefinition definition;
  definition.leaf = "bolt";
  NXOpen::BasePart* bolt = nxsim::partObject(nxsim::addPart(definition));
  struct Name {
    NXOpen::BasePart* part;
    const char* source;
    fs::path exported;
    std::optional<std::string> name;
  };
  for (const Name& row : std::vector<Name>{
           {nullptr, "/m/bolt.prt", fs::path("x.prt"), std::nullopt},
           {bolt, "/m/bolt.prt", fs::path("tmp") / "123-A.pdf", std::string("123-A.pdf")},
           {bolt, "C:\\m\\bolt-1.prt", fs::path(), std::string("bolt-1.prt")},
           {bolt, "/m/bolt", fs::path(), std::string("bolt")},
           {nxsim::partObject(nxsim::addPart({})), "", fs::path(), std::nullopt},
       }) {
    SCOPED_TRACE(row.source);
    EXPECT_EQ(uploadFileName(row.part, row.source, row.exported), row.name);
  }
}

}  // namespace
}  // namespace synquo
