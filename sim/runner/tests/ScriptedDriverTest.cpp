// The scenario's hand on a dialog of the simulated NX: actions in order, one per turn,
// expectations, waits, closing what the scenario has nothing (more) for, and the failures.
#include "sim/runner/ScriptedDriver.h"

#include <gtest/gtest.h>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/UI.hxx>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

#include "sim/nx/NxSim.h"
#include "sim/runner/RunnerPlatform.h"

namespace simrunner {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const char* const kDialog = R"(<?xml version="1.0" encoding="UTF-8"?>
<Dialog>
  <item class="UICOMP_button"><PropertyList>
    <Property sname="BlockID" type="string" value="go"/>
    <Property sname="Label" type="utfstring" value="Go"/>
  </PropertyList></item>
  <item class="UICOMP_enum"><PropertyList>
    <Property sname="BlockID" type="string" value="choice"/>
    <Property sname="Value" type="enum" selected="0">
      <Option name="Alpha" value="0"/><Option name="Beta" value="1"/>
    </Property>
  </PropertyList></item>
  <item class="UICOMP_string"><PropertyList>
    <Property sname="BlockID" type="string" value="name"/>
  </PropertyList></item>
  <item class="UICOMP_toggle"><PropertyList>
    <Property sname="BlockID" type="string" value="flag"/>
  </PropertyList></item>
  <item class="UICOMP_label"><PropertyList>
    <Property sname="BlockID" type="string" value="status"/>
    <Property sname="Label" type="utfstring" value="idle"/>
  </PropertyList></item>
  <PropertyList><Property sname="Label" type="utfstring" value="Test"/></PropertyList>
</Dialog>
)";

class ScriptedDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nxsim::reset();
    nxsim::setDialogTimeout(std::chrono::seconds(10));
    file_ = (dir_ / "test.dlx").u8string();
    std::ofstream(dir_ / "test.dlx", std::ios::binary) << kDialog;
    out_ = std::fopen((dir_ / "transcript.txt").string().c_str(), "w");
    transcript_ = std::make_unique<Transcript>(out_);
    tracker_ = std::make_unique<DialogTracker>(*transcript_);
    driver_ = std::make_unique<ScriptedDriver>(*transcript_, *tracker_);
  }
  void TearDown() override {
    nxsim::reset();
    driver_.reset();
    tracker_.reset();
    transcript_.reset();
    std::fclose(out_);
    fs::remove_all(dir_);
  }

  // Shows the test dialog once with the given dialog scripts; the update handler records the
  // blocks and "go" sets the status label.
  void show(const json& dialogs) {
    // A braced single script arrives as the object itself.
    const json list = dialogs.is_object() ? json::array({dialogs}) : dialogs;
    scenario_ = parseScenario({{"steps", json::array({{{"invoke", {{"dialogs", list}}}}})}});
    driver_->begin(scenario_.steps[0].invoke);
    nxsim::setDialogDriver([this](nxsim::OpenDialog& d) { driver_->drive(d); });
    std::unique_ptr<NXOpen::BlockStyler::BlockDialog> dialog(
        NXOpen::UI::GetUI()->CreateDialog(file_));
    dialog_ = dialog.get();
    dialog->AddUpdateHandler(NXOpen::make_callback(this, &ScriptedDriverTest::onUpdate));
    dialog->Show();
    dialog_ = nullptr;
    tracker_->sync();
    driver_->end();
  }

  int onUpdate(NXOpen::BlockStyler::UIBlock* block) {
    const std::string name = block->Name().GetUTF8Text();
    updates_.push_back(name);
    if (name == "go") {
      std::unique_ptr<NXOpen::BlockStyler::PropertyList> status(
          dialog_->GetBlockProperties("status"));
      status->SetString("Label", "done");
    }
    return 0;
  }

  std::vector<std::string> kinds() const {
    std::vector<std::string> out;
    for (const auto& e : transcript_->events()) out.push_back(e.at("event"));
    return out;
  }

  json dialogScript(json actions, int settleMs = 50) const {
    return {{"file", file_}, {"actions", std::move(actions)}, {"settle_ms", settleMs}};
  }

  fs::path dir_ = makeTemporaryDirectory("scripted-driver-test-");
  std::string file_;
  std::FILE* out_ = nullptr;
  std::unique_ptr<Transcript> transcript_;
  std::unique_ptr<DialogTracker> tracker_;
  std::unique_ptr<ScriptedDriver> driver_;
  Scenario scenario_;
  NXOpen::BlockStyler::BlockDialog* dialog_ = nullptr;
  std::vector<std::string> updates_;
};

