#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/UI.hxx>
#include "sim/desktop/Desktop.h"

#include "sim/nx/NxSim.h"
#include "sim/nx/tests/LambdaCallback.h"

namespace nxsim {
namespace {

namespace bs = NXOpen::BlockStyler;
using Event = Lambda0<void>;
using Update = Lambda1<int, bs::UIBlock*>;
using namespace std::chrono_literals;

class ModalDialogPosix : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    setDialogTimeout(10s);
    dialog_.reset(NXOpen::UI::GetUI()->CreateDialog("start.dlx"));
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    dialog_.reset();
    reset();
  }
  std::unique_ptr<bs::BlockDialog> dialog_;
};

// What the add-in's update handler does: take the active window, act, post the close command.
TEST_F(ModalDialogPosix, CloseCommandPostedFromTheUpdateHandlerEndsShow) {
  desktop::Window shownActive = nullptr;
  desktop::Window dialogWindow = nullptr;
  dialog_->AddDialogShownHandler(Event([&] { shownActive = desktop::activeWindow(); }));
  dialog_->AddUpdateHandler(Update([&](bs::UIBlock*) {
    desktop::Window active = desktop::activeWindow();
    EXPECT_TRUE(desktop::postMessage(active, desktop::kWmSysCommand, desktop::kScClose, 0));
    return 0;
  }));
  int ticksAfterPress = 0;
  setDialogDriver([&](OpenDialog& d) {
    dialogWindow = static_cast<desktop::Window>(d.window());
    if (d.ticks() == 1) {
      d.press("signInButton");
    } else {
      ++ticksAfterPress;
    }
  });
  EXPECT_EQ(dialog_->Show(), NXOpen::Selection::ResponseCancel);
  EXPECT_EQ(ticksAfterPress, 0);  // the posted close arrives before the driver's next turn
  ASSERT_NE(dialogWindow, nullptr);
  EXPECT_EQ(shownActive, dialogWindow);
  EXPECT_FALSE(desktop::isWindow(dialogWindow));
  EXPECT_EQ(desktop::activeWindow(), nullptr);
  EXPECT_FALSE(desktop::postMessage(dialogWindow, desktop::kWmSysCommand, desktop::kScClose, 0));
  EXPECT_EQ(dialogHistory().at(0).closedBy, "close command");
  EXPECT_EQ(dialogHistory().at(0).events,
            (std::vector<std::string>{"initialize", "dialogShown", "update:signInButton"}));
}

// The progress dialog's pattern: a one-shot start timer and a repeating refresh timer set in
// the dialog-shown handler, which fire while Show() runs; the refresh timer closes the dialog.
TEST_F(ModalDialogPosix, ThreadTimersFireDuringShow) {
  std::vector<std::string> fired;
  desktop::Window saved = nullptr;
  desktop::TimerId refresh = 0;
  dialog_->AddDialogShownHandler(Event([&] {
    saved = desktop::activeWindow();
    desktop::setTimer(20, [&](desktop::TimerId self) {
      desktop::killTimer(self);
      fired.push_back("start");
    });
    refresh = desktop::setTimer(30, [&](desktop::TimerId) {
      fired.push_back("refresh");
      if (fired.size() == 4) {
        desktop::killTimer(refresh);
        desktop::postMessage(saved, desktop::kWmSysCommand, desktop::kScClose, 0);
      }
    });
  }));
  dialog_->Show();
  EXPECT_EQ(fired, (std::vector<std::string>{"start", "refresh", "refresh", "refresh"}));
  EXPECT_FALSE(desktop::killTimer(refresh));
  EXPECT_EQ(dialogHistory().at(0).closedBy, "close command");
}

TEST_F(ModalDialogPosix, DriverPostedCloseGoesThroughTheWindowSystem) {
  setDialogDriver([](OpenDialog& d) { d.postClose(); });
  dialog_->Show();
  EXPECT_EQ(dialogHistory().at(0).closedBy, "close command");
}

}  // namespace
}  // namespace nxsim
