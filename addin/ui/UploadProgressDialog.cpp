// The upload progress dialog.
#include "addin/ui/UploadProgressDialog.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <string>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/Callback.hxx>

#include "addin/auth/SessionManager.h"
#include "addin/common/AddinVersion.h"
#include "addin/common/CurrentException.h"
#include "addin/common/ShellUrl.h"
#include "addin/common/Text.h"
#include "addin/export/DisplayMetadata.h"
#include "addin/logging/Log.h"
#include "addin/nx/NxText.h"
#include "addin/platform/Platform.h"
#include "addin/ui/DialogShowing.h"
#include "addin/ui/DialogWindow.h"
#include "addin/ui/HelpContext.h"
#include "addin/ui/MessageBoxes.h"
#include "addin/ui/ModelLink.h"
#include "addin/ui/SizeText.h"

namespace ui {
namespace {

using NXOpen::BlockStyler::BlockDialog;
using NXOpen::BlockStyler::UIBlock;

constexpr const char* kDialogFile = "uploadProgress.dlx";
constexpr unsigned kStartTimerMs = 50;
constexpr unsigned kRefreshTimerMs = 400;
// Lets the user see each stage; fixed.
constexpr std::chrono::milliseconds kStagePause(2000);
// How long a showing without a refresh timer waits for a worker from an earlier showing, in
// sleeps short enough that NX's own messages keep being handled in between.
constexpr std::chrono::seconds kLongestWait(60);
constexpr std::chrono::milliseconds kWaitSlice(50);

constexpr const char* kPreparationFailed =
    "Failed to prepare NX files for upload. The export step did not finish. If NX logging is "
    "enabled, check synquo-integration.log in the configured NX log directory for export "
    "details. Then try again.";
constexpr const char* kNoDetails =
    "Synquo upload failed before returning details. If NX logging is enabled, check "
    "synquo-integration.log in the configured NX log directory for the preceding upload events. "
    "Then try again.";
constexpr const char* kUnexpectedFailure =
    "Upload failed unexpectedly after NX export completed. If NX logging is enabled, check "
    "synquo-integration.log in the configured NX log directory for the preceding upload "
    "details. Then try again.";
constexpr const char* kWorkerNotStarted =
    "The upload could not be started because the add-in could not create its upload thread: ";
constexpr const char* kStoppedWaiting =
    "The upload did not finish while the dialog waited for it and may still complete in the "
    "background. Check the workspace in Synquo before you upload this model again.";

// Shared by the dialog and its worker. Each flag is written once; the worker writes the
// result and the time before the flag that publishes them, and the user-interface thread
// reads them only after it has seen that flag.
struct ProgressState {
  std::atomic<bool> started{false};
  std::atomic<bool> prepared{false};
  std::atomic<bool> finished{false};
  std::atomic<bool> failed{false};
  std::atomic<bool> closing{false};
  std::atomic<bool> uploadAnother{false};
  std::string finishedTime;
};

std::string nowText() {
  try {
    return synquo::formatLocalFileTime(
        std::chrono::system_clock::from_time_t(platform::os().now()));
  } catch (...) {
    return std::string();
  }
}

// Longer than `limit` characters: the first `limit` - 3 and "...".
std::string shortened(const std::string& text, size_t limit) {
  if (synquo::codePointCount(text) <= limit) return text;
  return synquo::firstCodePoints(text, limit - 3) + "...";
}

std::string spaces(size_t count) { return std::string(count, ' '); }

// Runs on the worker thread: only the upload callable and the shared records.
void runUploadWorker(const std::shared_ptr<const UploadProgressRequest>& request,
                     const std::shared_ptr<ProgressState>& state,
                     const std::shared_ptr<UploadExecutionResult>& result) {
  try {
    *result = request->upload();
    if (!result->succeeded && result->error.empty()) result->error = kNoDetails;
  } catch (const std::exception& e) {
    result->succeeded = false;
    result->error = e.what();
  } catch (...) {
    result->succeeded = false;
    result->error = kUnexpectedFailure;
  }
  if (!result->succeeded) {
    state->failed = true;
    return;
  }
  try {
    platform::os().sleepFor(kStagePause);
  } catch (const std::exception& e) {
    result->succeeded = false;
    result->error = e.what();
    state->failed = true;
    return;
  } catch (...) {
    result->succeeded = false;
    result->error = kUnexpectedFailure;
    state->failed = true;
    return;
  }
  state->finishedTime = nowText();
  state->finished = true;
}

class UploadProgressWindow;
// The window the timer procedures reach; null while none is showing.
UploadProgressWindow* currentWindow = nullptr;

class UploadProgressWindow {
 public:
  explicit UploadProgressWindow(const UploadProgressRequest& request)
      : request_(std::make_shared<const UploadProgressRequest>(request)),
        state_(std::make_shared<ProgressState>()),
        result_(std::make_shared<UploadExecutionResult>()),
        sizeText_(request.sizeMegabytes > 0 ? megabytesText(request.sizeMegabytes)
                                            : std::string("Unknown")) {
    dialog_ = createAddinDialog(kDialogFile);
    dialog_->AddInitializeHandler(NXOpen::make_callback(this, &UploadProgressWindow::initialize));
    dialog_->AddDialogShownHandler(NXOpen::make_callback(this, &UploadProgressWindow::dialogShown));
    dialog_->AddUpdateHandler(NXOpen::make_callback(this, &UploadProgressWindow::update));
    dialog_->AddApplyHandler(NXOpen::make_callback(this, &UploadProgressWindow::apply));
    dialog_->AddOkHandler(NXOpen::make_callback(this, &UploadProgressWindow::ok));
  }

