// Dialogs answered at the terminal.
#include "sim/runner/InteractiveDriver.h"

#include <cstdio>
#include <iostream>
#include <sstream>

namespace simrunner {

const char* const kInteractiveHelp =
    "Commands:\n"
    "  press ID              press a button\n"
    "  select ID N|TEXT      select an enumeration member by index or text\n"
    "  set ID TEXT           set a string block\n"
    "  toggle ID on|off      set a toggle\n"
    "  apply | ok | cancel   the dialog's own buttons\n"
    "  close                 close the dialog with its close box\n"
    "  show                  print the dialog's blocks again\n"
    "  wait MS               let the dialog run (timers) for MS milliseconds\n"
    "  quit                  close the dialog and stop after this invocation\n"
    "  help                  this text\n";

namespace {

std::string restOf(std::istringstream& words) {
  std::string rest;
  std::getline(words, rest);
  const size_t first = rest.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : rest.substr(first);
}

bool allDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool InteractiveDriver::readLine(const std::string& prompt, std::string& line) {
  std::fputs(prompt.c_str(), stdout);
  std::fflush(stdout);
  if (!std::getline(in_, line)) {
    quit_ = true;
    std::fputs("\n", stdout);
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void InteractiveDriver::drive(nxsim::OpenDialog& dialog) {
  if (tracker_.see(dialog)) {
    waits_.erase(&dialog);
    closing_[&dialog] = false;
    transcript_.note("    (type help for the commands)");
  }
  if (closing_[&dialog]) return;
  auto wait = waits_.find(&dialog);
  if (wait != waits_.end()) {
    if (std::chrono::steady_clock::now() < wait->second) return;
    waits_.erase(wait);
  }
  std::string line;
  for (;;) {
    if (!readLine(dialog.file() + "> ", line)) {
      closing_[&dialog] = true;
      dialog.postClose();
      return;
    }
    std::istringstream words(line);
    std::string command;
    std::string id;
    words >> command >> id;
    if (command.empty()) continue;
    const std::string rest = restOf(words);
    auto record = [&] {
      transcript_.add(
          {{"event", "action"}, {"file", dialog.file()}, {"action", line}, {"by", "person"}});
    };
    try {
      if (command == "help") {
        std::fputs(kInteractiveHelp, stdout);
        continue;
      }
      if (command == "show") {
        for (const auto& b : snapshotBlocks(dialog)) transcript_.note("      " + describeBlock(b));
        continue;
      }
      if (command == "press" && !id.empty()) {
        record();
        dialog.press(id);
      } else if (command == "select" && !id.empty() && !rest.empty()) {
        record();
        if (allDigits(rest)) {
          dialog.selectEnum(id, std::stoi(rest));
        } else {
          dialog.selectEnum(id, rest);
        }
      } else if (command == "set" && !id.empty()) {
        record();
        dialog.setString(id, rest);
      } else if (command == "toggle" && !id.empty() && !rest.empty()) {
        record();
        dialog.setToggle(id, rest == "on" || rest == "true" || rest == "1");
      } else if (command == "apply") {
        record();
        dialog.apply();
      } else if (command == "ok") {
        record();
        dialog.ok();
      } else if (command == "cancel") {
        record();
        closing_[&dialog] = true;
        dialog.cancel();
      } else if (command == "close" || command == "quit") {
        record();
        if (command == "quit") quit_ = true;
        closing_[&dialog] = true;
        dialog.postClose();
      } else if (command == "wait" && allDigits(id)) {
        waits_[&dialog] =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(std::stoi(id));
      } else {
        std::fputs("Not understood. Type help for the commands.\n", stdout);
        continue;
      }
    } catch (const std::exception& e) {
      std::printf("That did not work: %s\n", e.what());
      continue;
    }
    return;  // let the dialog's message loop run
  }
}

int InteractiveDriver::answer(const nxsim::MessageBoxRecord& box) {
  std::string line;
  const bool question = box.type == NXOpen::NXMessageBox::DialogTypeQuestion;
  if (!readLine(question ? "    Answer (Enter = 1): " : "    Press Enter to acknowledge. ", line)) {
    return 1;
  }
  return allDigits(line) ? std::stoi(line) : 1;
}

bool InteractiveDriver::askAnotherInvocation() {
  if (quit_) return false;
  std::string line;
  if (!readLine("\nInvoke the add-in again? (Enter = yes, quit = stop) ", line)) return false;
  if (line == "quit" || line == "q" || line == "no" || line == "n") {
    quit_ = true;
    return false;
  }
  return true;
}

}  // namespace simrunner
