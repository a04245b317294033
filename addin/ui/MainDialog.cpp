// The main dialog.
#include "addin/ui/MainDialog.h"

#include <memory>
#include <string>
#include <vector>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_Enumeration.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/Callback.hxx>

#include "addin/auth/SessionManager.h"
#include "addin/client/ClientSetup.h"
#include "addin/common/AddinVersion.h"
#include "addin/common/Text.h"
#include "addin/export/DisplayMetadata.h"
#include "addin/export/ExportPath.h"
#include "addin/nx/NxText.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/ui/DialogShowing.h"
#include "addin/ui/DialogWindow.h"
#include "addin/ui/HelpContext.h"
#include "addin/ui/IdentityWarning.h"
#include "addin/ui/MainDialogState.h"
#include "addin/ui/MessageBoxes.h"
#include "addin/ui/SignInActions.h"
#include "addin/ui/SizeText.h"
#include "addin/ui/TargetWarning.h"
#include "addin/ui/UploadFileList.h"
#include "addin/ui/UploadGate.h"
#include "addin/ui/WorkspaceLoader.h"

namespace ui {
namespace {

constexpr const char* kDialogFile = "synquoGui.dlx";

using NXOpen::BlockStyler::BlockDialog;
using NXOpen::BlockStyler::UIBlock;

constexpr const char* kIndent = "     ";
constexpr size_t kLongestShownName = 60;
constexpr size_t kShortenedName = 57;

std::string sizeLine(const synquo::ModelMetadata& model) {
  std::string line = std::string(kIndent) + "Size: ";
  line += model.sizeMegabytes > 0 ? megabytesText(model.sizeMegabytes) : "Unknown";
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
    dialog_->AddUpdateHandler(NXOpen::make_callback(this, &MainDialogWindow::update));
    dialog_->AddInitializeHandler(NXOpen::make_callback(this, &MainDialogWindow::initialize));
    dialog_->AddDialogShownHandler(NXOpen::make_callback(this, &MainDialogWindow::dialogShown));
    showModal(*dialog_, helpPushed_);
    dialog_.reset();
    // Only the upload button's own close hands an upload to the cycle; a gate that passed
    // without a window to close leaves the dialog open, and the user may leave it otherwise.
    if (!uploadClosing_) mainDialogState().pendingUpload.reset();
  }