  ~UploadProgressWindow() {
    stopTimers();
    if (helpPushed_) {
      helpPushed_ = false;
      popHelpContext();
    }
    if (currentWindow == this) currentWindow = nullptr;
  }

  UploadProgressWindow(const UploadProgressWindow&) = delete;
  UploadProgressWindow& operator=(const UploadProgressWindow&) = delete;

  UploadProgressOutcome show() {
    while (!state_->finished && !stoppedWaiting_) {
      currentWindow = this;
      bool shown = true;
      try {
        dialog_->Show(BlockDialog::DialogModeEdit);
      } catch (...) {
        // A dialog NX cannot show would be shown again for ever: report it and stop.
        showHandlerFailure();
        shown = false;
      }
      stopTimers();
      if (currentWindow == this) currentWindow = nullptr;
      if (!shown) break;
    }
    UploadProgressOutcome outcome;
    if (stoppedWaiting_) {
      // The worker still owns the shared result.
      outcome.result.error = kStoppedWaiting;
    } else if (state_->finished || state_->failed) {
      outcome.result = *result_;
    }
    outcome.uploadAnother = state_->uploadAnother;
    return outcome;
  }

  void onStartTimer() {
    killTimer(startTimer_);
    if (state_->started.exchange(true)) return;
    startWork();
  }

  void onRefreshTimer() {
    if (finishOnFailure()) {
      killTimer(refreshTimer_);
      return;
    }
    // Read before refreshing: a worker finishing in between must still get its last refresh.
    const bool finished = state_->finished;
    refreshStatus(false);
    if (finished) killTimer(refreshTimer_);
  }

 private:
  // Nothing may leave a timer procedure into the message loop.
  template <typename Body>
  static void onTimer(const char* which, Body&& body) {
    try {
      if (currentWindow != nullptr) body(*currentWindow);
    } catch (...) {
      try {
        logging::error("The upload progress ", which,
                       " timer failed: ", synquo::currentExceptionText());
      } catch (...) {
        // The log itself failed; the next tick tries again.
      }
    }
  }

  void initialize() {
    guardHandler([this] {
      NXOpen::BlockStyler::CompositeBlock* top = dialog_->TopBlock();
      if (top == nullptr) return;
      openButton_ = top->FindBlock(nx::nxText("openInSynquoButton"));
      anotherButton_ = top->FindBlock(nx::nxText("uploadAnotherButton"));
    });
  }

  void dialogShown() {
    guardHandler([this] {
      // Shown again after an early close: the context is still pushed.
      if (!helpPushed_) helpPushed_ = pushHelpContext();
      window_ = activeDialogWindow();
      const std::string email = auth::sessionManager().userEmail();
      if (!email.empty()) setLabel("emailLabel", email);
      setLabel("versionLabel", std::string("Version ") + synquo::kAddinVersion);
      showModelLine();
      pad("leftLabel1", "rightLabel1", 40, 75);
      refreshStatus(true);
      if (refreshTimer_ == platform::kNoTimer) {
        refreshTimer_ = platform::os().setThreadTimer(kRefreshTimerMs, [] {
          onTimer("refresh", [](UploadProgressWindow& w) { w.onRefreshTimer(); });
        });
      }
      if (refreshTimer_ == platform::kNoTimer) {
        // Nothing would ever tell this dialog that a worker finished: the upload runs here
        // instead, holding NX as its own exports do, and its outcome is shown at once.
        if (!state_->started.exchange(true)) {
          runHere();
        } else {
          waitHere();
        }
        return;
      }
      if (!state_->started && startTimer_ == platform::kNoTimer) {
        startTimer_ = platform::os().setThreadTimer(kStartTimerMs, [] {
          onTimer("start", [](UploadProgressWindow& w) { w.onStartTimer(); });
        });
        if (startTimer_ == platform::kNoTimer) {
          state_->started = true;
          startWork();
        }
      }
    });
  }

