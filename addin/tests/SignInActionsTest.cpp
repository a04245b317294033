// The sign-in and sign-out actions against the Go stand-in of Torvane, with the shell
// and windows of the fake platform and NX's message boxes of the simulated NX.
#include "addin/ui/SignInActions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "addin/auth/SessionManager.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/TorvaneStandIn.h"
#include "addin/ui/Dispatcher.h"
#include "sim/nx/NxSim.h"
#include "sim/runner/HttpGet.h"

namespace ui {
namespace {

using NXOpen::NXMessageBox;
using testsupport::AddinEnvironment;
using testsupport::TorvaneStandIn;

const char* const kBrowserOpened =
    "A browser window has been opened for Synquo sign-in. Complete authentication, then click "
    "the button again to open the dialog.";
const char* const kBrowserFailed = "Failed to launch the system browser for Synquo authentication.";

struct Box {
  std::string title;
  NXMessageBox::DialogType type;
  std::string text;
  bool operator==(const Box& other) const {
    return title == other.title && type == other.type && text == other.text;
  }
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << box.title << "/" << static_cast<int>(box.type) << ": " << box.text;
}

Box info(const std::string& text) { return {"Synquo", NXMessageBox::DialogTypeInformation, text}; }
Box error(const std::string& text) { return {"Synquo", NXMessageBox::DialogTypeError, text}; }

// The message boxes shown since the last call.
std::vector<Box> takeBoxes() {
  static size_t seen = 0;
  std::vector<Box> out;
  const std::vector<nxsim::MessageBoxRecord> all = nxsim::messageBoxes();
  for (size_t i = seen; i < all.size(); ++i)
    out.push_back({all[i].title, all[i].type, all[i].text});
  seen = all.size();
  return out;
}

bool waitForAttemptToEnd() {
  return testsupport::waitUntil([] { return !auth::sessionManager().isSignInInProgress(); },
                                std::chrono::seconds(20));
}

// The client and the session exist once per process, so the cases run as one story.
class SignInActions : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    installation = new AddinEnvironment();
    torvane = new TorvaneStandIn(installation->addinDirectory());
    installation->writeProperties("synquo_nx_log_level=DEBUG\n");
    synquo::loadSettings();
    nxsim::reset();
    // Dialogs the story reaches are looked at and closed, as a user would.
    nxsim::setDialogDriver([](nxsim::OpenDialog& dialog) { dialog.postClose(); });
  }
  static void TearDownTestSuite() {
    auth::sessionManager().clearSession();
    delete torvane;
    delete installation;
  }

  static AddinEnvironment* installation;
  static TorvaneStandIn* torvane;
};

AddinEnvironment* SignInActions::installation = nullptr;
TorvaneStandIn* SignInActions::torvane = nullptr;

TEST_F(SignInActions, RefusedOrFailedBrowserLaunchIsShownNowAndAtTheNextInvocation) {
  torvane->setFaults({{"LocalAuthFlowAuthorize", {{"payload", "file:///C:/Windows/calc.exe"}}}});
  runSignInAction();
  EXPECT_EQ(takeBoxes(), std::vector<Box>{error(kBrowserFailed)});
  EXPECT_TRUE(installation->platform().openedUrls().empty());
  EXPECT_TRUE(AddinEnvironment::logContains(
      installation->defaultLogDirectory(),
      "[WARNING] [Synquo] Not opening Synquo sign-in URL in the browser: "
      "refused URL scheme \"file\"."));
  EXPECT_FALSE(auth::sessionManager().isSignInInProgress());

  launchAddin();  // the pending text once more, then the start dialog
  EXPECT_EQ(takeBoxes(), std::vector<Box>{error(kBrowserFailed)});
  launchAddin();
  EXPECT_TRUE(takeBoxes().empty());

  torvane->setFaults(nlohmann::json::object());
  installation->platform().fail(platform::FakePlatform::Call::OpenUrl);
  runSignInAction();
  installation->platform().heal(platform::FakePlatform::Call::OpenUrl);
  EXPECT_EQ(takeBoxes(), std::vector<Box>{error(kBrowserFailed)});
  EXPECT_EQ(auth::sessionManager().takePendingMessage(), kBrowserFailed);
}

