// The main dialog's upload button in the simulated NX: what stops an upload and in which
// order, and which workspace a selection names.
#include "addin/ui/UploadGate.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_Enumeration.hxx>

#include "addin/nx/NxText.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/ui/DialogShowing.h"
#include "addin/ui/MainDialogState.h"
#include "sim/nx/NxSim.h"

namespace ui {
namespace {

const std::string kNoSelection =
    "Select a Synquo workspace before uploading. If the workspace list is empty, sign in again or "
    "refresh the Synquo dialog.";
const std::string kLegacyOff =
    "Legacy file(s) detected. Upload is disabled because synquo_fix_legacy_id is off in "
    "synquo.properties. Enable synquo_fix_legacy_id and restart NX, or open a non-legacy NX file.";

vantel::VantelWorkspace workspace(int64_t id, const char* name) {
  vantel::VantelWorkspace w;
  w.id = id;
  w.name = name;
  return w;
}

struct Case {
  const char* name;
  std::function<void(MainDialogState&)> model;
  std::vector<std::string> members;  // the list as shown; empty: the dialog file's
  std::optional<int> select;
  bool fixLegacy;
  std::string box;  // empty: not blocked
  std::optional<int64_t> pending;
};

TEST(UploadGateTest, BlocksInOrderAndRecordsTheSelectedWorkspace) {
  testsupport::AddinEnvironment env;
  const std::vector<std::string> three = {"Alpha", "Beta", "Beta"};
  const std::vector<std::string> longer = {"a", "b", "c", "Alpha", "Beta"};
  auto legacy = [](MainDialogState& s) { s.metadata.legacyIdentifier = true; };
  auto enumRefused = [](MainDialogState&) {
    nxsim::injectFault({"PropertyList::GetEnum", nxsim::FaultKind::Throw, 1, true});
  };
  const std::vector<Case> cases = {
      {"traceability error before everything, even without a selection",
       [](MainDialogState& s) {
         s.metadata.traceabilityError = "Legacy file(s) detected. Unable to upload because ...";
         s.metadata.legacyIdentifier = true;
         s.workspaces.clear();
       },
       {},
       std::nullopt,
       false,
       "Legacy file(s) detected. Unable to upload because ...",
       std::nullopt},
      {"legacy part with the fix off", legacy, three, 0, false, kLegacyOff, std::nullopt},
      {"legacy part with the fix on", legacy, three, 0, true, "", 5},
      {"no workspaces loaded",
       [](MainDialogState& s) { s.workspaces.clear(); },
       {},
       std::nullopt,
       true,
       kNoSelection,
       std::nullopt},
      {"by index, names alike", {}, three, 2, true, "", 11},
      {"by a name only one workspace has", {}, longer, 3, true, "", 5},
      {"by a name two workspaces have", {}, longer, 4, true, kNoSelection, std::nullopt},
      {"by a name when the index cannot be read", enumRefused, longer, 3, true, "", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nxsim::reset();
    env.writeProperties(std::string("synquo_fix_legacy_id=") + (c.fixLegacy ? "true" : "false"));
    synquo::loadSettings();
    MainDialogState& state = mainDialogState();
    state.reset();
    state.workspaces = {workspace(5, "Alpha"), workspace(9, "Beta"), workspace(11, "Beta")};
    if (c.model) c.model(state);
    std::vector<std::string> boxes;
    nxsim::setMessageBoxAnswerer([&boxes](const nxsim::MessageBoxRecord& box) {
      boxes.push_back(box.text);
      return 1;
    });
    auto dialog = createAddinDialog("synquoGui.dlx");
    bool blocked = false;
    nxsim::setDialogDriver([&](nxsim::OpenDialog& open) {
      if (!c.members.empty()) {
        auto* list = dynamic_cast<NXOpen::BlockStyler::Enumeration*>(
            dialog->TopBlock()->FindBlock(nx::nxText("workspaceList")));
        std::vector<NXOpen::NXString> members = nx::nxTexts(c.members);
        list->SetEnumMembers(members);
      }
      if (c.select) open.selectEnum("workspaceList", *c.select);
      blocked = runUploadGate(dialog.get());
      open.postClose();
    });
    dialog->Show();
    EXPECT_EQ(blocked, !c.box.empty());
    EXPECT_EQ(boxes, c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.box});
    EXPECT_EQ(state.pendingUpload, c.pending);
  }
}

}  // namespace
}  // namespace ui