  void showModelLine() {
    const std::string full = request_->fileName + " -> " + request_->workspaceName;
    const bool cut = synquo::codePointCount(full) > 60;
    const std::string shown =
        cut ? shortened(request_->fileName, 30) + " -> " + shortened(request_->workspaceName, 30)
            : full;
    setLabel("modelWorkspaceLabel", shown);
    setProperty("modelWorkspaceLabel", "BalloonTooltipText", cut ? full : std::string());
    pad("leftLabel2", "rightLabel2", synquo::codePointCount(shown), 72);
  }

  // Centres a line of `length` characters in a row `width` wide.
  void pad(const char* left, const char* right, size_t length, size_t width) {
    setLabel(left, spaces(length + 6 < width ? width - length - 3 : 3));
    setLabel(right, spaces(3));
  }

  // Preparation on this thread, then the upload on a worker; a failure of either ends in the
  // failure box.
  void startWork() {
    startPreparation();
    if (!state_->prepared) return;
    try {
      platform::os().startDetachedWorker([request = request_, state = state_, result = result_] {
        runUploadWorker(request, state, result);
      });
    } catch (const std::exception& e) {
      logging::error("The upload worker could not be started: ", e.what());
      failBeforeUpload(kWorkerNotStarted + std::string(e.what()));
    } catch (...) {
      failBeforeUpload(kWorkerNotStarted + std::string(synquo::kUnknownExceptionText));
    }
  }

  void runHere() {
    logging::warning(
        "The upload progress dialog could not set its refresh timer; the upload "
        "runs on the user-interface thread.");
    startPreparation();
    if (state_->failed || !state_->prepared) return;
    runUploadWorker(request_, state_, result_);
    if (!finishOnFailure()) refreshStatus(true);
  }

  void startPreparation() {
    try {
      if (request_->prepare) request_->prepare();
      platform::os().sleepFor(kStagePause);
    } catch (const std::exception& e) {
      failBeforeUpload(e.what());
      return;
    } catch (...) {
      failBeforeUpload(kPreparationFailed);
      return;
    }
    state_->prepared = true;
  }

  // Shown again while a worker from an earlier showing still sends. Past the longest wait
  // the dialog gives up on it, and the worker finishes unseen.
  void waitHere() {
    std::chrono::milliseconds waited(0);
    while (!state_->finished && !state_->failed) {
      if (waited >= kLongestWait) {
        stopWaiting();
        return;
      }
      platform::os().sleepFor(kWaitSlice);
      waited += kWaitSlice;
      platform::os().pumpMessages();
    }
    if (!finishOnFailure()) refreshStatus(true);
  }

  // Neither the result nor the finished time may be touched here: the worker still writes them.
  void stopWaiting() {
    bool expected = false;
    if (!state_->closing.compare_exchange_strong(expected, true)) return;
    stoppedWaiting_ = true;
    logging::error("The upload progress dialog stopped waiting for the upload after ",
                   kLongestWait.count(), " seconds.");
    showFailure(kStoppedWaiting);
    close();
  }

  void failBeforeUpload(const std::string& error) {
    result_->succeeded = false;
    result_->error = error;
    state_->failed = true;
    finishOnFailure();
  }

  // Shows the failure once, whichever of the start path and the refresh timer sees it first.
  bool finishOnFailure() {
    if (!state_->failed) return false;
    bool expected = false;
    if (!state_->closing.compare_exchange_strong(expected, true)) return false;
    if (result_->signInExpired) {
      try {
        showSynquoInformation(result_->error);
      } catch (...) {
        platform::os().debugOutput("Synquo sign-in expiry message could not be displayed.\n");
      }
    } else if (!result_->error.empty()) {
      showFailure(result_->error);
    }
    state_->finishedTime = nowText();
    state_->finished = true;
    close();
    return true;
  }

  void showFailure(const std::string& error) {
    try {
      std::string text = "Synquo upload failed.";
      if (!request_->fileName.empty()) text += "\n\nFile: " + request_->fileName;
      if (!request_->workspaceName.empty()) text += "\nWorkspace: " + request_->workspaceName;
      text += "\n\nDetails: " + error;
      showSynquoError(text);
    } catch (const std::exception& e) {
      platform::os().debugOutput("Synquo upload failure message could not be displayed.\n");
      platform::os().debugOutput(std::string(e.what()) + "\n");
    } catch (...) {
      platform::os().debugOutput("Synquo upload failure message could not be displayed.\n");
    }
  }