 private:
  void initialize() {
    guardHandler([this] {
      NXOpen::BlockStyler::CompositeBlock* top = dialog_->TopBlock();
      if (top == nullptr) return;
      for (const char* id : {"userGreeting", "blankLabel1", "group0", "fileName", "fileSize",
                             "lastModified", "blankLabel2", "selectWorkspaceLabel"}) {
        top->FindBlock(nx::nxText(id));
      }
      workspaceList_ = top->FindBlock(nx::nxText("workspaceList"));
      signOutButton_ = top->FindBlock(nx::nxText("signOutButton"));
      uploadButton_ = top->FindBlock(nx::nxText("uploadButton"));
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
    showWarnings(state.metadata);
    refreshTargetWarning(dialog_.get());
  }

  // A warning's text is written only when its group is shown.
  void showWarning(const char* group, const char* label, bool shown, const std::string& text) {
    if (shown) setLabel(label, text);
    setShown(group, shown);
  }

  void showWarnings(const synquo::ModelMetadata& m) {
    const bool refused = !m.traceabilityError.empty() || !synquo::fixLegacyIdEnabled();
    showWarning("idWarningGroup", "idWarning", m.legacyIdentifier,
                refused ? "Legacy file(s) detected. Unable to upload."
                        : "Legacy file(s) detected. SYNQUO_ID attribute will be added to maintain "
                          "traceability.");
    // NX may have changed application since the model was read.
    showWarning("drwWarningGroup", "drwWarning", synquo::isDraftingApplication(),
                "NX drawings are automatically converted to PDF when uploaded to Synquo.");
    showWarning("unsavedWarningGroup", "unsavedWarning", m.unsaved,
                "This model has unsaved changes. Please save the model before uploading it.");
    showWarning("unsupportedWarningGroup", "unsupportedWarning", m.unsupportedFileTypes,
                "Non-PRT files are not supported for upload to Synquo. Synquo supports only PRT "
                "file uploads.");
    showWarning("identityWarningGroup", "identityWarning", !m.sharedIdentityFiles.empty(),
                sharedIdentityWarning(m.sharedIdentityFiles));
    setShown("targetWarningGroup", false);
  }

  void showModel(const synquo::ModelMetadata& model) {
    const std::string& name = model.fileName;
    const bool longName = synquo::codePointCount(name) > kLongestShownName;
    std::string nameLine = name.empty() ? std::string("Unknown") : name;
    if (longName) nameLine = synquo::firstCodePoints(name, kShortenedName) + "...";
    setLabel("fileName", kIndent + nameLine);
    setProperty("fileName", "BalloonTooltipText", longName ? name : std::string());
    setProperty("fileSize", "Bitmap",
                model.isAssembly ? "synquo_file_upload_asm_icon.bmp"
                                 : "synquo_file_upload_single_icon.bmp");
    setLabel("fileSize", sizeLine(model));
    setLabel("lastModified", std::string(kIndent) + "Last modified: " +
                                 (model.lastModified.empty() ? "Unknown" : model.lastModified));
    showUploadFiles(model);
  }

  // Blocks "uploadFile1" to "uploadFile21" in the group "uploadFilesGroup", one line each.
  void showUploadFiles(const synquo::ModelMetadata& model) {
    const std::vector<std::string> lines = uploadFileLines(model);
    for (size_t i = 0; i <= kListedUploadFiles; ++i) {
      const std::string id = "uploadFile" + std::to_string(i + 1);
      if (i < lines.size()) setLabel(id.c_str(), lines[i]);
      setShown(id.c_str(), i < lines.size());
    }
    setShown("uploadFilesGroup", !lines.empty());
  }

  void loadWorkspaceList(MainDialogState& state, auth::SessionManager& session) {
    const WorkspaceLoadResult loaded = loadWorkspaces(session, synquo::clientServiceOperations());
    if (!loaded.success) {
      if (loaded.signInExpired) {
        showSynquoInformation(loaded.error);
      } else if (!loaded.error.empty()) {
        showSynquoError(loaded.error);
      }
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
    if (auto* list = dynamic_cast<NXOpen::BlockStyler::Enumeration*>(workspaceList_)) {
      std::vector<NXOpen::NXString> members = nx::nxTexts(state.workspaceNames);
      list->SetEnumMembers(members);
    }
  }

  int update(UIBlock* block) {
    if (block == nullptr) return 0;
    if (block == workspaceList_) {
      guardHandler([this] { refreshTargetWarning(dialog_.get()); });
    } else if (block == uploadButton_) {
      platform::WindowHandle window = platform::kNoWindow;
      guardHandler([&window] { window = activeDialogWindow(); });
      bool blocked = true;
      guardHandler([this, &blocked] { blocked = runUploadGate(dialog_.get()); });
      if (!blocked) {
        guardHandler([this, window] { uploadClosing_ = closeDialogWindow(window); });
      }
    } else if (block == signOutButton_) {
      platform::WindowHandle window = platform::kNoWindow;
      guardHandler([&window] { window = activeDialogWindow(); });
      uploadClosing_ = false;
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
    if (auto properties = blockProperties(*dialog_, blockId)) {
      properties->SetString(nx::nxText(property), nx::nxText(text));
    }
  }

  void setShown(const char* blockId, bool shown) {
    if (auto properties = blockProperties(*dialog_, blockId)) {
      properties->SetLogical(nx::nxText("Show"), shown);
    }
  }

  std::unique_ptr<BlockDialog> dialog_;
  UIBlock* workspaceList_ = nullptr;
  UIBlock* signOutButton_ = nullptr;
  UIBlock* uploadButton_ = nullptr;
  bool helpPushed_ = false;
  // The upload button closed the dialog after its gate passed.
  bool uploadClosing_ = false;
};

}  // namespace

void showMainDialog() {
  MainDialogWindow window;
  window.show();
}

}  // namespace ui
