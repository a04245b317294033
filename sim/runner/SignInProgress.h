// Where the add-in's latest sign-in attempt stands, read from the Torvane stand-in's journal.
// A journal line is written when its call returns and carries the time the call started, so
// the attempt is the latest successful authorize call, its completion is the first completion
// call that started after it, and its profile fetch the first one after that completion.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace simrunner {

struct SignInProgress {
  enum class State {
    NoAttempt,  // no authorize call succeeded
    Waiting,    // the attempt's completion or profile fetch has not returned yet
    SignedIn,   // tokens and profile arrived
    Failed,     // the completion or the profile fetch returned an error
  };
  State state = State::NoAttempt;
  std::string error;  // for Failed: the call and its error text
};

SignInProgress signInProgress(const std::vector<nlohmann::json>& journal);

// A journal time ("2026-12-08T04:05:34.1234Z") as text that sorts in time order.
std::string sortableTime(const std::string& time);

}  // namespace simrunner
