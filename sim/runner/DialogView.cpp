// Snapshots of dialogs and the record of their showings.
#include "sim/runner/DialogView.h"

namespace simrunner {
namespace {

bool listOfTexts(const nlohmann::json& v) {
  if (!v.is_array()) return false;
  for (const auto& e : v) {
    if (!e.is_string()) return false;
  }
  return true;
}

}  // namespace

nlohmann::json snapshotBlocks(const nxsim::OpenDialog& dialog) {
  nlohmann::json blocks = nlohmann::json::array();
  for (const auto& id : dialog.blockIds()) {
    const std::string type = dialog.blockType(id);
    nlohmann::json block = {{"id", id},
                            {"type", type},
                            {"label", dialog.getString(id, "Label")},
                            {"shown", dialog.getLogical(id, "Show")},
                            {"enabled", dialog.getLogical(id, "Enable")}};
    if (type == "Enumeration") {
      block["members"] = dialog.enumMembers(id);
      block["value"] = dialog.getInteger(id, "Value");
      block["selected"] = dialog.enumValue(id);
    } else if (type == "String") {
      block["value"] = dialog.getString(id, "Value");
    } else if (type == "Toggle") {
      block["value"] = dialog.getLogical(id, "Value");
    }
    if (type == "Label" || type == "Button") {
      const std::string bitmap = dialog.getString(id, "Bitmap");
      if (!bitmap.empty()) block["bitmap"] = bitmap;
    }
    blocks.push_back(std::move(block));
  }
  return blocks;
}

std::string checkExpectation(const nxsim::OpenDialog& dialog, const BlockExpectation& expected) {
  const std::string where = dialog.file() + " " + expected.block + "." + expected.property;
  if (!dialog.hasBlock(expected.block)) return where + ": the dialog has no such block";
  try {
    nlohmann::json actual;
    const nlohmann::json& want = expected.value;
    if (expected.property == "EnumMembers" || listOfTexts(want)) {
      actual = dialog.enumMembers(expected.block);
    } else if (want.is_boolean()) {
      actual = dialog.getLogical(expected.block, expected.property);
    } else if (want.is_number_integer()) {
      actual = dialog.getInteger(expected.block, expected.property);
    } else if (expected.property == "Value" && dialog.blockType(expected.block) == "Enumeration") {
      actual = dialog.enumValue(expected.block);
    } else {
      actual = dialog.getString(expected.block, expected.property);
    }
    if (actual != want) return where + " is " + actual.dump() + ", expected " + want.dump();
  } catch (const std::exception& e) {
    return where + ": " + e.what();
  }
  return std::string();
}

bool DialogTracker::see(const nxsim::OpenDialog& dialog) {
  const int ticks = dialog.ticks();
  auto found = lastTicks_.find(&dialog);
  const bool fresh = found == lastTicks_.end() || ticks <= found->second;
  lastTicks_[&dialog] = ticks;
  if (!fresh) {
    reportChanges(dialog);
    return false;
  }
  sync();
  // The showing is the newest open record of its file.
  const auto history = nxsim::dialogHistory();
  for (size_t i = history.size(); i-- > 0;) {
    if (history[i].file == dialog.file() && history[i].closedBy.empty()) {
      if (announced_.size() < history.size()) announced_.resize(history.size(), false);
      announced_[i] = true;
      break;
    }
  }
  nlohmann::json event = {{"event", "dialog_shown"}, {"file", dialog.file()}};
  try {
    event["blocks"] = snapshotBlocks(dialog);
  } catch (const std::exception& e) {
    event["blocks"] = nlohmann::json::array();
    event["error"] = e.what();
  }
  lastBlocks_[&dialog] = event["blocks"];
  transcript_.add(std::move(event));
  return true;
}

void DialogTracker::reportChanges(const nxsim::OpenDialog& dialog) {
  nlohmann::json now;
  try {
    now = snapshotBlocks(dialog);
  } catch (const std::exception&) {
    return;  // closing: nothing more to see
  }
  nlohmann::json& before = lastBlocks_[&dialog];
  nlohmann::json changed = nlohmann::json::array();
  for (size_t i = 0; i < now.size(); ++i) {
    if (i >= before.size() || before[i] != now[i]) changed.push_back(now[i]);
  }
  before = std::move(now);
  if (changed.empty()) return;
  transcript_.add({{"event", "dialog_changed"}, {"file", dialog.file()}, {"blocks", changed}});
}

void DialogTracker::sync() {
  const auto history = nxsim::dialogHistory();
  if (announced_.size() < history.size()) announced_.resize(history.size(), false);
  if (closeReported_.size() < history.size()) closeReported_.resize(history.size(), false);
  for (size_t i = 0; i < history.size(); ++i) {
    if (history[i].closedBy.empty() || closeReported_[i]) continue;
    if (!announced_[i]) {
      transcript_.add({{"event", "dialog_shown"},
                       {"file", history[i].file},
                       {"blocks", nlohmann::json::array()},
                       {"note", "closed before it was looked at"}});
      announced_[i] = true;
    }
    transcript_.add({{"event", "dialog_closed"},
                     {"file", history[i].file},
                     {"closed_by", history[i].closedBy},
                     {"events", history[i].events}});
    closeReported_[i] = true;
  }
}

std::vector<std::string> DialogTracker::filesSince(size_t position) const {
  std::vector<std::string> files;
  const auto history = nxsim::dialogHistory();
  for (size_t i = position; i < history.size(); ++i) files.push_back(history[i].file);
  return files;
}

}  // namespace simrunner
