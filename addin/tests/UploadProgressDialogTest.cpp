// The upload progress dialog in the simulated NX, its timers fired by the test on every turn
// of the dialog's loop: the stages the user sees, the failure box shown once for every way an
// upload can fail, the dialog coming back when closed early, the model line and opening the
// model's link.
#include "addin/ui/UploadProgressDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/Gate.h"
#include "addin/tests/support/LogCapture.h"
#include "sim/nx/NxSim.h"

namespace ui {
namespace {

using platform::FakePlatform;

constexpr platform::WindowHandle kWindow = 77;

struct ProgressRun {
  UploadProgressOutcome outcome;
  std::vector<std::string> statuses;  // each new text of the status line
  std::vector<std::string> boxes;     // texts of the message boxes
  int showings = 0;
};

using Act = std::function<void(nxsim::OpenDialog&, ProgressRun&)>;

class UploadProgress : public ::testing::Test {
 protected:
  UploadProgress() {
    nxsim::reset();
    nxsim::setDialogTimeout(std::chrono::seconds(20));
    env_.platform().setActiveWindow(kWindow);
  }

  static UploadProgressRequest request(std::function<UploadExecutionResult()> upload) {
    UploadProgressRequest r;
    r.fileName = "bracket.prt";
    r.workspaceName = "Design Review";
    r.sizeMegabytes = 1.5;
    r.prepare = [] {};
    r.upload = std::move(upload);
    return r;
  }

  static UploadExecutionResult succeeded(std::map<std::string, std::string> links = {}) {
    UploadExecutionResult result;
    result.workspaceResolved = true;
    result.succeeded = true;
    result.links = std::move(links);
    return result;
  }

  // Shows the dialog; the fake platform's timers fire on every turn of its loop, and a close
  // posted through the platform closes the simulated dialog.
  ProgressRun run(const UploadProgressRequest& r, const Act& act = {}) {
    ProgressRun result;
    size_t closes = env_.platform().closedWindows().size();
    nxsim::setDialogDriver([&](nxsim::OpenDialog& dialog) {
      if (dialog.ticks() == 1) ++result.showings;
      env_.platform().fireTimers();
      const std::string status = dialog.getString("sizeSecondaryLabel", "Label");
      if (result.statuses.empty() || result.statuses.back() != status) {
        result.statuses.push_back(status);
      }
      if (act) act(dialog, result);
      if (env_.platform().closedWindows().size() > closes) {
        closes = env_.platform().closedWindows().size();
        dialog.postClose();
      }
    });
    nxsim::setMessageBoxAnswerer([&](const nxsim::MessageBoxRecord& box) {
      result.boxes.push_back(box.text);
      return 1;
    });
    result.outcome = showUploadProgress(r);
    return result;
  }