TEST_F(SignInActions, ServiceFailuresReachTheUserAsThePendingMessageOnce) {
  torvane->setFaults({{"LocalAuthFlowAuthorize", {{"error", "authorize refused"}}}});
  runSignInAction();
  EXPECT_EQ(takeBoxes(),
            std::vector<Box>{error("LocalAuthFlowAuthorize failed: authorize refused")});
  launchAddin();
  EXPECT_EQ(takeBoxes(),
            std::vector<Box>{error("LocalAuthFlowAuthorize failed: authorize refused")});

  for (const char* function : {"LocalAuthFlowComplete", "GetCurrentUser"}) {
    torvane->setFaults({{function, {{"error", "service unavailable"}}}});
    runSignInAction();
    EXPECT_EQ(takeBoxes(), std::vector<Box>{info(kBrowserOpened)}) << function;
    ASSERT_TRUE(waitForAttemptToEnd());
    EXPECT_FALSE(auth::sessionManager().isSignedIn()) << function;
    launchAddin();
    EXPECT_EQ(takeBoxes(),
              std::vector<Box>{error(std::string(function) + " failed: service unavailable")});
    launchAddin();
    EXPECT_TRUE(takeBoxes().empty()) << function;
  }
  torvane->setFaults(nlohmann::json::object());
}

TEST_F(SignInActions, SecondClickAbandonsTheOpenAttemptAndKeepsOnlyItsOwnResult) {
  const size_t completesBefore = torvane->calls("LocalAuthFlowComplete").size();
  TorvaneStandIn::setAutoApprove(false);
  runSignInAction();
  ASSERT_TRUE(auth::sessionManager().isSignInInProgress());
  runSignInAction();
  EXPECT_EQ(takeBoxes(), (std::vector<Box>{info(kBrowserOpened), info(kBrowserOpened)}));
  const std::vector<std::string> urls = installation->platform().openedUrls();
  ASSERT_GE(urls.size(), 2u);
  EXPECT_NE(urls[urls.size() - 1], urls[urls.size() - 2]);
  EXPECT_EQ(urls.back().rfind("http://127.0.0.1:", 0), 0u) << urls.back();

  // The user finishes in the second browser window.
  const simrunner::HttpGetResult approved = simrunner::httpGet(urls.back() + "&approve=1", 20);
  ASSERT_TRUE(approved.ok) << approved.error;
  ASSERT_TRUE(waitForAttemptToEnd());
  TorvaneStandIn::setAutoApprove(true);
  ASSERT_TRUE(auth::sessionManager().isSignedIn());
  // The first worker either saw the cancel before asking Torvane, or its abandoned wait
  // ends in an error; neither may reach the session.
  testsupport::waitUntil(
      [&] { return torvane->calls("LocalAuthFlowComplete").size() >= completesBefore + 2; },
      std::chrono::seconds(2));
  EXPECT_EQ(auth::sessionManager().takePendingMessage(), "");
  EXPECT_EQ(auth::sessionManager().displayName(), "Jordan Lee");
  std::vector<nlohmann::json> completes = torvane->calls("LocalAuthFlowComplete");
  completes.erase(completes.begin(), completes.begin() + static_cast<long>(completesBefore));
  int succeeded = 0;
  for (const nlohmann::json& complete : completes) {
    const std::string failure = complete.value("error", "");
    if (failure.empty()) {
      ++succeeded;
    } else {
      EXPECT_NE(failure.find("abandoned"), std::string::npos) << complete;
    }
  }
  EXPECT_EQ(succeeded, 1);

  // Signed in, the button goes straight to the main dialog cycle without a box.
  const size_t shownBefore = nxsim::dialogHistory().size();
  runSignInAction();
  EXPECT_EQ(takeBoxes(), std::vector<Box>{});
  const std::vector<nxsim::DialogRecord> history = nxsim::dialogHistory();
  ASSERT_EQ(history.size(), shownBefore + 1);
  EXPECT_EQ(history.back().file, "synquoGui.dlx");
}

