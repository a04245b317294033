#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <NXOpen/Drawings_DrawingSheet.hxx>
#include <NXOpen/Drawings_DrawingSheetCollection.hxx>
#include <NXOpen/NXException.hxx>
#include <NXOpen/Part.hxx>
#include <NXOpen/PartCollection.hxx>
#include <NXOpen/PlotManager.hxx>
#include <NXOpen/PlotSourceBuilder.hxx>
#include <NXOpen/PrintPDFBuilder.hxx>
#include <NXOpen/Session.hxx>

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
    part_ = dynamic_cast<NXOpen::Part*>(NXOpen::Session::GetSession()->Parts()->BaseDisplay());
    ASSERT_NE(part_, nullptr);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
    reset();
  }

  std::vector<NXOpen::NXObject*> sheets() {
    std::vector<NXOpen::NXObject*> all;
    for (NXOpen::Drawings::DrawingSheet* sheet : *part_->DrawingSheets()) all.push_back(sheet);
    return all;
  }

  NXOpen::PrintPDFBuilder* builder() {
    NXOpen::PrintPDFBuilder* b = part_->PlotManager()->CreatePrintPdfbuilder();
    b->SetAction(NXOpen::PrintPDFBuilder::ActionOptionNative);
    b->SetAppend(false);
    b->SetFilename((directory_ / "bracket.pdf").string());
    b->SourceBuilder()->SetSheets(sheets());
    b->SourceBuilder()->SetSelectedSheets(3);
    return b;
  }

  fs::path directory_;
  NXOpen::Part* part_ = nullptr;
};

TEST_F(PdfPrint, CommitWritesOnePdfWithEverySheet) {
  NXOpen::PrintPDFBuilder* b = builder();
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

// Checks what a reader relies on: the header, every cross-reference entry pointing at its
// object, startxref pointing at the table, the trailer and the end marker. Gives the text of
// each page in page-tree order, or nothing when the structure is broken.
std::vector<std::string> readablePages(const std::string& pdf) {
  EXPECT_EQ(pdf.rfind("%PDF-1.", 0), 0u);
  const std::string end = "%%EOF\n";
  EXPECT_EQ(pdf.compare(pdf.size() - std::min(pdf.size(), end.size()), end.size(), end), 0);
  const size_t startxref = pdf.rfind("startxref\n");
  if (startxref == std::string::npos) {
    ADD_FAILURE() << "no startxref";
    return {};
  }
  const size_t xref = std::stoul(pdf.substr(startxref + 10));
  EXPECT_EQ(pdf.compare(xref, 5, "xref\n"), 0) << "startxref " << xref;
  std::istringstream table(pdf.substr(xref + 5));
  size_t first = 0;
  size_t count = 0;
  table >> first >> count;
  table.ignore(2, '\n');
  EXPECT_EQ(first, 0u);
  std::string entry(20, ' ');
  for (size_t number = 0; number < count; ++number) {
    table.read(&entry[0], 20);
    EXPECT_EQ(entry.size(), 20u);
    if (number == 0) {
      EXPECT_EQ(entry, "0000000000 65535 f \n");
      continue;
    }
    const size_t offset = std::stoul(entry.substr(0, 10));
    EXPECT_EQ(entry.substr(10), " 00000 n \n");
    EXPECT_EQ(
        pdf.compare(offset, std::to_string(number).size() + 6, std::to_string(number) + " 0 obj"),
        0)
        << "object " << number << " at " << offset;
  }
  EXPECT_NE(pdf.find("trailer\n<< /Size " + std::to_string(count) + " /Root 1 0 R >>"),
            std::string::npos);

  std::vector<std::string> texts;
  size_t pageObjects = 0;
  for (size_t at = pdf.find("/Type /Page "); at != std::string::npos;
       at = pdf.find("/Type /Page ", at + 1)) {
    ++pageObjects;
  }
  for (size_t at = pdf.find(") Tj"); at != std::string::npos; at = pdf.find(") Tj", at + 1)) {
    const size_t open = pdf.rfind(" (", at);
    texts.push_back(pdf.substr(open + 2, at - open - 2));
  }
  EXPECT_EQ(pageObjects, texts.size());
  EXPECT_NE(pdf.find("/Type /Pages /Kids ["), std::string::npos);
  EXPECT_NE(pdf.find("/Count " + std::to_string(pageObjects) + " >>"), std::string::npos);
  return texts;
}

// The page count poppler's pdfinfo reads, with any complaint it prints; empty when pdfinfo is
// not installed.
std::string pdfinfoReport(const fs::path& pdf) {
  const fs::path out = pdf.parent_path() / "pdfinfo.txt";
  if (std::system(("pdfinfo -v > \"" + out.string() + "\" 2>&1").c_str()) != 0) return {};
  std::string report;
  if (std::system(("pdfinfo \"" + pdf.string() + "\" > \"" + out.string() + "\" 2>&1").c_str()) !=
      0) {
    report = "pdfinfo failed\n";
  }
  std::ifstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Pages:", 0) == 0 || line.find("rror") != std::string::npos ||
        line.find("arning") != std::string::npos) {
      report += line + "\n";
    }
  }
  return report;
}