  testsupport::AddinEnvironment env_;
  testsupport::LogCapture log_;
};

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(UploadProgress, ASuccessfulUploadShowsEachStageThenOpensTheModelOrAnotherUpload) {
  const testsupport::Gate transferring;
  const UploadProgressRequest r = request([transferring] {
    transferring.wait();
    return succeeded(
        {{"other.prt", "https://app.synquo.example/m/1"},
         {"Bracket.PRT", " https://app.synquo.example/m/7?revisionId=5&view=3d#top "}});
  });
  bool released = false;
  const ProgressRun result = run(r, [&](nxsim::OpenDialog& dialog, ProgressRun& run) {
    if (!released && contains(run.statuses.back(), "Transferring")) {
      released = true;
      transferring.open();
    }
    if (contains(run.statuses.back(), "Uploaded") && dialog.getLogical("actionGroup", "Show")) {
      dialog.press("openInSynquoButton");
      dialog.press("uploadAnotherButton");
    }
  });
  ASSERT_EQ(result.statuses.size(), 3u) << "each stage once";
  EXPECT_EQ(result.statuses[0], "1.50 MB \xE2\x80\xA2 Exporting your data for upload...       ");
  EXPECT_EQ(result.statuses[1], "1.50 MB \xE2\x80\xA2 Transferring file to Synquo...          ");
  EXPECT_TRUE(contains(result.statuses[2], "1.50 MB \xE2\x80\xA2 Uploaded ")) << result.statuses[2];
  EXPECT_TRUE(result.boxes.empty());
  EXPECT_EQ(result.showings, 1);
  EXPECT_TRUE(result.outcome.result.succeeded);
  EXPECT_TRUE(result.outcome.uploadAnother);
  EXPECT_EQ(env_.platform().openedUrls(),
            std::vector<std::string>{"https://app.synquo.example/m/7?view=3d#top"})
      << "the key that matches when lower-cased, without its revision";
  EXPECT_EQ(env_.platform().callCount(FakePlatform::Call::SleepFor), 2u);
  EXPECT_TRUE(env_.platform().threadTimers().empty()) << "both timers stopped";
}

TEST_F(UploadProgress, EveryFailureIsShownOnceAndClosesTheDialog) {
  const std::string kBox =
      "Synquo upload failed.\n\nFile: bracket.prt\nWorkspace: Design Review\n\nDetails: ";
  struct Case {
    const char* name;
    std::function<void(UploadProgressRequest&, FakePlatform&)> setup;
    std::string box;  // the whole text, or its start when it ends in "..."
  };
  const std::vector<Case> cases = {
      {"preparation raises",
       [](UploadProgressRequest& r, FakePlatform&) {
         r.prepare = [] { throw std::runtime_error("NX export failed"); };
       },
       kBox + "NX export failed"},
      {"preparation raises no standard exception",
       [](UploadProgressRequest& r, FakePlatform&) { r.prepare = [] { throw 7; }; },
       kBox + "Failed to prepare NX files for upload. The export step did not finish. If NX "
              "logging is enabled, check synquo-integration.log in the configured NX log "
              "directory for export details. Then try again."},
      {"the service's error",
       [](UploadProgressRequest& r, FakePlatform&) {
         r.upload = [] {
           UploadExecutionResult failed;
           failed.error = "Upload failed: quota exceeded";
           return failed;
         };
       },
       kBox + "Upload failed: quota exceeded"},
      {"a failure without details",
       [](UploadProgressRequest& r, FakePlatform&) {
         r.upload = [] { return UploadExecutionResult(); };
       },
       kBox + "Synquo upload failed before returning details. If NX logging is enabled, check "
              "synquo-integration.log in the configured NX log directory for the preceding "
              "upload events. Then try again."},
      {"the upload raises no standard exception",
       [](UploadProgressRequest& r, FakePlatform&) {
         r.upload = []() -> UploadExecutionResult { throw 7; };
       },
       kBox + "Upload failed unexpectedly after NX export completed. If NX logging is enabled, "
              "check synquo-integration.log in the configured NX log directory for the "
              "preceding upload details. Then try again."},
      {"no upload worker",
       [](UploadProgressRequest&, FakePlatform& p) {
         p.fail(FakePlatform::Call::StartDetachedWorker);
       },
       kBox + "The upload could not be started because the add-in could not create its upload "
              "thread: ..."},
      {"no names",
       [](UploadProgressRequest& r, FakePlatform&) {
         r.fileName.clear();
         r.workspaceName.clear();
         r.prepare = [] { throw std::runtime_error("x"); };
       },
       "Synquo upload failed.\n\nDetails: x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    env_.platform().heal(FakePlatform::Call::StartDetachedWorker);
    UploadProgressRequest r = request([] { return succeeded(); });
    c.setup(r, env_.platform());
    const ProgressRun result = run(r);
    ASSERT_EQ(result.boxes.size(), 1u);
    const bool prefix = c.box.size() > 3 && c.box.compare(c.box.size() - 3, 3, "...") == 0;
    if (prefix) {
      EXPECT_EQ(result.boxes[0].rfind(c.box.substr(0, c.box.size() - 3), 0), 0u) << result.boxes[0];
    } else {
      EXPECT_EQ(result.boxes[0], c.box);
    }
    EXPECT_EQ(result.showings, 1);
    EXPECT_FALSE(result.outcome.result.succeeded);
    EXPECT_FALSE(result.outcome.uploadAnother);
    EXPECT_FALSE(contains(result.statuses.back(), "Uploaded"));
  }
}

TEST_F(UploadProgress, TimersThatCannotBeSetFromTheNthOnStillEndInTheOutcome) {
  for (int successes = 0; successes <= 3; ++successes) {
    SCOPED_TRACE(successes);
    env_.platform().fail(FakePlatform::Call::SetThreadTimer, successes);
    const ProgressRun result =
        run(request([] { return succeeded({{"bracket.prt", "x"}}); }),
            [](nxsim::OpenDialog& dialog, ProgressRun& progress) {
              if (contains(progress.statuses.back(), "Uploaded")) dialog.postClose();
            });
    env_.platform().heal(FakePlatform::Call::SetThreadTimer);
    EXPECT_TRUE(result.outcome.result.succeeded);
    EXPECT_TRUE(result.boxes.empty());
    EXPECT_TRUE(contains(result.statuses.back(), "Uploaded")) << result.statuses.back();
    EXPECT_TRUE(nxsim::violations().empty()) << nxsim::violations().front();
    EXPECT_TRUE(env_.platform().threadTimers().empty());
  }
}

TEST_F(UploadProgress, ClosingBeforeTheUploadEndsShowsTheDialogAgainWithItsStatus) {
  const testsupport::Gate release;
  const ProgressRun result = run(request([release] {
                                   release.wait();
                                   return succeeded();
                                 }),
                                 [release](nxsim::OpenDialog& dialog, ProgressRun& run) {
                                   const std::string& status = run.statuses.back();
                                   if (contains(status, "Uploaded")) {
                                     dialog.postClose();
                                   } else if (contains(status, "Transferring")) {
                                     // The second showing starts with the status the first one
                                     // ended with.
                                     if (run.showings == 1 && dialog.ticks() > 1)
                                       dialog.postClose();
                                     if (run.showings == 2 && dialog.ticks() == 1) release.open();
                                   }
                                   if (run.showings > 2)
                                     release.open();  // fails below instead of hanging
                                 });
  EXPECT_EQ(result.showings, 2);
  EXPECT_TRUE(result.outcome.result.succeeded);
  EXPECT_TRUE(result.boxes.empty());
}

TEST_F(UploadProgress, AShowingWithoutARefreshTimerWaitsBoundedWhileNxRunsThenGivesUp) {
  const std::string kDetails =
      "The upload did not finish while the dialog waited for it and may still complete in the "
      "background. Check the workspace in Synquo before you upload this model again.";
  const testsupport::Gate release;
  const testsupport::Gate returned;
  const testsupport::Gate dialogReturned;
  // A wait without end would never give the dialog back: the upload then ends after a while.
  std::thread guard([release, dialogReturned] {
    dialogReturned.waitFor(std::chrono::seconds(3));
    release.open();
  });
  size_t waitStart = 0;
  const auto upload = [release, returned] {
    release.wait();
    returned.open();
    return succeeded();
  };
  const ProgressRun result = run(request(upload), [&](nxsim::OpenDialog& dialog, ProgressRun& run) {
    const std::string& status = run.statuses.back();
    if (contains(status, "Uploaded")) {
      dialog.postClose();
    } else if (run.showings == 1 && dialog.ticks() > 1 && waitStart == 0 &&
               contains(status, "Transferring")) {
      env_.platform().fail(FakePlatform::Call::SetThreadTimer);  // the next showing has none
      waitStart = env_.platform().records().size();
      dialog.postClose();
    }
  });
  std::chrono::milliseconds slept(0);
  std::chrono::milliseconds longest(0);
  size_t slices = 0;
  size_t pumps = 0;
  const std::vector<FakePlatform::Record> records = env_.platform().records();
  for (size_t i = waitStart; i < records.size(); ++i) {
    if (records[i].call == FakePlatform::Call::SleepFor) {
      const std::chrono::milliseconds slice(std::stoll(records[i].text));
      slept += slice;
      longest = std::max(longest, slice);
      ++slices;
    }
    if (records[i].call == FakePlatform::Call::PumpMessages) ++pumps;
  }
  EXPECT_EQ(result.showings, 2);
  EXPECT_EQ(result.boxes, std::vector<std::string>{"Synquo upload failed.\n\nFile: bracket.prt\n"
                                                   "Workspace: Design Review\n\nDetails: " +
                                                   kDetails});
  EXPECT_FALSE(result.outcome.result.succeeded);
  EXPECT_EQ(result.outcome.result.error, kDetails);
  EXPECT_TRUE(
      log_.contains("[ERROR] [Synquo] The upload progress dialog stopped waiting for the "
                    "upload after 60 seconds."))
      << log_.content();
  EXPECT_LE(slept.count(), 60000);
  EXPECT_GE(slept.count(), 60000 - longest.count());
  EXPECT_LE(longest.count(), 50) << "NX's messages wait one short sleep at most";
  EXPECT_GE(pumps + 1, slices) << "NX's messages handled between the sleeps";

  dialogReturned.open();
  guard.join();
  ASSERT_TRUE(returned.waitFor(std::chrono::seconds(10)));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the worker's last writes
  EXPECT_EQ(nxsim::messageBoxes().size(), 1u) << "the late worker shows nothing";
}

TEST_F(UploadProgress, AWorkerThatOutlivesTheDialogOnlyTouchesWhatItShares) {
  // NX cannot show the dialog again after an early close: the dialog gives up while the
  // upload is still running.
  const testsupport::Gate release;
  const testsupport::Gate returned;
  const ProgressRun result = run(
      request([release, returned] {
        release.wait();
        returned.open();
        return succeeded();
      }),
      [](nxsim::OpenDialog& dialog, ProgressRun& run) {
        if (contains(run.statuses.back(), "Transferring")) {
          nxsim::injectFault({"BlockDialog::Show", nxsim::FaultKind::Throw, 1});
          dialog.postClose();
        }
      });
  EXPECT_EQ(result.showings, 1);
  EXPECT_FALSE(result.outcome.result.succeeded);
  release.open();
  ASSERT_TRUE(returned.waitFor(std::chrono::seconds(10)));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the worker's last writes
  EXPECT_EQ(nxsim::messageBoxes().size(), 1u) << "the failed showing, in the Block Styler box";
}

TEST_F(UploadProgress, TheModelLineIsShortenedOnCharacterBoundaries) {
  struct Case {
    std::string file, workspace, shown;
    bool tooltip;
  };
  const std::string file45 = std::string(40, 'f') + ".prt1";
  const std::string umlauts =
      std::string(26, 'a') + "\xC3\xB6\xC3\xB6\xC3\xB6" + std::string(20, 'b');
  const std::vector<Case> cases = {
      {"a.prt", "Design Review", "a.prt -> Design Review", false},
      {file45, std::string(20, 'w'),
       std::string(40, 'f').substr(0, 27) + "... -> " + std::string(20, 'w'), true},
      {umlauts, "J\xC3\xB6rg's workspace of parts",
       std::string(26, 'a') + "\xC3\xB6..." + " -> J\xC3\xB6rg's workspace of parts", true},
  };
  for (const Case& c : cases) {
    UploadProgressRequest r = request([] { return succeeded(); });
    r.fileName = c.file;
    r.workspaceName = c.workspace;
    std::string shown;
    std::string tooltip;
    run(r, [&](nxsim::OpenDialog& dialog, ProgressRun&) {
      shown = dialog.getString("modelWorkspaceLabel", "Label");
      tooltip = dialog.getString("modelWorkspaceLabel", "BalloonTooltipText");
      dialog.postClose();
    });
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(tooltip, c.tooltip ? c.file + " -> " + c.workspace : std::string());
  }
}

TEST_F(UploadProgress, ALinkThatIsMissingOrNotAWebPageIsNotOpened) {
  const std::vector<std::pair<std::map<std::string, std::string>, std::string>> cases = {
      {{},
       "Unable to open the uploaded model in Synquo because the upload response did not "
       "include a matching link."},
      {{{"a.prt", "x"}, {"b.prt", "y"}},
       "Unable to open the uploaded model in Synquo because "
       "the upload response did not include a matching link."},
      {{{"bracket.prt", "file:///C:/Windows/system32/calc.exe"}},
       "Unable to open the uploaded model in Synquo."},
  };
  for (const auto& [links, box] : cases) {
    const ProgressRun result =
        run(request([links = links] { return succeeded(links); }),
            [](nxsim::OpenDialog& dialog, ProgressRun& run) {
              if (!contains(run.statuses.back(), "Uploaded") || !run.boxes.empty()) return;
              dialog.press("openInSynquoButton");
              dialog.postClose();
            });
    EXPECT_EQ(result.boxes, std::vector<std::string>{box});
  }
  EXPECT_TRUE(env_.platform().openedUrls().empty());
  EXPECT_TRUE(log_.contains(
      "[WARNING] [Synquo] Refused to open the uploaded model's link: refused URL scheme \"file\""))
      << log_.content();
}

}  // namespace
}  // namespace ui
