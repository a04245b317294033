// NX's narrow file names under the ANSI code page 1252 (wine's): an upload of a drawing whose
// name that code page cannot hold stops with a message that names the path, before NX is
// given a name with '?' in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "addin/export/DisplayMetadata.h"
#include "addin/export/NxFileName.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/ExportFixture.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;

class NxFileNameWin32 : public testsupport::ExportFixture {
 protected:
  void SetUp() override {
    if (GetACP() != 1252 || !AreFileApisANSI()) GTEST_SKIP() << "needs ANSI code page 1252";
  }
  // Every file under the folder but the session directories' locks, by its UTF-8 path.
  static std::vector<std::string> filesUnder(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      if (entry.is_regular_file() && entry.path().filename() != platform::kLockFileName) {
        files.push_back(platform::toUtf8(entry.path()));
      }
    }
    return files;
  }
};

TEST_F(NxFileNameWin32, ADrawingNamedOutsideTheCodePageIsRefusedNamingThePath) {
  struct Row {
    const char* stem;
    bool refused;
  };
  const std::vector<Row> rows = {
      {"\xd1\x87\xd0\xb5\xd1\x80\xd1\x82\xd1\x91\xd0\xb6", true},  // Cyrillic
      {"\xe5\x9b\xb3\xe9\x9d\xa2", true},                          // Japanese
      {"B\xc3\xbcgel", false},                                     // in the code page
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stem);
    nxsim::reset();
    removeSessionTempDirectory();
    clearLog();
    const std::string file = std::string(row.stem) + ".prt";
    nxsim::PartDefinition drawing = nativePart(file);
    drawing.drawingSheets = {"SHT1", "SHT2"};
    display(drawing);
    nxsim::setApplicationModule(host::UF_APP_DRAFTING);
    const std::string pdf = "{session}{/}" + std::string(row.stem) + ".pdf";

    ModelMetadata m;
    if (!row.refused) {
      prepareUpload(m);
      EXPECT_EQ(platform::toUtf8(m.exportedFile), expand(pdf));
      EXPECT_TRUE(fs::is_regular_file(m.exportedFile));
      continue;
    }
    try {
      prepareUpload(m);
      ADD_FAILURE() << "the upload was prepared";
    } catch (const UnusableNxPathError& e) {
      EXPECT_EQ(e.what(), expand("NX cannot use the path \"" + pdf +
                                 "\" because it holds characters outside this system's code "
                                 "page. Rename the part with Latin letters, or set TEMP to a "
                                 "folder whose path has only Latin letters, then try again."));
    }
    const std::vector<std::string> log = exportLog();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        expand("{W}Drawing PDF export stopped because the destination holds "
                               "characters outside the file-name code page: part=\"{models}{/}" +
                               file + " (" + row.stem + ")\" destination=\"" + pdf + "\".")),
              log.end());
    EXPECT_EQ(filesUnder(base_), std::vector<std::string>()) << "nothing printed, '?' or not";
    expectNxClean();
  }
}

}  // namespace
}  // namespace synquo
