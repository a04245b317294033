#include <gtest/gtest.h>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/NXException.hxx>
#include <NXOpen/NXMessageBox.hxx>
#include <NXOpen/UI.hxx>

#include <memory>
#include <string>
#include <vector>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

using Box = NXOpen::NXMessageBox;

class MessageBox : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  NXOpen::NXMessageBox* box() { return NXOpen::UI::GetUI()->NXMessageBox(); }
  int showSignInFailed(NXOpen::BlockStyler::UIBlock*) {
    box()->Show("Synquo", Box::DialogTypeError, "Sign-in failed");
    return 0;
  }
  // The fixture's own update handler, as NX's callbacks take it.
  NXOpen::Callback1MemberFunction<MessageBox, int, NXOpen::BlockStyler::UIBlock*> signInHandler() {
    return NXOpen::make_callback(this, &MessageBox::showSignInFailed);
  }
};

TEST_F(MessageBox, BoxesAreRecordedInOrderAndAnsweredWithOk) {
  EXPECT_EQ(box()->Show("Synquo", Box::DialogTypeError, "Select a workspace"), 1);
  EXPECT_EQ(box()->Show("Block Styler", Box::DialogTypeInformation,
                        NXOpen::NXString("caf\xC3\xA9", NXOpen::NXString::UTF8)),
            1);
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, "Synquo");
  EXPECT_EQ(boxes[0].type, Box::DialogTypeError);
  EXPECT_EQ(boxes[0].text, "Select a workspace");
  EXPECT_EQ(boxes[1].type, Box::DialogTypeInformation);
  EXPECT_EQ(boxes[1].text, "caf\xC3\xA9");
  EXPECT_EQ(journal().back().args,
            (std::vector<std::string>{"Block Styler", "Information", "caf\xC3\xA9"}));
}

TEST_F(MessageBox, AnswererChoosesTheButtonAndSeesTheBox) {
  std::string seen;
  setMessageBoxAnswerer([&](const MessageBoxRecord& record) {
    seen = record.title + ":" + record.text;
    return 2;
  });
  EXPECT_EQ(box()->Show("Synquo", Box::DialogTypeQuestion, "Continue?"), 2);
  EXPECT_EQ(seen, "Synquo:Continue?");
  reset();
  EXPECT_EQ(box()->Show("Synquo", Box::DialogTypeQuestion, "Continue?"), 1);
}

TEST_F(MessageBox, FailuresCanBeInjected) {
  injectFault(Fault{"UI::NXMessageBox", FaultKind::Null});
  EXPECT_EQ(box(), nullptr);
  injectFault(Fault{"NXMessageBox::Show", FaultKind::Throw});
  EXPECT_THROW(box()->Show("Synquo", Box::DialogTypeError, "x"), NXOpen::NXException);
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(MessageBox, ABoxShownFromADialogHandlerIsRecorded) {
  std::unique_ptr<NXOpen::BlockStyler::BlockDialog> dialog(
      NXOpen::UI::GetUI()->CreateDialog("start.dlx"));
  dialog->AddUpdateHandler(signInHandler());
  setDialogDriver([](OpenDialog& d) {
    d.press("signInButton");
    d.cancel();
  });
  dialog->Show();
  ASSERT_EQ(messageBoxes().size(), 1u);
  EXPECT_EQ(messageBoxes()[0].text, "Sign-in failed");
}

}  // namespace
}  // namespace nxsim