TEST_F(ScriptedDriverTest, ActionsRunInOrderAndTheDialogIsClosedAfterThem) {
  show({dialogScript({{{"select", "choice"}, {"member", "Beta"}},
                      {{"set_string", "name"}, {"value", "bracket"}},
                      {{"set_toggle", "flag"}, {"value", true}},
                      {{"press", "go"}},
                      {{"expect",
                        {{"status", {{"Label", "done"}}},
                         {"choice", {{"Value", "Beta"}, {"EnumMembers", {"Alpha", "Beta"}}}},
                         {"name", {{"Value", "bracket"}}},
                         {"flag", {{"Value", true}}}}}}})});
  EXPECT_FALSE(transcript_->failed()) << transcript_->events().dump(2);
  EXPECT_EQ(updates_, (std::vector<std::string>{"choice", "name", "flag", "go"}));
  const auto history = nxsim::dialogHistory();
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].closedBy, "close command");
  const auto& events = transcript_->events();
  EXPECT_EQ(events.front().at("event"), "dialog_shown");
  EXPECT_EQ(events.front().at("blocks").size(), 5u);
  EXPECT_EQ(events.back().at("event"), "dialog_closed");
  const json& closing = events[events.size() - 2];
  EXPECT_EQ(closing.at("action"), "close (the scenario's actions are done)");
  const auto all = kinds();
  EXPECT_EQ(std::count(all.begin(), all.end(), "expectation"), 5);
}

TEST_F(ScriptedDriverTest, ADialogTheScenarioDoesNotExpectIsClosedAtOnce) {
  show(json::array());
  EXPECT_FALSE(transcript_->failed());
  EXPECT_EQ(kinds(),
            (std::vector<std::string>{"dialog_shown", "dialog_unscripted", "dialog_closed"}));
  EXPECT_TRUE(updates_.empty());
}

TEST_F(ScriptedDriverTest, AScriptForAnotherFileIsNotUsedAndFailsTheRun) {
  show({{{"file", "other.dlx"}, {"actions", {{{"press", "go"}}}}}});
  EXPECT_TRUE(updates_.empty());
  ASSERT_EQ(transcript_->failures().size(), 1u);
  EXPECT_EQ(
      transcript_->failures()[0],
      "The scenario has actions for other.dlx, but no such dialog was shown when they were due");
}

TEST_F(ScriptedDriverTest, AMismatchAndABadActionFailWithWhatWasThere) {
  show({dialogScript(
      {{{"expect", {{"status", {{"Label", "done"}}}}}}, {{"press", "nope"}}, {{"press", "go"}}})});
  ASSERT_EQ(transcript_->failures().size(), 2u) << transcript_->events().dump(2);
  EXPECT_EQ(transcript_->failures()[0],
            "Dialog " + file_ + " status.Label is \"idle\", expected \"done\"");
  EXPECT_EQ(transcript_->failures()[1].rfind("Dialog " + file_ + ": press nope failed: ", 0), 0u)
      << transcript_->failures()[1];
  EXPECT_TRUE(updates_.empty()) << "the actions after a failed one are not run";
}

TEST_F(ScriptedDriverTest, ActionsLeftWhenTheDialogClosedFailTheRun) {
  show(json::array({dialogScript({{{"close", true}}, {{"press", "go"}}})}));
  ASSERT_EQ(transcript_->failures().size(), 1u);
  EXPECT_EQ(transcript_->failures()[0],
            "Dialog " + file_ + " closed before the action \"press go\" (and 0 after it) ran");
}

TEST_F(ScriptedDriverTest, WaitUntilWaitsForTheBlockAndGivesUpAfterItsTimeOut) {
  show({dialogScript(
      {{{"press", "go"}},
       {{"wait_until", {{"block", "status"}, {"contains", "don"}, {"timeout_ms", 2000}}}},
       {{"wait_ms", 30}}})});
  EXPECT_FALSE(transcript_->failed()) << transcript_->events().dump(2);

  show({dialogScript(
      {{{"wait_until", {{"block", "status"}, {"equals", "done"}, {"timeout_ms", 50}}}},
       {{"press", "go"}}})});
  ASSERT_EQ(transcript_->failures().size(), 1u);
  EXPECT_EQ(transcript_->failures()[0], "Dialog " + file_ +
                                            ": status.Label was still \"idle\" after 50 ms (wait "
                                            "until status.Label is \"done\")");
  EXPECT_EQ(updates_, std::vector<std::string>{"go"}) << "only the first showing pressed go";
}

TEST_F(ScriptedDriverTest, OkAndCancelReachTheDialog) {
  show(json::array({dialogScript({{{"ok", true}}})}));
  show(json::array({dialogScript({{{"cancel", true}}})}));
  const auto history = nxsim::dialogHistory();
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].closedBy, "ok");
  EXPECT_EQ(history[1].closedBy, "cancel");
  EXPECT_FALSE(transcript_->failed()) << transcript_->events().dump(2);
}

}  // namespace
}  // namespace simrunner