  void close() {
    const platform::WindowHandle window =
        window_ != platform::kNoWindow ? window_ : activeDialogWindow();
    closeDialogWindow(window);
  }

  void refreshStatus(bool forced) {
    if (!dialog_ || state_->closing) return;
    const bool uploaded = state_->finished && result_->succeeded;
    const int stage = uploaded ? 2 : state_->prepared ? 1 : 0;
    if (!forced && statusShown_ && stage == lastStage_) return;
    lastStage_ = stage;
    statusShown_ = true;
    std::string status;
    switch (stage) {
      case 0:
        setProperty("primaryStatus", "Bitmap", "synquo_upload_preparing.bmp");
        status = "Exporting your data for upload...";
        break;
      case 1:
        setProperty("primaryStatus", "Bitmap", "synquo_upload_uploading.bmp");
        status = "Transferring file to Synquo...";
        break;
      default:
        setProperty("primaryStatus", "Bitmap", "synquo_upload_uploaded.bmp");
        setProperty("spinner", "Bitmap", "synquo_upload_complete.bmp");
        if (auto group = blockProperties(*dialog_, "actionGroup")) {
          group->SetLogical(nx::nxText("Show"), result_->succeeded);
        }
        status = "Uploaded " + state_->finishedTime;
        break;
    }
    const size_t length = synquo::codePointCount(status);
    if (length < 40) status += spaces(40 - length);
    const std::string line = sizeText_ + " \xE2\x80\xA2 " + status;
    setLabel("sizeSecondaryLabel", line);
    pad("leftLabel3", "rightLabel3", synquo::codePointCount(line), 82);
  }

  int update(UIBlock* block) {
    if (block == nullptr) return 0;
    if (block == openButton_) {
      guardHandler([this] { openModel(); });
    } else if (block == anotherButton_) {
      guardHandler([this] {
        state_->uploadAnother = true;
        close();
      });
    }
    return 0;
  }

  int apply() {
    guardHandler([this] { refreshStatus(true); });
    return 0;
  }

  // The dialog closes only once the upload has finished or the dialog has given up on it.
  int ok() { return state_->finished || stoppedWaiting_ ? 0 : 1; }

  void openModel() {
    const std::optional<std::string> link = findModelLink(result_->links, request_->fileName);
    if (!link) {
      showSynquoError(
          "Unable to open the uploaded model in Synquo because the upload response did not "
          "include a matching link.");
      return;
    }
    // The link comes from the service's answer: only plain web links reach the shell.
    const std::string refusal = synquo::shellUrlRefusal(*link);
    if (!refusal.empty()) {
      logging::warning("Refused to open the uploaded model's link: ", refusal);
      showSynquoError("Unable to open the uploaded model in Synquo.");
      return;
    }
    if (!platform::os().openUrl(*link)) {
      showSynquoError("Unable to open the uploaded model in Synquo.");
    }
  }

  void killTimer(platform::TimerId& timer) {
    if (timer == platform::kNoTimer) return;
    platform::os().killThreadTimer(timer);
    timer = platform::kNoTimer;
  }

  void stopTimers() {
    killTimer(startTimer_);
    killTimer(refreshTimer_);
  }

  void setLabel(const char* blockId, const std::string& text) {
    setProperty(blockId, "Label", text);
  }

  void setProperty(const char* blockId, const char* property, const std::string& text) {
    if (auto properties = blockProperties(*dialog_, blockId)) {
      properties->SetString(nx::nxText(property), nx::nxText(text));
    }
  }

  std::shared_ptr<const UploadProgressRequest> request_;
  std::shared_ptr<ProgressState> state_;
  std::shared_ptr<UploadExecutionResult> result_;
  std::string sizeText_;
  std::unique_ptr<BlockDialog> dialog_;
  UIBlock* openButton_ = nullptr;
  UIBlock* anotherButton_ = nullptr;
  platform::WindowHandle window_ = platform::kNoWindow;
  platform::TimerId startTimer_ = platform::kNoTimer;
  platform::TimerId refreshTimer_ = platform::kNoTimer;
  bool statusShown_ = false;
  int lastStage_ = -1;
  bool helpPushed_ = false;
  // Set by the user-interface thread alone: the wait for a worker ran out.
  bool stoppedWaiting_ = false;
};

}  // namespace

UploadProgressOutcome showUploadProgress(const UploadProgressRequest& request) {
  UploadProgressWindow window(request);
  return window.show();
}

}  // namespace ui
