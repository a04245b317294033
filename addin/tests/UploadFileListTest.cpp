// The main dialog's list of what an upload sends, in the simulated NX over real files: root
// first, sizes, the marks behind the unsaved and unsupported warnings, the drawing's PDF, and
// twenty lines before the rest is counted.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <uf.h>

#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/ModelFixture.h"
#include "addin/ui/MainDialog.h"
#include "sim/nx/NxSim.h"

namespace synquo {
namespace {

class UploadFileList : public testsupport::ModelFixture {
 public:
  tag_t part(const std::string& fileName, size_t bytes) {
    return nxsim::addPart(native(fileName, id(), bytes));
  }

  // A distinct identifier for every part.
  std::string id() {
    char text[40];
    std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012d", ++parts_);
    return text;
  }

  // The shown lines of the list, and whether its group is shown.
  static std::pair<std::vector<std::string>, bool> showList() {
    std::vector<std::string> lines;
    bool groupShown = false;
    nxsim::setDialogDriver([&](nxsim::OpenDialog& dialog) {
      for (int line = 1; line <= 21; ++line) {
        const std::string block = "uploadFile" + std::to_string(line);
        if (dialog.getLogical(block, "Show")) lines.push_back(dialog.getString(block, "Label"));
      }
      groupShown = dialog.getLogical("uploadFilesGroup", "Show");
      dialog.postClose();
    });
    ui::showMainDialog();
    return {lines, groupShown};
  }

 private:
  int parts_ = 0;
};

TEST_F(UploadFileList, ListShowsWhatAnUploadSendsRootFirst) {
  struct Case {
    const char* name;
    std::function<void(UploadFileList&)> setup;
    std::vector<std::string> lines;
  };
  std::vector<std::string> many = {"asm.prt  0.00 MB"};
  for (int i = 1; i <= 19; ++i) many.push_back("p" + std::to_string(100 + i) + ".prt  0.00 MB");
  many.push_back("and 5 more");
  const std::vector<Case> cases = {
      {"no displayed part", [](UploadFileList&) {}, {}},
      {"single part",
       [](UploadFileList& t) { nxsim::setDisplayedPart(t.part("plate.prt", 1572864)); },
       {"plate.prt  1.50 MB"}},
      {"unsaved root and members, unsupported members",
       [](UploadFileList& t) {
         const tag_t root = t.part("asm.prt", 1048576);
         nxsim::PartDefinition bolt = t.native("bolt.prt", t.id(), 524288);
         bolt.modified = true;
         nxsim::addComponent(root, nxsim::addPart(bolt));
         nxsim::PartDefinition gone;
         gone.uniqueIdentifier = t.id();
         gone.fullPath = platform::toUtf8(t.models_.path() / "gone.prt");  // never written
         nxsim::addComponent(root, nxsim::addPart(gone));
         nxsim::addComponent(root, NULL_TAG, "housing.stp");
         nxsim::setModified(root, true);
         nxsim::setDisplayedPart(root);
       },
       {"asm.prt  1.00 MB (unsaved)", "bolt.prt  0.50 MB (unsaved)", "gone.prt (not supported)",
        "housing.stp (not supported)"}},
      {"twenty-five files",
       [](UploadFileList& t) {
         const tag_t root = t.part("asm.prt", 0);
         for (int i = 1; i <= 24; ++i) {
           nxsim::addComponent(root, t.part("p" + std::to_string(100 + i) + ".prt", 0));
         }
         nxsim::setDisplayedPart(root);
       },
       many},
      {"drawing",
       [](UploadFileList& t) {
         nxsim::PartDefinition frame = t.native("frame_dwg.prt", t.id(), 10);
         frame.drawingSheets = {"SHT1"};
         nxsim::setDisplayedPart(nxsim::addPart(frame));
         nxsim::setApplicationModule(UF_APP_DRAFTING);
       },
       {"frame_dwg.pdf  (printed from the drawing)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    c.setup(*this);
    const auto [lines, groupShown] = showList();
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(groupShown, !c.lines.empty());
  }
}

}  // namespace
}  // namespace synquo
