#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_Enumeration.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/NXException.hxx>
#include <NXOpen/UI.hxx>

#include "sim/nx/NxSim.h"
#include "sim/nx/tests/LambdaCallback.h"
#include "sim/nx/tests/NxText.h"

namespace nxsim {
namespace {

namespace bs = NXOpen::BlockStyler;
using Response = NXOpen::Selection::Response;
using Action = Lambda0<int>;
using Event = Lambda0<void>;
using Update = Lambda1<int, bs::UIBlock*>;
using Properties = std::unique_ptr<bs::PropertyList>;
using namespace std::chrono_literals;

class BlockDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    setDialogTimeout(10s);
    dialog_.reset(NXOpen::UI::GetUI()->CreateDialog("synquoGui.dlx"));
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    dialog_.reset();
    reset();
  }

  // Records every handler call; update records the changed block's id.
  void recordHandlers(int okResult = 0) {
    dialog_->AddInitializeHandler(Event([this] { calls_.push_back("initialize"); }));
    dialog_->AddDialogShownHandler(Event([this] { calls_.push_back("dialogShown"); }));
    dialog_->AddUpdateHandler(Update([this](bs::UIBlock* block) {
      calls_.push_back("update:" + (block == nullptr ? std::string("null") : text(block->Name())));
      return 0;
    }));
    dialog_->AddApplyHandler(Action([this] {
      calls_.push_back("apply");
      return 0;
    }));
    dialog_->AddOkHandler(Action([this, okResult] {
      calls_.push_back("ok");
      return okResult;
    }));
  }

  std::unique_ptr<bs::BlockDialog> dialog_;
  std::vector<std::string> calls_;
};

TEST_F(BlockDialog, HandlersRunInNxOrderWithTheChangedBlock) {
  recordHandlers();
  dialog_->AddDialogShownHandler(Event([this] {
    calls_.push_back("dialogShown");
    std::vector<NXOpen::NXString> members{"Alpha", "Beta"};
    dynamic_cast<bs::Enumeration*>(dialog_->TopBlock()->FindBlock("workspaceList"))
        ->SetEnumMembers(members);
  }));
  setDialogDriver([](OpenDialog& d) {
    switch (d.ticks()) {
      case 1:
        EXPECT_EQ(d.file(), "synquoGui.dlx");
        EXPECT_EQ(d.enumMembers("workspaceList"), (std::vector<std::string>{"Alpha", "Beta"}));
        d.selectEnum("workspaceList", "Beta");
        break;
      case 2:
        d.press("uploadButton");
        break;
      case 3:
        d.apply();
        break;
      default:
        d.ok();
    }
  });
  EXPECT_EQ(dialog_->Show(), NXOpen::Selection::ResponseOk);
  EXPECT_EQ(calls_, (std::vector<std::string>{"initialize", "dialogShown", "update:workspaceList",
                                              "update:uploadButton", "apply", "ok"}));
  const auto history = dialogHistory();
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].events,
            (std::vector<std::string>{"initialize", "dialogShown", "update:workspaceList",
                                      "update:uploadButton", "apply", "ok"}));
  EXPECT_EQ(history[0].closedBy, "ok");
  EXPECT_EQ(text(dynamic_cast<bs::Enumeration*>(dialog_->TopBlock()->FindBlock("workspaceList"))
                     ->ValueAsString()),
            "Beta");
  EXPECT_TRUE(violations().empty());
}

TEST_F(BlockDialog, OkHandlerThatRefusesKeepsTheDialogOpen) {
  recordHandlers(1);
  int refusals = 0;
  setDialogDriver([&](OpenDialog& d) {
    if (refusals < 2) {
      EXPECT_EQ(d.ok(), 1);
      EXPECT_TRUE(d.isOpen());
      ++refusals;
    } else {
      d.cancel();
    }
  });
  EXPECT_EQ(dialog_->Show(), NXOpen::Selection::ResponseCancel);
  EXPECT_EQ(refusals, 2);
  EXPECT_EQ(dialogHistory().at(0).closedBy, "cancel");
}

TEST_F(BlockDialog, DriverReadsWhatHandlersWroteAndSetsValues) {
  dialog_->AddDialogShownHandler(Event([this] {
    Properties(dialog_->GetBlockProperties("userGreeting"))
        ->SetString("Label", "Welcome back, Ada!");
    Properties(dialog_->GetBlockProperties("idWarningGroup"))->SetLogical("Show", true);
  }));
  setDialogDriver([&](OpenDialog& d) {
    EXPECT_EQ(d.getString("userGreeting", "Label"), "Welcome back, Ada!");
    EXPECT_TRUE(d.getLogical("idWarningGroup", "Show"));
    EXPECT_EQ(d.blockType("workspaceList"), "Enumeration");
    EXPECT_EQ(d.getInteger("workspaceList", "Value"), -1);
    EXPECT_THROW(d.getString("userGreeting", "Nope"), std::invalid_argument);
    EXPECT_THROW(d.selectEnum("workspaceList", 0), std::invalid_argument);
    EXPECT_THROW(d.setString("userGreeting", "x"), std::invalid_argument);
    EXPECT_FALSE(d.hasBlock("nothing"));
    d.cancel();
  });
  dialog_->Show();
  EXPECT_TRUE(violations().empty());
}

