#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <uf.h>
#include <uf_clone.h>
#include <uf_help.h>
#include <NXOpen/Drawings_DrawingSheet.hxx>
#include <NXOpen/Drawings_DrawingSheetCollection.hxx>
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

std::string ansi(const std::wstring& wide) {
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// A user named J\u00f6rg: the add-in hands NX locale text in the ANSI code page.
class FileSystemPathWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    directory_ =
        fs::temp_directory_path() / (L"J\u00f6rg-" + std::to_wstring(std::random_device{}()));
    fs::create_directories(directory_);
    narrow_ = ansi(directory_.wstring());
    ASSERT_NE(narrow_.find('\xF6'), std::string::npos) << "expected code page 1252";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
    reset();
  }
  fs::path directory_;
  std::string narrow_;
};

TEST_F(FileSystemPathWin32, PdfPrintWritesToANonAsciiFolderGivenInTheAnsiCodePage) {
  PartDefinition definition;
  definition.drawingSheets = {"SHT1"};
  setDisplayedPart(addPart(definition));
  auto* part = dynamic_cast<NXOpen::Part*>(NXOpen::Session::GetSession()->Parts()->BaseDisplay());
  ASSERT_NE(part, nullptr);
  NXOpen::PrintPDFBuilder* builder = part->PlotManager()->CreatePrintPdfbuilder();
  builder->SetFilename(narrow_ + "\\drawing.pdf");
  builder->SourceBuilder()->SetSheets({*part->DrawingSheets()->begin()});
  builder->Commit();
  builder->Destroy();
  EXPECT_TRUE(fs::is_regular_file(directory_ / L"drawing.pdf"));
}

TEST_F(FileSystemPathWin32, CloneAndHelpMapUseTheAnsiCodePage) {
  { std::ofstream(directory_ / L"synquohelp.map") << "synquohelp = page.html\n"; }
  PartDefinition definition;
  ManagedName name;
  name.partNumber = "100";
  definition.managed = name;
  addPart(definition);
  ASSERT_EQ(UF_initialize(), 0);
  std::string map = narrow_ + "\\synquohelp.map";
  EXPECT_EQ(UF_HELP_load_map_file(map.data()), 0);
  EXPECT_EQ(helpPageFor("synquohelp"), "page.html");
  ASSERT_EQ(UF_CLONE_initialise(UF_CLONE_export_operation), 0);
  ASSERT_EQ(UF_CLONE_set_def_directory(narrow_.c_str()), 0);
  ASSERT_EQ(UF_CLONE_add_part("@DB/100/"), 0);
  ASSERT_EQ(UF_CLONE_perform_clone(nullptr), 0);
  UF_CLONE_terminate();
  UF_terminate();
  EXPECT_TRUE(fs::is_regular_file(directory_ / L"100.prt"));
}

}  // namespace
}  // namespace nxsim
