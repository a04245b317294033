// Reading a shown dialog for the transcript and for expectations, and keeping track of the
// showings of an invocation through the simulated NX's dialog history.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/nx/NxSim.h"
#include "sim/runner/Scenario.h"
#include "sim/runner/Transcript.h"

namespace simrunner {

// Every block of the dialog: {"id", "type", "label", "shown", "enabled", and "members",
// "value", "bitmap" where the block has them}.
nlohmann::json snapshotBlocks(const nxsim::OpenDialog& dialog);

// Compares one expected property. Empty when it holds, else what differs.
std::string checkExpectation(const nxsim::OpenDialog& dialog, const BlockExpectation& expected);

// Announces showings and reports how they closed, in the order they happened.
class DialogTracker {
 public:
  explicit DialogTracker(Transcript& transcript) : transcript_(transcript) {}

  // Called by a driver on every call; true at the first call of a showing, which is then
  // announced with its blocks. Later calls report the blocks that changed since the last
  // call (a progress stage, a warning shown), as the user would see them change.
  bool see(const nxsim::OpenDialog& dialog);
  // Reports showings that have closed since the last call (and announces showings that
  // closed before any driver saw them).
  void sync();
  // Files shown since the given history position.
  std::vector<std::string> filesSince(size_t position) const;
  size_t historySize() const { return nxsim::dialogHistory().size(); }

 private:
  Transcript& transcript_;
  void reportChanges(const nxsim::OpenDialog& dialog);

  std::map<const nxsim::OpenDialog*, int> lastTicks_;
  std::map<const nxsim::OpenDialog*, nlohmann::json> lastBlocks_;
  std::vector<bool> announced_;
  std::vector<bool> closeReported_;
};

}  // namespace simrunner