TEST_F(BlockDialog, StringAndToggleBlocksCanBeSetByTheDriver) {
  // A dialog of our own with the two input kinds.
  auto path = std::filesystem::temp_directory_path() / "nxsim-inputs.dlx";
  {
    std::ofstream out(path);
    out << R"(<Dialog>
<item class="UICOMP_string"><PropertyList><Property sname="BlockID" type="string" value="name"/>
</PropertyList></item>
<item class="UICOMP_toggle"><PropertyList><Property sname="BlockID" type="string" value="keep"/>
</PropertyList></item></Dialog>)";
  }
  std::unique_ptr<bs::BlockDialog> dialog(NXOpen::UI::GetUI()->CreateDialog(path.string()));
  ASSERT_NE(dialog, nullptr);
  std::vector<std::string> seen;
  dialog->AddUpdateHandler(Update([&](bs::UIBlock* block) {
    Properties properties(block->GetProperties());
    if (text(block->Type()) == "String") seen.push_back(text(properties->GetString("Value")));
    if (text(block->Type()) == "Toggle")
      seen.push_back(properties->GetLogical("Value") ? "on" : "off");
    return 0;
  }));
  setDialogDriver([](OpenDialog& d) {
    d.setString("name", "bracket");
    d.setToggle("keep", true);
    d.postClose();
  });
  dialog->Show();
  std::filesystem::remove(path);
  EXPECT_EQ(seen, (std::vector<std::string>{"bracket", "on"}));
}

TEST_F(BlockDialog, ExceptionEscapingAHandlerIsAViolationAndTheDialogGoesOn) {
  dialog_->AddUpdateHandler(Update([](bs::UIBlock*) -> int { throw std::runtime_error("boom"); }));
  setDialogDriver([](OpenDialog& d) {
    EXPECT_EQ(d.press("uploadButton"), 0);
    d.cancel();
  });
  EXPECT_EQ(dialog_->Show(), NXOpen::Selection::ResponseCancel);
  EXPECT_EQ(violations(),
            (std::vector<std::string>{"exception escaped the update:uploadButton handler of "
                                      "synquoGui.dlx: boom"}));
}

TEST_F(BlockDialog, ADialogLeftOpenIsClosedAtTheTimeout) {
  setDialogTimeout(50ms);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(dialog_->Show(), NXOpen::Selection::ResponseCancel);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_EQ(dialogHistory().at(0).closedBy, "timeout");
  ASSERT_EQ(violations().size(), 1u);
  EXPECT_EQ(violations()[0], "dialog synquoGui.dlx was still open after 50 ms and was closed");
}

TEST_F(BlockDialog, AFailingDriverClosesTheDialog) {
  setDialogDriver([](OpenDialog& d) { d.press("noSuchButton"); });
  dialog_->Show();
  EXPECT_EQ(dialogHistory().at(0).closedBy, "driver error");
  ASSERT_EQ(violations().size(), 1u);
  EXPECT_EQ(violations()[0].rfind("dialog driver failed on synquoGui.dlx", 0), 0u);
}

TEST_F(BlockDialog, ADialogCanBeShownAgainButNotWhileShown) {
  recordHandlers();
  dialog_->AddDialogShownHandler(Event([this] {
    calls_.push_back("dialogShown");
    EXPECT_THROW(dialog_->Show(), NXOpen::NXException);
  }));
  setDialogDriver([](OpenDialog& d) { d.ok(); });
  dialog_->Show();
  dialog_->Show(bs::BlockDialog::DialogModeEdit);
  EXPECT_EQ(calls_, (std::vector<std::string>{"initialize", "dialogShown", "ok", "initialize",
                                              "dialogShown", "ok"}));
  EXPECT_EQ(dialogHistory().size(), 2u);
  bool sawMode = false;
  for (const Call& call : journal()) {
    if (call.name == "BlockDialog::Show" && call.args.at(1) == "1") sawMode = true;
  }
  EXPECT_TRUE(sawMode);
}

TEST_F(BlockDialog, ShowCanBeMadeToThrow) {
  injectFault(Fault{"BlockDialog::Show", FaultKind::Throw, 1, false, 1, 77, "no dialog"});
  EXPECT_THROW(dialog_->Show(), NXOpen::NXException);
  EXPECT_TRUE(dialogHistory().empty());
}

}  // namespace
}  // namespace nxsim
