// The drawing PDF export in the simulated NX: each way the print can fail, the file-system
// check that a new file was written, and the PDF's name.
#include "addin/export/DrawingPdfExport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "addin/nx/NxText.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/ExportFixture.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using testsupport::writeFile;

class DrawingPdfExport : public testsupport::ExportFixture {
 public:
  NXOpen::BasePart* displayDrawing() {
    nxsim::PartDefinition part = nativePart("bracket.prt");
    part.drawingSheets = {"SHT1", "SHT2", "SHT3"};
    return display(part);
  }
};

const std::string kPart = "part=\"{models}{/}bracket.prt (bracket)\"";
const std::string kDestination = "destination=\"{session}{/}bracket.pdf\"";
const std::string kStart =
    "{I}Starting NX drawing PDF export: " + kPart + " sheets=3 " + kDestination + ".";

TEST_F(DrawingPdfExport, PrintsAllSheetsAndAcceptsOnlyANewFile) {
  struct Row {
    const char* name;
    std::function<NXOpen::BasePart*(DrawingPdfExport&)> setup;
    std::vector<std::string> log;
    bool exported;
  };
  const auto drawing = [](const std::vector<nxsim::Fault>& faults) {
    return [faults](DrawingPdfExport& t) {
      NXOpen::BasePart* part = t.displayDrawing();
      for (const nxsim::Fault& fault : faults) nxsim::injectFault(fault);
      return part;
    };
  };
  const std::string noSource =
      "{W}Drawing PDF export failed because NX returned no PDF source "
      "builder: " +
      kPart + " " + kDestination + ".";
  const std::string commitFailed =
      "{W}Drawing PDF export failed while committing the NX PDF builder: " + kPart + " " +
      kDestination + " cleanup_succeeded=";
  const std::string notNew =
      "{W}Drawing PDF export did not produce a new or updated file: " + kPart + " " + kDestination +
      ".";
  const std::vector<Row> rows = {
      {"no part",
       [](DrawingPdfExport&) -> NXOpen::BasePart* { return nullptr; },
       {"{W}Drawing PDF export skipped because there is no displayed NX part."},
       false},
      {"no sheets",
       [](DrawingPdfExport& t) { return t.display(t.nativePart("bracket.prt")); },
       {"{W}Drawing PDF export skipped because no drawing sheets were found: " + kPart +
        " source=\"{models}{/}bracket.prt\"."},
       false},
      {"no plot manager",
       drawing({{"BasePart::PlotManager", nxsim::FaultKind::Null}}),
       {kStart, "{W}Drawing PDF export failed because NX returned no plot manager: " + kPart + " " +
                    kDestination + "."},
       false},
      {"no builder",
       drawing({{"PlotManager::CreatePrintPdfbuilder", nxsim::FaultKind::Null}}),
       {kStart, noSource},
       false},
      {"no source builder",
       drawing({{"PrintPDFBuilder::SourceBuilder", nxsim::FaultKind::Null}}),
       {kStart, noSource},
       false},
      {"commit raises",
       drawing({{"Builder::Commit", nxsim::FaultKind::Throw}}),
       {kStart, commitFailed + "true."},
       false},
      {"commit and destroy raise",
       drawing({{"Builder::Commit", nxsim::FaultKind::Foreign},
                {"Builder::Destroy", nxsim::FaultKind::Throw}}),
       {kStart, commitFailed + "false."},
       false},
      {"print writes nothing",
       [](DrawingPdfExport& t) {
         nxsim::setPrintWritesFile(false);
         return t.displayDrawing();
       },
       {kStart, notNew},
       false},
      {"print leaves an earlier file as it was",
       [](DrawingPdfExport& t) {
         NXOpen::BasePart* part = t.displayDrawing();
         writeFile(t.sessionDirectory() / "bracket.pdf", "earlier print");
         nxsim::setPrintWritesFile(false);
         return part;
       },
       {kStart, notNew},
       false},
      {"print replaces an earlier file",
       [](DrawingPdfExport& t) {
         NXOpen::BasePart* part = t.displayDrawing();
         const fs::path earlier = t.sessionDirectory() / "bracket.pdf";
         writeFile(earlier, "earlier print");
         fs::last_write_time(earlier, fs::last_write_time(earlier) - std::chrono::hours(1));
         return part;
       },
       {kStart, "{I}NX drawing PDF export complete: " + kDestination + "."},
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    nxsim::reset();
    emptySessionBase();
    NXOpen::BasePart* part = row.setup(*this);
    const std::string source = part == nullptr ? "" : nx::utf8(part->FullPath());
    clearLog();
    const fs::path exported = exportDrawingPdf(part, source);
    EXPECT_EQ(exportLog(), expand(row.log));
    EXPECT_EQ(exported.empty(), !row.exported);
    if (row.exported) {
      EXPECT_EQ(exported, sessionDirectory() / "bracket.pdf");
      EXPECT_NE(testsupport::readFile(exported).find("% sheet SHT3"), std::string::npos);
      bool selectedThree = false;
      for (const nxsim::Call& call : nxsim::journal()) {
        if (call.name == "PlotSourceBuilder::SetSelectedSheets") {
          selectedThree = call.args.at(1) == "3";
        }
      }
      EXPECT_TRUE(selectedThree);
    }
    EXPECT_EQ(nxsim::violations(), std::vector<std::string>());
  }
}

TEST_F(DrawingPdfExport, NamesThePdfAfterPartNumberLeafIdentifierOrSource) {
  struct Row {
    const char* name;
    nxsim::PartDefinition part;
    const char* source;
    const char* baseName;
    bool leafFails = false;
  };
  nxsim::PartDefinition managed = managedPart("12/3:A");
  nxsim::PartDefinition bracket = nativePart("bracket.prt");
  nxsim::PartDefinition identified;
  identified.uniqueIdentifier = "legacy:7";
  nxsim::PartDefinition anonymous;
  const std::vector<Row> rows = {
      {"managed", managed, "", "12_3_A"},
      {"native", bracket, "", "bracket"},
      {"leaf NX fails to give", bracket, "", kUuid, true},
      {"identifier only", identified, "C:\\plans\\plan.prt", "legacy_7"},
      {"source only", anonymous, "C:\\plans\\plan:1.prt", "plan:1"},
      {"nothing", anonymous, "", "drawing"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    NXOpen::BasePart* part = nxsim::partObject(nxsim::addPart(row.part));
    if (row.leafFails) nxsim::injectFault({"BasePart::Leaf", nxsim::FaultKind::Throw});
    EXPECT_EQ(drawingPdfBaseName(part, row.source), row.baseName);
    nxsim::clearFaults();
  }
}

}  // namespace
}  // namespace synquo
