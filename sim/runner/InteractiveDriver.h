// A person at the terminal plays the user: the dialog's blocks are printed and commands
// such as "press signInButton" or "select workspaceList 1" are read from the input.
#pragma once

#include <chrono>
#include <istream>
#include <map>
#include <string>

#include "sim/nx/NxSim.h"
#include "sim/runner/DialogView.h"
#include "sim/runner/Transcript.h"

namespace simrunner {

class InteractiveDriver {
 public:
  InteractiveDriver(Transcript& transcript, DialogTracker& tracker, std::istream& in)
      : transcript_(transcript), tracker_(tracker), in_(in) {}

  void drive(nxsim::OpenDialog& dialog);
  // Shows the box and waits for Enter (or a number for the answer).
  int answer(const nxsim::MessageBoxRecord& box);
  // The person typed quit (or the input ended): no further invocations.
  bool quitRequested() const { return quit_; }
  // Asks whether to invoke the add-in again.
  bool askAnotherInvocation();

 private:
  bool readLine(const std::string& prompt, std::string& line);

  Transcript& transcript_;
  DialogTracker& tracker_;
  std::istream& in_;
  bool quit_ = false;
  std::map<const nxsim::OpenDialog*, std::chrono::steady_clock::time_point> waits_;
  std::map<const nxsim::OpenDialog*, bool> closing_;
};

// The commands a person can type, one per line.
extern const char* const kInteractiveHelp;

}  // namespace simrunner
