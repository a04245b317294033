// The start dialog.
#include "addin/ui/StartDialog.h"

#include <memory>

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
    dialog_->AddInitializeHandler([this] { initialize(); });
    dialog_->AddDialogShownHandler([this] { dialogShown(); });
    dialog_->AddUpdateHandler([this](host::BlockStyler::UIBlock* block) { return update(block); });
    showModal(*dialog_, helpPushed_);
    dialog_.reset();
  }

 private:
  void initialize() {
    guardHandler([this] {
      host::BlockStyler::CompositeBlock* top = dialog_->TopBlock();
      signInButton_ = top != nullptr ? top->FindBlock(kSignInButton) : nullptr;
    });
  }

  void dialogShown() {
    guardHandler([this] { helpPushed_ = pushHelpContext(); });
  }

  int update(host::BlockStyler::UIBlock* block) {
    if (block == nullptr || block != signInButton_) return 0;
    platform::WindowHandle window = platform::kNoWindow;
    guardHandler([&window] { window = activeDialogWindow(); });
    guardHandler([] { runSignInAction(); });
    guardHandler([window] { closeDialogWindow(window); });
    return 0;
  }

  std::unique_ptr<host::BlockStyler::BlockDialog> dialog_;
  host::BlockStyler::UIBlock* signInButton_ = nullptr;
  bool helpPushed_ = false;
};

}  // namespace

void showStartDialog() {
  StartDialogWindow window;
  window.show();
}

}  // namespace ui
