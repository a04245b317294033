// The main dialog.
#include "addin/ui/MainDialog.h"

#include <memory>
#include <string>

#include "addin/auth/SessionManager.h"
#include "addin/client/ClientSetup.h"
#include "addin/common/AddinVersion.h"
#include "addin/ui/DialogShowing.h"
#include "addin/ui/DialogWindow.h"
#include "addin/ui/HelpContext.h"
#include "addin/ui/MainDialogState.h"
#include "addin/ui/MessageBoxes.h"
#include "addin/ui/SignInActions.h"
#include "addin/ui/WorkspaceLoader.h"

namespace ui {
namespace {

constexpr const char* kDialogFile = "synquoGui.dlx";

using host::BlockStyler::BlockDialog;
using host::BlockStyler::UIBlock;

class MainDialogWindow {
 public:
  void show() {
    dialog_ = createAddinDialog(kDialogFile);
    dialog_->AddUpdateHandler([this](UIBlock* block) { return update(block); });
    dialog_->AddInitializeHandler([this] { initialize(); });
    dialog_->AddDialogShownHandler([this] { dialogShown(); });
    showModal(*dialog_, helpPushed_);
    dialog_.reset();
  }

 private:
  void initialize() {
    guardHandler([this] {
      host::BlockStyler::CompositeBlock* top = dialog_->TopBlock();
      if (top == nullptr) return;
      workspaceList_ = top->FindBlock("workspaceList");
      signOutButton_ = top->FindBlock("signOutButton");
    });
  }

  void dialogShown() {
    guardHandler([this] {
      helpPushed_ = pushHelpContext();
      fill();
    });
  }

  void fill() {
    MainDialogState& state = mainDialogState();
    state.reset();
    auth::SessionManager& session = auth::sessionManager();
    const std::string name = session.displayName();
    if (!name.empty()) setLabel("userGreeting", "Welcome back, " + name + "!");
    const std::string email = session.userEmail();
    if (!email.empty()) setLabel("emailLabel", email);
    setLabel("versionLabel", std::string("Version ") + synquo::kAddinVersion);
    loadWorkspaceList(state, session);
  }

  void loadWorkspaceList(MainDialogState& state, auth::SessionManager& session) {
    const WorkspaceLoadResult loaded = loadWorkspaces(session, synquo::clientServiceOperations());
    if (!loaded.success) {
      if (!loaded.error.empty()) showSynquoError(loaded.error);
      state.workspaces.clear();
      state.workspaceNames.clear();
      return;
    }
    state.workspaces = loaded.workspaces;
    for (const vantel::VantelWorkspace& workspace : state.workspaces) {
      state.workspaceNames.push_back(workspaceDisplayName(workspace));
    }
    if (state.workspaces.empty()) {
      showSynquoInformation("No Synquo workspaces were returned for the authenticated user.");
    }
    if (auto* list = dynamic_cast<host::BlockStyler::Enumeration*>(workspaceList_)) {
      list->SetEnumMembers(state.workspaceNames);
    }
  }

  int update(UIBlock* block) {
    if (block == nullptr) return 0;
    if (block == signOutButton_) {
      platform::WindowHandle window = platform::kNoWindow;
      guardHandler([&window] { window = activeDialogWindow(); });
      guardHandler([] { runSignOutAction(); });
      guardHandler([window] { closeDialogWindow(window); });
    }
    return 0;
  }

  // A block whose properties cannot be had is skipped without error.
  void setLabel(const char* blockId, const std::string& text) {
    if (auto properties = dialog_->GetBlockProperties(blockId)) {
      properties->SetString("Label", text);
    }
  }

  std::unique_ptr<BlockDialog> dialog_;
  UIBlock* workspaceList_ = nullptr;
  UIBlock* signOutButton_ = nullptr;
  bool helpPushed_ = false;
};

}  // namespace

void showMainDialog() {
  MainDialogWindow window;
  window.show();
}

}  // namespace ui