TEST_F(SignInActions, SignOutClearsTheSessionEvenWhenTheServiceFails) {
  if (!auth::sessionManager().isSignedIn()) {
    runSignInAction();
    takeBoxes();
    ASSERT_TRUE(waitForAttemptToEnd());
  }
  ASSERT_TRUE(auth::sessionManager().isSignedIn());
  torvane->setFaults({{"LocalAuthFlowLogout", {{"error", "revocation failed"}}}});
  runSignOutAction();
  EXPECT_EQ(takeBoxes(), std::vector<Box>{error("LocalAuthFlowLogout failed: revocation failed")});
  EXPECT_FALSE(auth::sessionManager().isSignedIn());
  EXPECT_EQ(auth::sessionManager().displayName(), "");

  // A logout page that is no web page is dropped quietly, apart from the log.
  runSignInAction();
  takeBoxes();
  ASSERT_TRUE(waitForAttemptToEnd());
  const size_t opened = installation->platform().openedUrls().size();
  torvane->setFaults({{"LocalAuthFlowLogout", {{"payload", "\\\\server\\share\\tool.exe"}}}});
  runSignOutAction();
  EXPECT_TRUE(takeBoxes().empty());
  EXPECT_EQ(installation->platform().openedUrls().size(), opened);
  EXPECT_TRUE(AddinEnvironment::logContains(
      installation->defaultLogDirectory(),
      "[WARNING] [Synquo] Dropping Synquo logout URL: refused URL without a scheme."));
  EXPECT_FALSE(auth::sessionManager().isSignedIn());

  // A normal sign-out opens the service's logout page.
  torvane->setFaults(nlohmann::json::object());
  runSignInAction();
  takeBoxes();
  ASSERT_TRUE(waitForAttemptToEnd());
  runSignOutAction();
  EXPECT_TRUE(takeBoxes().empty());
  ASSERT_EQ(installation->platform().openedUrls().size(), opened + 2);
  EXPECT_EQ(installation->platform().openedUrls().back().rfind("https://", 0), 0u);
  EXPECT_FALSE(auth::sessionManager().isSignedIn());
}

// An upload button pressed with no window to close leaves the dialog open; whatever closes it
// next, nothing is uploaded.
TEST_F(SignInActions, APendingUploadEndsWithTheDialogThatDidNotCloseForIt) {
  struct Case {
    const char* name;
    std::vector<const char*> presses;  // after the upload button, then the close box
  };
  const std::vector<Case> cases = {
      {"the close box", {}},
      {"sign-out", {"signOutButton"}},
  };
  for (const Case& c : cases) {
    if (!auth::sessionManager().isSignedIn()) {
      runSignInAction();
      ASSERT_TRUE(waitForAttemptToEnd()) << c.name;
    }
    takeBoxes();
    int turn = 0;
    nxsim::setDialogDriver([&](nxsim::OpenDialog& dialog) {
      if (dialog.file() != "synquoGui.dlx") {
        // An upload that should not have started is let run to its end.
        installation->platform().fireTimers();
        return dialog.postClose();
      }
      if (turn == 0) dialog.press("uploadButton");
      if (turn >= 1 && static_cast<size_t>(turn) <= c.presses.size()) {
        dialog.press(c.presses[static_cast<size_t>(turn) - 1]);
      }
      if (static_cast<size_t>(turn) > c.presses.size()) dialog.postClose();
      ++turn;
    });
    const size_t shownBefore = nxsim::dialogHistory().size();
    runSignInAction();
    const std::vector<nxsim::DialogRecord> history = nxsim::dialogHistory();
    std::vector<std::string> shown;
    for (size_t i = shownBefore; i < history.size(); ++i) shown.push_back(history[i].file);
    EXPECT_EQ(shown, std::vector<std::string>{"synquoGui.dlx"}) << c.name;
    EXPECT_TRUE(takeBoxes().empty()) << c.name;
  }
  nxsim::setDialogDriver([](nxsim::OpenDialog& dialog) { dialog.postClose(); });
}

}  // namespace
}  // namespace ui
