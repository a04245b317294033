// The managed clone export in the simulated NX: what each NX failure costs, the naming
// failures NX reports, and how the exported file is found among old and new files.
#include "addin/export/ManagedCloneExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/ExportFixture.h"
#include "addin/tests/support/FailingPlatform.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using platform::FakePlatform;
using testsupport::writeFile;

class ManagedCloneExport : public testsupport::ExportFixture {};

const std::string kPart = "part=\"@DB/123-A/A (123-A)\"";
const std::string kDirectory = "{session}{/}0f8fad5b-d9cb-469f-a165-70867728950e";
const std::string kStart = "{I}Starting managed NX export: " + kPart +
                           " mode=upload traceable_id=\"0f8fad5b-d9cb-469f-a165-70867728950e\" "
                           "directory=\"" +
                           kDirectory + "\".";
const std::string kDecoded =
    "{D}Decoded managed NX part name for export: part_number=\"123-A\" revision=\"A\" "
    "file_type=\"\" file_name=\"\".";
const std::string kAdding =
    "{D}Adding managed NX part to UF_CLONE export: encoded_name=\"@DB/123-A/A\".";
const std::string kComplete = "{I}Managed NX export complete: " + kPart +
                              " mode=upload exported_file=\"" + kDirectory + "{/}123-A.prt\".";

std::string notFound(const std::string& number) {
  return "{D}Managed NX export did not find a file matching the part number; using newest "
         "exported file: " +
         kPart + " part_number=\"" + number + "\" directory=\"" + kDirectory + "\".";
}

std::string nothingUsable(const std::string& number) {
  return "{W}Managed NX export did not produce a supported upload file: " + kPart +
         " mode=upload directory=\"" + kDirectory + "\" decoded_part_number=\"" + number + "\".";
}

nxsim::Fault status(const char* call, int value) {
  return {call, nxsim::FaultKind::Status, 1, false, value};
}

