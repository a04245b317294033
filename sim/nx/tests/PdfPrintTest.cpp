#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

namespace fs = std::filesystem;

class PdfPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    directory_ =
        fs::temp_directory_path() / ("nxsim-pdf-" + std::to_string(std::random_device{}()));
    fs::create_directories(directory_);
    PartDefinition definition;
    definition.fullPath = "/d/bracket.prt";
    definition.drawingSheets = {"SHT1", "SHT2", "SHT3"};
    setDisplayedPart(addPart(definition));
    part_ = dynamic_cast<host::Part*>(host::nx().GetSession()->Parts()->BaseDisplay());
    ASSERT_NE(part_, nullptr);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
    reset();
  }

  std::vector<host::NXObject*> sheets() {
    std::vector<host::NXObject*> all;
    for (host::Drawings::DrawingSheet* sheet : *part_->DrawingSheets()) all.push_back(sheet);
    return all;
  }

  host::PrintPDFBuilder* builder() {
    host::PrintPDFBuilder* b = part_->PlotManager()->CreatePrintPdfbuilder();
    b->SetAction(3);
    b->SetAppend(false);
    b->SetFilename((directory_ / "bracket.pdf").string());
    b->SourceBuilder()->SetSheets(sheets());
    b->SourceBuilder()->SetSelectedSheets(3);
    return b;
  }

  fs::path directory_;
  host::Part* part_ = nullptr;
};

TEST_F(PdfPrint, CommitWritesOnePdfWithEverySheet) {
  host::PrintPDFBuilder* b = builder();
  b->Commit();
  b->Destroy();
  std::ifstream in(directory_ / "bracket.pdf");
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str().rfind("%PDF-", 0), 0u);
  EXPECT_NE(content.str().find("SHT3"), std::string::npos);
  const std::vector<Call> calls = journal();
  auto commit = std::find_if(calls.begin(), calls.end(),
                             [](const Call& c) { return c.name == "Builder::Commit"; });
  ASSERT_NE(commit, calls.end());
  EXPECT_EQ(commit->args,
            (std::vector<std::string>{"builder1", "3", "replace",
                                      (directory_ / "bracket.pdf").string(), "3", "3"}));
  EXPECT_TRUE(violations().empty());
}

TEST_F(PdfPrint, PrintThatWritesNothingLeavesNoFile) {
  setPrintWritesFile(false);
  host::PrintPDFBuilder* b = builder();
  b->Commit();
  b->Destroy();
  EXPECT_FALSE(fs::exists(directory_ / "bracket.pdf"));
}

TEST_F(PdfPrint, CommitWithoutSheetsThrows) {
  host::PrintPDFBuilder* b = part_->PlotManager()->CreatePrintPdfbuilder();
  b->SetFilename((directory_ / "x.pdf").string());
  EXPECT_THROW(b->Commit(), host::NxException);
  b->Destroy();
}

TEST_F(PdfPrint, UseAfterDestroyAndDoubleDestroyAreViolations) {
  host::PrintPDFBuilder* b = builder();
  b->Destroy();
  EXPECT_THROW(b->Commit(), host::NxException);
  EXPECT_THROW(b->Destroy(), host::NxException);
  EXPECT_EQ(violations().size(), 2u);
}

TEST_F(PdfPrint, MissingPlotManagerOrSourceBuilderCanBeInjected) {
  injectFault(Fault{"BasePart::PlotManager", FaultKind::Null});
  EXPECT_EQ(part_->PlotManager(), nullptr);
  injectFault(Fault{"PrintPDFBuilder::SourceBuilder", FaultKind::Null});
  host::PrintPDFBuilder* b = part_->PlotManager()->CreatePrintPdfbuilder();
  EXPECT_EQ(b->SourceBuilder(), nullptr);
  b->Destroy();
  injectFault(Fault{"Builder::Commit", FaultKind::Throw});
  host::PrintPDFBuilder* failing = builder();
  EXPECT_THROW(failing->Commit(), host::NxException);
  failing->Destroy();
  EXPECT_FALSE(fs::exists(directory_ / "bracket.pdf"));
}

}  // namespace
}  // namespace nxsim
