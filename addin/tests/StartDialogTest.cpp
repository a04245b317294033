// The start dialog in the simulated NX: its button, how it closes, and its help context.
#include "addin/ui/StartDialog.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <vantel/TorvaneLibraryName.h>

#include "addin/platform/PlatformWrapper.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "sim/nx/NxSim.h"

namespace ui {
namespace {

using testsupport::AddinEnvironment;

// The fake platform's installation, with the real desktop's windows.
class RealWindows : public platform::PlatformWrapper {
 public:
  explicit RealWindows(platform::Platform& fake) : PlatformWrapper(fake) {}
  platform::WindowHandle activeWindow() override {
    return platform::nativePlatform().activeWindow();
  }
  bool postCloseCommand(platform::WindowHandle window) override {
    return platform::nativePlatform().postCloseCommand(window);
  }
};

int count(const std::vector<std::string>& names, const std::string& name) {
  return static_cast<int>(std::count(names.begin(), names.end(), name));
}

// One installation for the process: the failed Torvane load is remembered with its path.
class StartDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { installation_ = new AddinEnvironment(); }
  static void TearDownTestSuite() { delete installation_; }
  StartDialog() {
    nxsim::reset();
    nxsim::setDialogTimeout(std::chrono::seconds(10));
  }
  ~StartDialog() override { nxsim::setDialogDriver({}); }

  // The Torvane library is not installed beside this add-in, so every sign-in fails.
  static std::string missingLibraryText() {
    return "Failed to load Torvane library at " +
           platform::toFileNameCodePage(installation_->addinDirectory() /
                                        vantel::kTorvaneLibraryFileName);
  }

  static AddinEnvironment* installation_;
};

AddinEnvironment* StartDialog::installation_ = nullptr;

TEST_F(StartDialog, ButtonRunsTheSignInAndClosesTheActiveWindow) {
  RealWindows windows(installation_->platform());
  platform::ScopedPlatform scope(windows);
  nxsim::setDialogDriver([&](nxsim::OpenDialog& dialog) {
    if (dialog.ticks() == 1) dialog.press("signInButton");
  });
  showStartDialog();
  showStartDialog();  // the load failure is remembered and told again

  const std::vector<nxsim::DialogRecord> history = nxsim::dialogHistory();
  ASSERT_EQ(history.size(), 2u);
  for (const nxsim::DialogRecord& record : history) {
    EXPECT_EQ(record.closedBy, "close command");
    EXPECT_EQ(record.events,
              (std::vector<std::string>{"initialize", "dialogShown", "update:signInButton"}));
  }
  const std::vector<nxsim::MessageBoxRecord> boxes = nxsim::messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const nxsim::MessageBoxRecord& box : boxes) {
    EXPECT_EQ(box.title, "Synquo");
    EXPECT_EQ(box.type, NXOpen::NXMessageBox::DialogTypeError);
    EXPECT_EQ(box.text, missingLibraryText());
  }
  // Pushed and popped once per showing.
  EXPECT_EQ(count(nxsim::journalNames(), "UF_HELP_push_primary_context"), 2);
  EXPECT_EQ(count(nxsim::journalNames(), "UF_HELP_pop_context"), 2);
  EXPECT_TRUE(nxsim::helpContextStack().empty());
}

TEST_F(StartDialog, WithoutAnActiveWindowTheDialogStaysOpen) {
  bool stillOpenAfterPress = false;
  nxsim::setDialogDriver([&](nxsim::OpenDialog& dialog) {
    if (dialog.ticks() == 1) dialog.press("signInButton");
    if (dialog.ticks() == 3) {
      stillOpenAfterPress = dialog.isOpen();
      dialog.postClose();
    }
  });
  showStartDialog();
  EXPECT_TRUE(stillOpenAfterPress);
  ASSERT_EQ(nxsim::messageBoxes().size(), 1u);
  EXPECT_EQ(nxsim::messageBoxes()[0].text, missingLibraryText());
  EXPECT_TRUE(nxsim::violations().empty());
}

TEST_F(StartDialog, FailedHelpPushIsNeverPopped) {
  nxsim::injectFault({"UF_initialize", nxsim::FaultKind::Status, 1, false, 4});
  nxsim::setDialogDriver([](nxsim::OpenDialog& dialog) { dialog.postClose(); });
  showStartDialog();
  EXPECT_EQ(count(nxsim::journalNames(), "UF_HELP_push_primary_context"), 0);
  EXPECT_EQ(count(nxsim::journalNames(), "UF_HELP_pop_context"), 0);
  EXPECT_TRUE(nxsim::violations().empty());
}

TEST_F(StartDialog, DialogFileWithoutTheButtonNeverSignsIn) {
  testsupport::TempDir resources("start-dialog-resources");
  testsupport::writeFile(resources / "start.dlx",
                         R"(<Dialog><item id="otherButton" class="UICOMP_button"><PropertyList>
<Property sname="BlockID" type="string" value="otherButton"/></PropertyList></item></Dialog>)");
  nxsim::setResourceDirectories({resources.path()});
  nxsim::setDialogDriver([](nxsim::OpenDialog& dialog) {
    if (dialog.ticks() == 1) dialog.press("otherButton");
    if (dialog.ticks() == 3) dialog.postClose();
  });
  showStartDialog();
  EXPECT_TRUE(nxsim::messageBoxes().empty());
  ASSERT_EQ(nxsim::dialogHistory().size(), 1u);
  EXPECT_EQ(nxsim::dialogHistory()[0].closedBy, "close command");
  nxsim::setResourceDirectories({});
}

}  // namespace
}  // namespace ui