TEST_F(ManagedCloneExport, LogsEachFailureAndEndsOnlyWhereTheExportCannotGoOn) {
  struct Row {
    const char* name;
    std::function<NXOpen::BasePart*(ManagedCloneExport&)> setup;
    std::vector<std::string> log;
    const char* exportedName;  // empty: nothing exported
  };
  const auto managed = [](const std::vector<nxsim::Fault>& faults) {
    return [faults](ManagedCloneExport& t) {
      NXOpen::BasePart* part = t.display(t.managedPart("123-A"));
      for (const nxsim::Fault& fault : faults) nxsim::injectFault(fault);
      return part;
    };
  };
  const std::string ioError = std::make_error_code(std::errc::io_error).message();
  const std::string apiFailure =
      "{E}Managed NX export failed while calling NX clone APIs: " + kPart + " mode=upload error=";
  const std::vector<Row> rows = {
      {"no part",
       [](ManagedCloneExport&) -> NXOpen::BasePart* { return nullptr; },
       {"{W}Managed NX export skipped because there is no displayed part: mode=upload."},
       ""},
      {"UF_initialize fails",
       managed({status("UF_initialize", 7)}),
       {"{W}Managed NX export failed because UF_initialize returned status 7: " + kPart +
        " mode=upload."},
       ""},
      {"export directory cannot be created",
       [](ManagedCloneExport& t) {
         NXOpen::BasePart* part = t.display(t.managedPart("123-A"));
         t.sessionDirectory();
         return part;
       },
       {"{W}Managed NX export failed because the export directory could not be created: " + kPart +
        " mode=upload directory=\"" + kDirectory + "\" error=\"" + ioError + "\"."},
       ""},
      {"part name unreadable",
       managed({status("UF_PART_ask_part_name", 5)}),
       {kStart, "{W}UF_PART_ask_part_name failed with NX status 5."},
       ""},
      {"name does not decode",
       managed({status("UF_UGMGR_decode_part_file_name", 6)}),
       {kStart, "{W}UF_UGMGR_decode_part_file_name failed with NX status 6.", kAdding, notFound(""),
        kComplete},
       "123-A.prt"},
      {"clone cannot start",
       managed({status("UF_CLONE_initialise", 8)}),
       {kStart, kDecoded, "{W}UF_CLONE_initialise failed with NX status 8."},
       ""},
      {"naming-failures record cannot start",
       managed({status("UF_CLONE_init_naming_failures", 9)}),
       {kStart, kDecoded, "{W}UF_CLONE_init_naming_failures failed with NX status 9."},
       ""},
      {"later naming-failures record and settings fail",
       managed({{"UF_CLONE_init_naming_failures", nxsim::FaultKind::Status, 2, false, 9},
                status("UF_CLONE_set_def_action", 4),
                status("UF_CLONE_set_dryrun", 3)}),
       {kStart, kDecoded, "{W}UF_CLONE_set_def_action failed with NX status 4.",
        "{W}UF_CLONE_init_naming_failures failed with NX status 9.",
        "{W}UF_CLONE_set_dryrun failed with NX status 3.", kAdding, kComplete},
       "123-A.prt"},
      {"clone fails",
       managed({status("UF_CLONE_perform_clone", 2)}),
       {kStart, kDecoded, kAdding, "{W}UF_CLONE_perform_clone failed with NX status 2.",
        notFound("123-A"), nothingUsable("123-A")},
       ""},
      {"NX raises",
       managed({{"TaggedObject::Tag", nxsim::FaultKind::Throw}}),
       {kStart, apiFailure + "\"Injected NX failure\".", notFound(""), nothingUsable("")},
       ""},
      {"NX raises something unknown",
       managed({{"TaggedObject::Tag", nxsim::FaultKind::Foreign}}),
       {kStart, apiFailure + "\"unknown\".", notFound(""), nothingUsable("")},
       ""},
      {"only an unsupported file written",
       [](ManagedCloneExport& t) {
         nxsim::PartDefinition part = t.managedPart("123-A");
         part.cloneFiles = {"123-A.txt"};
         return t.display(part);
       },
       {kStart, kDecoded, kAdding, notFound("123-A"), nothingUsable("123-A")},
       ""},
      {"assembly with members that did not load",
       [](ManagedCloneExport& t) {
         const tag_t root = nxsim::addPart(t.managedPart("123-A"));
         nxsim::addComponent(root, nxsim::addPart(t.managedPart("456-B")));
         nxsim::setLoadFailures({{"gone.prt", 641}});
         nxsim::setDisplayedPart(root);
         return nxsim::partObject(root);
       },
       {kStart, kDecoded,
        "{D}Adding managed NX assembly to UF_CLONE export: encoded_name=\"@DB/123-A/A\".",
        kComplete},
       "123-A.prt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nxsim::reset();
    emptySessionBase();
    NXOpen::BasePart* part = row.setup(*this);
    clearLog();
    const bool failDirectory = std::string(row.name) == "export directory cannot be created";
    platform::FailingPlatform failing(fakePlatform(), failDirectory ? 1 : 0,
                                      FakePlatform::kInjectedError,
                                      platform::FailingPlatform::Operation::CreateDirectories);
    platform::ScopedPlatform scope(failing);
    const fs::path exported = exportManagedClone(part, ExportMode::Upload);
    EXPECT_EQ(exportLog(), expand(row.log));
    EXPECT_EQ(platform::toUtf8(exported.filename()), row.exportedName);
    expectNxClean();
    const std::vector<std::string> calls = nxsim::journalNames();
    const auto count = [&calls](const char* name) {
      return std::count(calls.begin(), calls.end(), name);
    };
    const bool cloneRefused = std::string(row.name) == "clone cannot start";
    EXPECT_EQ(count("UF_CLONE_terminate"), count("UF_CLONE_initialise") - (cloneRefused ? 1 : 0));
  }
}

TEST_F(ManagedCloneExport, ReportsFiveNamingFailuresInDetail) {
  std::vector<nxsim::NamingFailure> failures;
  for (int i = 0; i < 6; ++i) {
    failures.push_back({"in" + std::to_string(i), "out" + std::to_string(i), 100 + i});
  }
  nxsim::setNamingFailures("UF_CLONE_perform_clone", failures);
  NXOpen::BasePart* part = display(managedPart("123-A"));
  clearLog();
  EXPECT_EQ(exportManagedClone(part, ExportMode::Upload).filename(), "123-A.prt");
  std::vector<std::string> expected = {kStart, kDecoded, kAdding,
                                       "{W}UF_CLONE_perform_clone reported 6 naming failure(s)."};
  for (int i = 0; i < 5; ++i) {
    const std::string n = std::to_string(i);
    expected.push_back("{D}UF_CLONE_perform_clone naming failure[" + n + "]: input=\"in" + n +
                       "\" output=\"out" + n + "\" status=10" + n + ".");
  }
  expected.push_back("{D}UF_CLONE_perform_clone suppressed 1 additional naming failure detail(s).");
  expected.push_back(kComplete);
  EXPECT_EQ(exportLog(), expand(expected));
  expectNxClean();
}

TEST_F(ManagedCloneExport, AReleaseThatKeepsRaisingStillClosesTheCloneOperation) {
  const std::vector<nxsim::Fault> faults = {
      {"UF_PART_free_load_status", nxsim::FaultKind::Throw, 1, true},
      {"UF_free_string_array", nxsim::FaultKind::Foreign, 1, true},
      {"UF_free", nxsim::FaultKind::Throw, 1, true},
  };
  for (const nxsim::Fault& fault : faults) {
    SCOPED_TRACE(fault.call);
    nxsim::reset();
    emptySessionBase();
    const tag_t root = nxsim::addPart(managedPart("123-A"));
    nxsim::addComponent(root, nxsim::addPart(managedPart("456-B")));
    nxsim::setLoadFailures({{"gone.prt", 641}});
    nxsim::setNamingFailures("UF_CLONE_perform_clone", {{"in", "out", 100}});
    nxsim::setDisplayedPart(root);
    nxsim::injectFault(fault);
    exportManagedClone(nxsim::partObject(root), ExportMode::Upload);
    const std::vector<std::string> calls = nxsim::journalNames();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "UF_CLONE_terminate"), 1);
    expectNxClean();
    // The next export opens a clone operation of its own.
    nxsim::clearFaults();
    exportManagedClone(nxsim::partObject(root), ExportMode::Upload);
    std::vector<std::string> opened;
    for (const nxsim::Call& call : nxsim::journal()) {
      if (call.name == "UF_CLONE_initialise") opened.push_back(call.outcome);
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"0", "0"}));
    expectNxClean();
  }
}

