#include <windows.h>
// The Win32 macro would hide UI::CreateDialog.
#undef CreateDialog

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/UI.hxx>

#include "sim/nx/NxSim.h"
#include "sim/nx/tests/LambdaCallback.h"

namespace nxsim {
namespace {

namespace bs = NXOpen::BlockStyler;
using Event = Lambda0<void>;
using Update = Lambda1<int, bs::UIBlock*>;
using namespace std::chrono_literals;

class ModalDialogWin32 : public ::testing::Test {
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
TEST_F(ModalDialogWin32, CloseCommandPostedFromTheUpdateHandlerEndsShow) {
  HWND shownActive = nullptr;
  HWND dialogWindow = nullptr;
  dialog_->AddDialogShownHandler(Event([&] { shownActive = GetActiveWindow(); }));
  dialog_->AddUpdateHandler(Update([&](bs::UIBlock*) {
    HWND active = GetActiveWindow();
    EXPECT_NE(active, nullptr);
    EXPECT_TRUE(PostMessageA(active, WM_SYSCOMMAND, SC_CLOSE, 0));
    return 0;
  }));
  int ticksAfterPress = 0;
  setDialogDriver([&](OpenDialog& d) {
    dialogWindow = static_cast<HWND>(d.window());
    if (d.ticks() == 1) {
      d.press("signInButton");
    } else {
      ++ticksAfterPress;
    }
  });
  EXPECT_EQ(dialog_->Show(), NXOpen::Selection::ResponseCancel);
  EXPECT_EQ(ticksAfterPress, 0);
  ASSERT_NE(dialogWindow, nullptr);
  EXPECT_EQ(shownActive, dialogWindow);
  EXPECT_FALSE(IsWindow(dialogWindow));
  EXPECT_FALSE(PostMessageA(dialogWindow, WM_SYSCOMMAND, SC_CLOSE, 0));
  EXPECT_EQ(dialogHistory().at(0).closedBy, "close command");
  EXPECT_EQ(dialogHistory().at(0).events,
            (std::vector<std::string>{"initialize", "dialogShown", "update:signInButton"}));
}

std::vector<std::string> fired;
HWND saved = nullptr;
UINT_PTR refreshTimer = 0;

void CALLBACK startTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  fired.push_back("start");
}

void CALLBACK refreshTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  fired.push_back("refresh");
  if (std::count(fired.begin(), fired.end(), "refresh") == 3) {
    KillTimer(nullptr, refreshTimer);
    PostMessageA(saved, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
}

// The progress dialog's pattern: thread timers without a window, set in the dialog-shown
// handler, fire while Show() runs its message loop; the refresh timer closes the dialog.
TEST_F(ModalDialogWin32, ThreadTimersFireDuringShow) {
  fired.clear();
  dialog_->AddDialogShownHandler(Event([&] {
    saved = GetActiveWindow();
    ASSERT_NE(SetTimer(nullptr, 0, 20, &startTimer), 0u);
    refreshTimer = SetTimer(nullptr, 0, 40, &refreshTimerProc);
    ASSERT_NE(refreshTimer, 0u);
  }));
  dialog_->Show();
  // Windows does not promise the order of two overdue timers, only that both fire.
  EXPECT_EQ(std::count(fired.begin(), fired.end(), "start"), 1);
  EXPECT_EQ(std::count(fired.begin(), fired.end(), "refresh"), 3);
  EXPECT_EQ(dialogHistory().at(0).closedBy, "close command");
}

TEST_F(ModalDialogWin32, DriverPostedCloseGoesThroughTheWindowSystem) {
  setDialogDriver([](OpenDialog& d) { d.postClose(); });
  dialog_->Show();
  EXPECT_EQ(dialogHistory().at(0).closedBy, "close command");
}

}  // namespace
}  // namespace nxsim
