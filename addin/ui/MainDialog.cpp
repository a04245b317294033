// The main dialog.
#include "addin/ui/MainDialog.h"

#include <iomanip>
#include <locale>
#include <memory>
#include <sstream>
#include <string>

#include "addin/auth/SessionManager.h"
#include "addin/client/ClientSetup.h"
#include "addin/common/AddinVersion.h"
#include "addin/export/DisplayMetadata.h"
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

constexpr const char* kIndent = "     ";
constexpr size_t kLongestShownName = 60;
constexpr size_t kShortenedName = 57;

// Characters, not bytes: a cut inside a UTF-8 sequence would leave text NX cannot show.
size_t characterCount(const std::string& text) {
  size_t count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string firstCharacters(const std::string& text, size_t count) {
  size_t seen = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && seen++ == count) {
      return text.substr(0, at);
    }
  }
  return text;
}

std::string sizeLine(const synquo::ModelMetadata& model) {
  std::string line = std::string(kIndent) + "Size: ";
  if (model.sizeMegabytes > 0) {
    // The process's locale may write a decimal comma; the dialog's text is fixed.
    std::ostringstream megabytes;
    megabytes.imbue(std::locale::classic());
    megabytes << std::fixed << std::setprecision(2) << model.sizeMegabytes << " MB";
    line += megabytes.str();
  } else {
    line += "Unknown";
  }
  const size_t files = model.files.size();
  if (model.isAssembly && files > 0) {
    line += " (" + std::to_string(files) + (files == 1 ? " file)" : " files)");
  }
  return line;
}

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
    state.metadata = synquo::readDisplayMetadata();
    auth::SessionManager& session = auth::sessionManager();
    const std::string name = session.displayName();
    if (!name.empty()) setLabel("userGreeting", "Welcome back, " + name + "!");
    const std::string email = session.userEmail();
    if (!email.empty()) setLabel("emailLabel", email);
    setLabel("versionLabel", std::string("Version ") + synquo::kAddinVersion);
    showModel(state.metadata);
    loadWorkspaceList(state, session);
  }

  void showModel(const synquo::ModelMetadata& model) {
    const std::string& name = model.fileName;
    const bool longName = characterCount(name) > kLongestShownName;
    std::string nameLine = name.empty() ? std::string("Unknown") : name;
    if (longName) nameLine = firstCharacters(name, kShortenedName) + "...";
    setLabel("fileName", kIndent + nameLine);
    setProperty("fileName", "BalloonTooltipText", longName ? name : std::string());
    setProperty("fileSize", "Bitmap",
                model.isAssembly ? "synquo_file_upload_asm_icon.bmp"
                                 : "synquo_file_upload_single_icon.bmp");
    setLabel("fileSize", sizeLine(model));
    setLabel("lastModified", std::string(kIndent) + "Last modified: " +
                                 (model.lastModified.empty() ? "Unknown" : model.lastModified));
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
    setProperty(blockId, "Label", text);
  }

  void setProperty(const char* blockId, const char* property, const std::string& text) {
    if (auto properties = dialog_->GetBlockProperties(blockId)) {
      properties->SetString(property, text);
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
