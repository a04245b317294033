// What an invocation of the add-in does through its entry points: the pending sign-in
// failure, the start dialog or the main dialog, and nothing raised ever reaching NX.
#include "addin/entry/EntryPoints.h"

#include <gtest/gtest.h>

#include "addin/auth/SessionManager.h"
#include "addin/tests/support/SessionTempFixture.h"
#include "sim/nx/NxSim.h"

namespace synquo {
namespace {

using NXOpen::NXMessageBox;

std::vector<std::string> shownFiles() {
  std::vector<std::string> files;
  for (const nxsim::DialogRecord& record : nxsim::dialogHistory()) files.push_back(record.file);
  return files;
}

std::vector<std::string> boxTexts(const std::string& title) {
  std::vector<std::string> texts;
  for (const nxsim::MessageBoxRecord& box : nxsim::messageBoxes()) {
    if (box.title == title) texts.push_back(box.text);
  }
  return texts;
}

class EntryPoints : public testsupport::SessionTempFixture {
 protected:
  EntryPoints() {
    nxsim::reset();
    nxsim::setDialogDriver([](nxsim::OpenDialog& dialog) { dialog.postClose(); });
    auth::sessionManager().clearSession();
  }
  ~EntryPoints() override {
    auth::sessionManager().clearSession();
    nxsim::setDialogDriver({});
  }

  static void signIn() {
    const std::shared_ptr<auth::SessionSharedState> state = auth::sessionManager().sharedState();
    std::lock_guard<std::mutex> lock(state->mutex);
    state->tokens.accessToken = "access";
  }
};

TEST_F(EntryPoints, ShowsTheStartDialogWhenSignedOutAndAPendingFailureOnce) {
  runUfusr();
  EXPECT_EQ(shownFiles(), std::vector<std::string>{"start.dlx"});
  EXPECT_TRUE(nxsim::messageBoxes().empty());

  auth::sessionManager().failSignIn("The browser flow timed out.");
  runUfusr();
  runUfusr();
  EXPECT_EQ(boxTexts("Synquo"), std::vector<std::string>{"The browser flow timed out."});
  EXPECT_EQ(nxsim::messageBoxes().front().type, NXMessageBox::DialogTypeError);
  EXPECT_EQ(shownFiles(), (std::vector<std::string>{"start.dlx", "start.dlx", "start.dlx"}));
}

TEST_F(EntryPoints, DialogThatCannotBeMadeIsReportedAndTheNextInvocationWorks) {
  nxsim::injectFault({"UI::CreateDialog", nxsim::FaultKind::Throw, 1, false, 1, 1234,
                      "Dialog resources are locked"});
  runUfusr();
  EXPECT_EQ(boxTexts("Block Styler"), std::vector<std::string>{"Dialog resources are locked"});
  EXPECT_TRUE(shownFiles().empty());
  runUfusr();
  EXPECT_EQ(shownFiles(), std::vector<std::string>{"start.dlx"});
}

TEST_F(EntryPoints, SignedInGoesToTheMainDialogAndStaysSignedIn) {
  signIn();
  runUfusr();
  runUfusr();
  EXPECT_EQ(shownFiles(), (std::vector<std::string>{"synquoGui.dlx", "synquoGui.dlx"}));
  EXPECT_TRUE(auth::sessionManager().isSignedIn());
}

TEST_F(EntryPoints, NonStandardExceptionsAreShownAndLoggedNeverRaised) {
  struct Case {
    const char* call;
    std::vector<std::string> dialogs;  // shown despite the failure
  };
  const Case cases[] = {
      {"UI::CreateDialog", {}},                  // reaches ufusr itself
      {"BlockDialog::TopBlock", {"start.dlx"}},  // inside a dialog handler
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    nxsim::reset();
    nxsim::injectFault({c.call, nxsim::FaultKind::Foreign});
    runUfusr();
    EXPECT_EQ(boxTexts("Block Styler"), std::vector<std::string>{"An unknown error occurred."});
    EXPECT_EQ(shownFiles(), c.dialogs);
    EXPECT_TRUE(logged("[ERROR] [Synquo] A non-standard exception reached the add-in's edge."));
  }
}

}  // namespace
}  // namespace synquo
