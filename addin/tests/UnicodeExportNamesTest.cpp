// Exports of a part, into a folder, both named outside the code page of NX's locale: the UF
// calls speak UTF-8 and NX Open is read and written in UTF-8, so NX gets every name whole and
// the upload carries the right file names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <uf.h>

#include "addin/export/DisplayMetadata.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/ExportFixture.h"
#include "addin/tests/support/NewerFile.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;

// "Деталь" and "Болт": no character of them is in code page 1252.
const std::string kName = "\xd0\x94\xd0\xb5\xd1\x82\xd0\xb0\xd0\xbb\xd1\x8c";
const std::string kMember = "\xd0\x91\xd0\xbe\xd0\xbb\xd1\x82";

class UnicodeExportNames : public testsupport::ExportFixture {
 protected:
  // The session directories live in a folder of that name too.
  void SetUp() override {
    const fs::path folder = base_ / platform::fromUtf8(kName);
    fs::create_directories(folder);
    fakePlatform().setTempDirectory(folder / "");
  }
};

TEST_F(UnicodeExportNames, ExportsThePartUnderItsOwnName) {
  struct Row {
    const char* kind;
    nxsim::PartDefinition part;
    int module;
    std::string exported;  // below the session directory
    bool withMember;
  };
  ASSERT_NE(platform::toUtf8(sessionDirectory()).find(kName), std::string::npos);
  nxsim::PartDefinition drawing = nativePart(kName + ".prt");
  drawing.drawingSheets = {"SHT1"};
  const std::vector<Row> rows = {
      {"native", nativePart(kName + ".prt"), 0, kName + ".prt", false},
      {"drawing", drawing, UF_APP_DRAFTING, kName + ".pdf", false},
      {"managed", managedPart(kName), 0, std::string(kUuid) + "{/}" + kName + ".prt", false},
      {"managed assembly", managedPart(kName), 0, std::string(kUuid) + "{/}" + kName + ".prt",
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.kind);
    nxsim::reset();
    removeSessionTempDirectory();
    NXOpen::BasePart* root = display(row.part);
    if (row.withMember) nxsim::addComponent(root->Tag(), nxsim::addPart(managedPart(kMember)));
    nxsim::setApplicationModule(row.module);
    // The member looks newer: a part number that matched no file would take the member's.
    testsupport::NewerFile newer(platform::os(), platform::fromUtf8(kMember + ".prt"));
    const platform::ScopedPlatform scope(newer);
    ModelMetadata m = readDisplayMetadata();
    prepareUpload(m);
    EXPECT_EQ(m.preparationError, "");
    EXPECT_EQ(platform::toUtf8(m.exportedFile), expand("{session}{/}" + row.exported));
    EXPECT_TRUE(fs::is_regular_file(m.exportedFile));
    EXPECT_EQ(m.uploadName, platform::toUtf8(m.exportedFile.filename()));
    expectNxClean();
  }
}

}  // namespace
}  // namespace synquo