TEST_F(ManagedCloneExport, DisplayModeNamesTheDirectoryAfterTheSanitisedIdentifier) {
  nxsim::PartDefinition definition = managedPart("123-A");
  definition.uniqueIdentifier = "legacy:42/7";
  NXOpen::BasePart* part = display(definition);
  const fs::path exported = exportManagedClone(part, ExportMode::Display);
  EXPECT_EQ(exported.parent_path().filename(), "legacy_42_7");
  EXPECT_EQ(exportLog().back(),
            expand("{I}Managed NX export complete: " + kPart + " mode=display exported_file=\"" +
                   platform::toUtf8(exported) + "\"."));
}

TEST_F(ManagedCloneExport, SecondExportTakesTheRewrittenFile) {
  NXOpen::BasePart* part = display(managedPart("123-A"));
  const fs::path first = exportManagedClone(part, ExportMode::Upload);
  ASSERT_FALSE(first.empty());
  fs::last_write_time(first, fs::last_write_time(first) - std::chrono::hours(1));
  EXPECT_EQ(exportManagedClone(part, ExportMode::Upload), first);
}

TEST_F(ManagedCloneExport, FindsOnlyNewOrRewrittenFilesPreferringThePartFile) {
  const fs::path directory = sessionDirectory() / "export";
  const auto earlier = fs::file_time_type::clock::now() - std::chrono::hours(2);
  const auto make = [&](const char* name, int hoursAgo) {
    writeFile(directory / name, name);
    fs::last_write_time(directory / name, earlier + std::chrono::hours(2 - hoursAgo));
  };
  struct Row {
    const char* name;
    std::vector<std::pair<const char*, int>> files;     // name, hours ago written
    std::vector<std::pair<const char*, int>> snapshot;  // name, hours ago when snapshot taken
    const char* byNumber;                               // for part number "123-a"
    const char* newest;
  };
  const std::vector<Row> rows = {
      {"part file before drawing",
       {{"123-A.pdf", 0}, {"123-A.prt", 1}},
       {},
       "123-A.prt",
       "123-A.pdf"},
      {"untouched file is not taken",
       {{"123-A.prt", 2}, {"sub/OTHER.prt", 0}},
       {{"123-A.prt", 1}},
       "",
       "OTHER.prt"},
      {"rewritten file is taken", {{"123-A.prt", 0}}, {{"123-A.prt", 1}}, "123-A.prt", "123-A.prt"},
      {"later of two matches",
       {{"sub/123-A.prt", 0}, {"123-A.prt", 1}},
       {},
       "123-A.prt",
       "123-A.prt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(directory);
    fs::create_directories(directory / "sub");
    ExportDirectorySnapshot snapshot;
    for (const auto& [name, hoursAgo] : row.files) make(name, hoursAgo);
    for (const auto& [name, hoursAgo] : row.snapshot) {
      snapshot[directory / name] = std::chrono::system_clock::now() - std::chrono::hours(hoursAgo);
    }
    EXPECT_EQ(findExportedFileByPartNumber(directory, snapshot, "123-a").filename(), row.byNumber);
    EXPECT_EQ(findNewestExportedFile(directory, snapshot).filename(), row.newest);
  }
  EXPECT_EQ(snapshotExportDirectory(directory / "missing").size(), 0u);
  EXPECT_TRUE(findExportedFileByPartNumber(directory / "missing", {}, "123-a").empty());
  EXPECT_TRUE(findExportedFileByPartNumber(directory, {}, "").empty());

  fakePlatform().fail(FakePlatform::Call::Walk);
  try {
    snapshotExportDirectory(directory);
    ADD_FAILURE() << "no error";
  } catch (const fs::filesystem_error& error) {
    EXPECT_NE(std::string(error.what()).find("recursive_directory_iterator::operator++"),
              std::string::npos);
    EXPECT_EQ(error.path1(), directory);
  }
  fakePlatform().heal(FakePlatform::Call::Walk);
}

}  // namespace
}  // namespace synquo