TEST_F(PdfPrint, PrintsAReadablePdfWithAPagePerSelectedSheet) {
  struct Row {
    const char* name;
    int selected;
    bool appendToEarlierPrint;
    std::vector<std::string> pages;
  };
  const std::vector<Row> rows = {
      {"every sheet", 3, false, {"SHT1", "SHT2", "SHT3"}},
      {"the first two", 2, false, {"SHT1", "SHT2"}},
      {"appended to an earlier print", 1, true, {"SHT1", "SHT2", "SHT3", "SHT1"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const fs::path pdf = directory_ / "bracket.pdf";
    fs::remove(pdf);
    if (row.appendToEarlierPrint) {
      NXOpen::PrintPDFBuilder* earlier = builder();
      earlier->Commit();
      earlier->Destroy();
    }
    NXOpen::PrintPDFBuilder* b = builder();
    b->SetAppend(row.appendToEarlierPrint);
    b->SourceBuilder()->SetSelectedSheets(row.selected);
    b->Commit();
    b->Destroy();
    std::ifstream in(pdf, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(readablePages(content.str()), row.pages);
    const std::string report = pdfinfoReport(pdf);
    if (!report.empty()) {
      EXPECT_EQ(report, "Pages:           " + std::to_string(row.pages.size()) + "\n");
    }
  }
  EXPECT_TRUE(violations().empty());
}

TEST_F(PdfPrint, PrintThatWritesNothingLeavesNoFile) {
  setPrintWritesFile(false);
  NXOpen::PrintPDFBuilder* b = builder();
  b->Commit();
  b->Destroy();
  EXPECT_FALSE(fs::exists(directory_ / "bracket.pdf"));
}

TEST_F(PdfPrint, CommitWithoutSheetsThrows) {
  NXOpen::PrintPDFBuilder* b = part_->PlotManager()->CreatePrintPdfbuilder();
  b->SetFilename((directory_ / "x.pdf").string());
  EXPECT_THROW(b->Commit(), NXOpen::NXException);
  b->Destroy();
}

TEST_F(PdfPrint, UseAfterDestroyAndDoubleDestroyAreViolations) {
  NXOpen::PrintPDFBuilder* b = builder();
  b->Destroy();
  EXPECT_THROW(b->Commit(), NXOpen::NXException);
  EXPECT_THROW(b->Destroy(), NXOpen::NXException);
  EXPECT_EQ(violations().size(), 2u);
}

TEST_F(PdfPrint, MissingPlotManagerOrSourceBuilderCanBeInjected) {
  injectFault(Fault{"BasePart::PlotManager", FaultKind::Null});
  EXPECT_EQ(part_->PlotManager(), nullptr);
  injectFault(Fault{"PrintPDFBuilder::SourceBuilder", FaultKind::Null});
  NXOpen::PrintPDFBuilder* b = part_->PlotManager()->CreatePrintPdfbuilder();
  EXPECT_EQ(b->SourceBuilder(), nullptr);
  b->Destroy();
  injectFault(Fault{"Builder::Commit", FaultKind::Throw});
  NXOpen::PrintPDFBuilder* failing = builder();
  EXPECT_THROW(failing->Commit(), NXOpen::NXException);
  failing->Destroy();
  EXPECT_FALSE(fs::exists(directory_ / "bracket.pdf"));
}

}  // namespace
}  // namespace nxsim
