// The scenario's hand on the dialogs.
#include "sim/runner/ScriptedDriver.h"

namespace simrunner {
namespace {

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string describeAction(const Action& action) {
  switch (action.kind) {
    case Action::Kind::Press:
      return "press " + action.block;
    case Action::Kind::Select:
      return "select " + action.block + " " +
             (action.index ? "#" + std::to_string(*action.index) : inQuotes(action.text));
    case Action::Kind::SetString:
      return "set_string " + action.block + " " + inQuotes(action.text);
    case Action::Kind::SetToggle:
      return "set_toggle " + action.block + (action.toggle ? " true" : " false");
    case Action::Kind::Apply:
      return "apply";
    case Action::Kind::Ok:
      return "ok";
    case Action::Kind::Cancel:
      return "cancel";
    case Action::Kind::Close:
      return "close";
    case Action::Kind::Expect:
      return "expect";
    case Action::Kind::WaitMs:
      return "wait " + std::to_string(action.milliseconds) + " ms";
    case Action::Kind::WaitUntil:
      return "wait until " + action.block + "." + action.property +
             (action.contains ? " contains " : " is ") + inQuotes(action.text);
  }
  return "?";
}

void ScriptedDriver::begin(const Invoke& invoke) {
  invoke_ = &invoke;
  nextScript_ = 0;
  showings_.clear();
}

void ScriptedDriver::finish(const Showing& showing) {
  if (showing.script == nullptr) return;
  if (showing.next < showing.script->actions.size()) {
    transcript_.fail("Dialog " + showing.script->file + " closed before the action \"" +
                     describeAction(showing.script->actions[showing.next]) + "\" (and " +
                     std::to_string(showing.script->actions.size() - showing.next - 1) +
                     " after it) ran");
  }
}

void ScriptedDriver::end() {
  for (const auto& entry : showings_) finish(entry.second);
  showings_.clear();
  if (invoke_ != nullptr) {
    for (size_t i = nextScript_; i < invoke_->dialogs.size(); ++i) {
      transcript_.fail("The scenario has actions for " + invoke_->dialogs[i].file +
                       ", but no such dialog was shown when they were due");
    }
  }
  invoke_ = nullptr;
}

void ScriptedDriver::start(nxsim::OpenDialog& dialog) {
  auto old = showings_.find(&dialog);
  if (old != showings_.end()) {
    finish(old->second);
    showings_.erase(old);
  }
  Showing& showing = showings_[&dialog];
  if (invoke_ != nullptr && nextScript_ < invoke_->dialogs.size() &&
      invoke_->dialogs[nextScript_].file == dialog.file()) {
    showing.script = &invoke_->dialogs[nextScript_++];
    return;
  }
  transcript_.add({{"event", "dialog_unscripted"}, {"file", dialog.file()}});
  dialog.postClose();
  showing.wait = Wait::Closing;
}

void ScriptedDriver::closeNow(nxsim::OpenDialog& dialog, Showing& showing, const std::string& why) {
  transcript_.add({{"event", "action"},
                   {"file", dialog.file()},
                   {"action", "close (" + why + ")"},
                   {"by", "brevin-sim"}});
  dialog.postClose();
  showing.wait = Wait::Closing;
}

void ScriptedDriver::drive(nxsim::OpenDialog& dialog) {
  if (tracker_.see(dialog)) start(dialog);
  Showing& showing = showings_[&dialog];
  const auto now = Clock::now();
  switch (showing.wait) {
    case Wait::Closing:
      return;
    case Wait::Time:
      if (now < showing.until) return;
      showing.wait = Wait::None;
      break;
    case Wait::Condition: {
      const Action& a = *showing.condition;
      std::string actual;
      try {
        actual = dialog.getString(a.block, a.property);
      } catch (const std::exception&) {
      }
      const bool holds = a.contains ? actual.find(a.text) != std::string::npos : actual == a.text;
      if (holds) {
        transcript_.add({{"event", "expectation"},
                         {"file", dialog.file()},
                         {"what", a.block + "." + a.property + " is " + inQuotes(actual)}});
        showing.wait = Wait::None;
        break;
      }
      if (now < showing.until) return;
      transcript_.fail("Dialog " + dialog.file() + ": " + a.block + "." + a.property +
                       " was still " + inQuotes(actual) + " after " +
                       std::to_string(a.milliseconds) + " ms (" + describeAction(a) + ")");
      showing.next = showing.script->actions.size();
      closeNow(dialog, showing, "the scenario gave up waiting");
      return;
    }
    case Wait::Settle:
      if (now < showing.until) return;
      closeNow(dialog, showing, "the scenario's actions are done");
      return;
    case Wait::None:
      break;
  }
  advance(dialog, showing);
}

void ScriptedDriver::advance(nxsim::OpenDialog& dialog, Showing& showing) {
  const auto& actions = showing.script->actions;
  while (showing.next < actions.size()) {
    const Action& action = actions[showing.next++];
    if (action.kind == Action::Kind::Expect) {
      for (const auto& e : action.expectations) {
        const std::string problem = checkExpectation(dialog, e);
        if (problem.empty()) {
          transcript_.add({{"event", "expectation"},
                           {"file", dialog.file()},
                           {"what", e.block + "." + e.property + " is " + e.value.dump()}});
        } else {
          transcript_.fail("Dialog " + problem);
        }
      }
      continue;
    }
    transcript_.add({{"event", "action"},
                     {"file", dialog.file()},
                     {"action", describeAction(action)},
                     {"source", action.source}});
    if (action.kind == Action::Kind::WaitMs) {
      showing.wait = Wait::Time;
      showing.until = Clock::now() + std::chrono::milliseconds(action.milliseconds);
      return;
    }
    if (action.kind == Action::Kind::WaitUntil) {
      showing.wait = Wait::Condition;
      showing.condition = &action;
      showing.until = Clock::now() + std::chrono::milliseconds(action.milliseconds);
      return;
    }
    if (!perform(dialog, action)) {
      showing.next = actions.size();
      if (dialog.isOpen()) closeNow(dialog, showing, "an action failed");
      return;
    }
    if (action.kind == Action::Kind::Close || action.kind == Action::Kind::Cancel) {
      showing.wait = Wait::Closing;
    }
    return;  // one user action per turn
  }
  if (showing.wait == Wait::Closing) return;
  if (showing.script->settleMs < 0) {
    showing.wait = Wait::Closing;  // left to the dialog and NX's time-out
    return;
  }
  showing.wait = Wait::Settle;
  showing.until = Clock::now() + std::chrono::milliseconds(showing.script->settleMs);
}

bool ScriptedDriver::perform(nxsim::OpenDialog& dialog, const Action& action) {
  try {
    switch (action.kind) {
      case Action::Kind::Press:
        dialog.press(action.block);
        break;
      case Action::Kind::Select:
        if (action.index) {
          dialog.selectEnum(action.block, *action.index);
        } else {
          dialog.selectEnum(action.block, action.text);
        }
        break;
      case Action::Kind::SetString:
        dialog.setString(action.block, action.text);
        break;
      case Action::Kind::SetToggle:
        dialog.setToggle(action.block, action.toggle);
        break;
      case Action::Kind::Apply:
        dialog.apply();
        break;
      case Action::Kind::Ok:
        dialog.ok();
        break;
      case Action::Kind::Cancel:
        dialog.cancel();
        break;
      case Action::Kind::Close:
        dialog.postClose();
        break;
      default:
        break;
    }
  } catch (const std::exception& e) {
    transcript_.fail("Dialog " + dialog.file() + ": " + describeAction(action) +
                     " failed: " + e.what());
    return false;
  }
  return true;
}

}  // namespace simrunner
