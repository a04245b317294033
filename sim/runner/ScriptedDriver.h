// Plays the user in the dialogs of one invocation from the scenario's actions: each showing
// takes the next dialog script if its file matches, runs one action per turn of the dialog's
// message loop (so posted messages and timers are handled in between, as with a person), and
// closes the dialog when the scenario has nothing (more) for it.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <vector>

#include "sim/nx/NxSim.h"
#include "sim/runner/DialogView.h"
#include "sim/runner/Scenario.h"
#include "sim/runner/Transcript.h"

namespace simrunner {

class ScriptedDriver {
 public:
  ScriptedDriver(Transcript& transcript, DialogTracker& tracker)
      : transcript_(transcript), tracker_(tracker) {}

  void begin(const Invoke& invoke);
  void drive(nxsim::OpenDialog& dialog);
  // Fails the run for scripts no dialog took and actions a dialog closed before.
  void end();

 private:
  using Clock = std::chrono::steady_clock;
  enum class Wait { None, Time, Condition, Settle, Closing };
  struct Showing {
    const DialogScript* script = nullptr;
    size_t next = 0;
    Wait wait = Wait::None;
    Clock::time_point until;
    const Action* condition = nullptr;
  };

  void start(nxsim::OpenDialog& dialog);
  void finish(const Showing& showing);
  void closeNow(nxsim::OpenDialog& dialog, Showing& showing, const std::string& why);
  // Runs actions until one needs a turn of the message loop.
  void advance(nxsim::OpenDialog& dialog, Showing& showing);
  bool perform(nxsim::OpenDialog& dialog, const Action& action);

  Transcript& transcript_;
  DialogTracker& tracker_;
  const Invoke* invoke_ = nullptr;
  size_t nextScript_ = 0;
  std::map<const nxsim::OpenDialog*, Showing> showings_;
};

// The action as one line of text ("press signInButton").
std::string describeAction(const Action& action);

}  // namespace simrunner
