#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

using Type = host::NXMessageBox::DialogType;

class MessageBox : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  host::NXMessageBox* box() { return host::nx().GetUI()->NXMessageBox(); }
};

TEST_F(MessageBox, BoxesAreRecordedInOrderAndAnsweredWithOk) {
  EXPECT_EQ(box()->Show("Synquo", Type::Error, "Select a workspace"), 1);
  EXPECT_EQ(box()->Show("Block Styler", Type::Information, "caf\xC3\xA9"), 1);
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, "Synquo");
  EXPECT_EQ(boxes[0].type, Type::Error);
  EXPECT_EQ(boxes[0].text, "Select a workspace");
  EXPECT_EQ(boxes[1].type, Type::Information);
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
  EXPECT_EQ(box()->Show("Synquo", Type::Question, "Continue?"), 2);
  EXPECT_EQ(seen, "Synquo:Continue?");
  reset();
  EXPECT_EQ(box()->Show("Synquo", Type::Question, "Continue?"), 1);
}

TEST_F(MessageBox, FailuresCanBeInjected) {
  injectFault(Fault{"UI::NXMessageBox", FaultKind::Null});
  EXPECT_EQ(box(), nullptr);
  injectFault(Fault{"NXMessageBox::Show", FaultKind::Throw});
  EXPECT_THROW(box()->Show("Synquo", Type::Error, "x"), host::NxException);
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(MessageBox, ABoxShownFromADialogHandlerIsRecorded) {
  auto dialog = host::nx().GetUI()->CreateDialog("start.dlx");
  dialog->AddUpdateHandler([this](host::BlockStyler::UIBlock*) {
    box()->Show("Synquo", Type::Error, "Sign-in failed");
    return 0;
  });
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
