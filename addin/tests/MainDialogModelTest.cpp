// The main dialog's model block in the simulated NX: the name, size and last-modification
// lines it shows for the displayed model, and a model that cannot be read.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "addin/tests/support/FailingPlatform.h"
#include "addin/tests/support/ModelFixture.h"
#include "addin/ui/MainDialog.h"
#include "addin/ui/MainDialogState.h"
#include "sim/nx/NxSim.h"

namespace synquo {
namespace {

constexpr const char* kId = "11111111-1111-4111-8111-111111111111";
const std::string kLongName = std::string(57, 'a') + "bcd.prt";  // 64 characters

class MainDialogModel : public testsupport::ModelFixture {
 public:
  tag_t part(const std::string& fileName, size_t bytes) {
    return nxsim::addPart(native(fileName, kId, bytes));
  }

  // The model block's properties as the dialog showed them.
  static std::map<std::string, std::string> showBlock() {
    std::map<std::string, std::string> shown;
    nxsim::setDialogDriver([&shown](nxsim::OpenDialog& dialog) {
      for (const char* block : {"fileName", "fileSize", "lastModified"}) {
        shown[block] = dialog.getString(block, "Label");
      }
      shown["tooltip"] = dialog.getString("fileName", "BalloonTooltipText");
      shown["bitmap"] = dialog.getString("fileSize", "Bitmap");
      dialog.postClose();
    });
    ui::showMainDialog();
    return shown;
  }
};

struct Case {
  const char* name;
  std::function<void(MainDialogModel&)> setup;
  std::string fileName;
  std::string size;
  const char* lastModified;  // a pattern
  std::string tooltip;
  const char* bitmap;
};

TEST_F(MainDialogModel, ModelBlockDescribesTheDisplayedModel) {
  const char* kSingle = "synquo_file_upload_single_icon.bmp";
  const char* kAssembly = "synquo_file_upload_asm_icon.bmp";
  const char* kKnown = "     Last modified: [A-Z][a-z]+ \\d\\d, \\d{4} - \\d\\d:\\d\\d [AP]M";
  const std::vector<Case> cases = {
      {"no displayed part", [](MainDialogModel&) {}, "     No displayed part", "     Size: Unknown",
       "     Last modified: Unknown", "", kSingle},
      {"saved part",
       [](MainDialogModel& t) { nxsim::setDisplayedPart(t.part("plate.prt", 1572864)); },
       "     plate.prt", "     Size: 1.50 MB", kKnown, "", kSingle},
      {"long name", [](MainDialogModel& t) { nxsim::setDisplayedPart(t.part(kLongName, 4194)); },
       "     " + std::string(57, 'a') + "...", "     Size: 0.00 MB", kKnown, kLongName, kSingle},
      {"assembly of one distinct file",
       [](MainDialogModel& t) {
         const tag_t root = t.part("solo.prt", 1048576);
         nxsim::addComponent(root, root);
         nxsim::setDisplayedPart(root);
       },
       "     solo.prt", "     Size: 1.00 MB (1 file)", kKnown, "", kAssembly},
      {"assembly of unknown size",
       [](MainDialogModel& t) {
         const tag_t root = t.part("", 0);
         nxsim::addComponent(root, t.part("bolt.prt", 0));
         nxsim::addComponent(root, t.part("nut.prt", 0));
         nxsim::setDisplayedPart(root);
       },
       "     draft", "     Size: Unknown (3 files)", "     Last modified: Unknown", "", kAssembly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    c.setup(*this);
    std::map<std::string, std::string> shown = showBlock();
    EXPECT_EQ(shown["fileName"], c.fileName);
    EXPECT_EQ(shown["fileSize"], c.size);
    EXPECT_TRUE(std::regex_match(shown["lastModified"], std::regex(c.lastModified)))
        << shown["lastModified"];
    EXPECT_EQ(shown["tooltip"], c.tooltip);
    EXPECT_EQ(shown["bitmap"], c.bitmap);
    // The upload that follows works from what the dialog showed.
    EXPECT_EQ(ui::mainDialogState().metadata.sizeMegabytes > 0,
              c.size.find(" MB") != std::string::npos);
  }
}

TEST_F(MainDialogModel, ModelThatCannotBeReadIsReportedAndTheDialogStays) {
  nxsim::setDisplayedPart(part("plate.prt", 10));
  const std::error_code denied = std::make_error_code(std::errc::permission_denied);
  platform::FailingPlatform failing(platform::os(), 1, denied,
                                    platform::FailingPlatform::Operation::FileSize);
  platform::ScopedPlatform scope(failing);
  const std::map<std::string, std::string> shown = showBlock();
  EXPECT_EQ(shown.at("fileName"), "     Unknown");
  EXPECT_EQ(shown.at("fileSize"), "     Size: Unknown");
  ASSERT_EQ(nxsim::dialogHistory().size(), 1u);
  std::vector<std::string> reported;
  for (const nxsim::MessageBoxRecord& box : nxsim::messageBoxes()) {
    if (box.title == "Block Styler") reported.push_back(box.text);
  }
  EXPECT_EQ(reported,
            std::vector<std::string>{
                std::filesystem::filesystem_error("file_size", models_.path() / "plate.prt", denied)
                    .what()});
}

}  // namespace
}  // namespace synquo
