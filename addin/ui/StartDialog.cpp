// The start dialog.
#include "addin/ui/StartDialog.h"

#include <memory>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/Callback.hxx>

#include "addin/nx/NxText.h"

#include "addin/ui/DialogShowing.h"
#include "addin/ui/DialogWindow.h"
#include "addin/ui/HelpContext.h"
#include "addin/ui/MessageBoxes.h"
#include "addin/ui/SignInActions.h"

namespace ui {
namespace {

constexpr const char* kDialogFile = "start.dlx";
constexpr const char* kSignInButton = "signInButton";

class StartDialogWindow {
 public:
  void show() {
    dialog_ = createAddinDialog(kDialogFile);
    dialog_->AddInitializeHandler(NXOpen::make_callback(this, &StartDialogWindow::initialize));
    dialog_->AddDialogShownHandler(NXOpen::make_callback(this, &StartDialogWindow::dialogShown));
    dialog_->AddUpdateHandler(NXOpen::make_callback(this, &StartDialogWindow::update));
    showModal(*dialog_, helpPushed_);
    dialog_.reset();
  }

 private:
  void initialize() {
    guardHandler([this] {
      NXOpen::BlockStyler::CompositeBlock* top = dialog_->TopBlock();
      signInButton_ = top != nullptr ? top->FindBlock(nx::nxText(kSignInButton)) : nullptr;
    });
  }

  void dialogShown() {
    guardHandler([this] { helpPushed_ = pushHelpContext(); });
  }

  int update(NXOpen::BlockStyler::UIBlock* block) {
    if (block == nullptr || block != signInButton_) return 0;
    platform::WindowHandle window = platform::kNoWindow;
    guardHandler([&window] { window = activeDialogWindow(); });
    guardHandler([] { runSignInAction(); });
    guardHandler([window] { closeDialogWindow(window); });
    return 0;
  }

  std::unique_ptr<NXOpen::BlockStyler::BlockDialog> dialog_;
  NXOpen::BlockStyler::UIBlock* signInButton_ = nullptr;
  bool helpPushed_ = false;
};

}  // namespace

void showStartDialog() {
  StartDialogWindow window;
  window.show();
}

}  // namespace ui
