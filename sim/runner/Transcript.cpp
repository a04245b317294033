// Printing and keeping the events of a run.
#include "sim/runner/Transcript.h"

namespace simrunner {
namespace {

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

// Labels without text (or only spaces, which pad a row) and without a bitmap: layout only.
bool spacer(const nlohmann::json& block) {
  if (!block.contains("type") || block.at("type") != "Label" || block.contains("bitmap")) {
    return false;
  }
  const std::string label = block.value("label", "");
  return label.find_first_not_of(' ') == std::string::npos;
}

std::string textOf(const nlohmann::json& event, const char* key) {
  if (!event.contains(key)) return std::string();
  const nlohmann::json& v = event.at(key);
  return v.is_string() ? v.get<std::string>() : v.dump();
}

}  // namespace

std::string describeBlock(const nlohmann::json& block) {
  std::string line = textOf(block, "id") + " [" + textOf(block, "type") + "]";
  const std::string label = textOf(block, "label");
  if (!label.empty()) line += " " + inQuotes(label);
  if (block.contains("members")) {
    line += " members:";
    int index = 0;
    for (const auto& m : block.at("members")) {
      line +=
          (index == 0 ? " " : ", ") + std::to_string(index) + "=" + inQuotes(m.get<std::string>());
      ++index;
    }
    if (index == 0) line += " (none)";
  }
  if (block.contains("value")) line += " value=" + block.at("value").dump();
  if (block.contains("bitmap")) line += " bitmap=" + textOf(block, "bitmap");
  if (block.value("shown", true) == false) line += " (hidden)";
  if (block.value("enabled", true) == false) line += " (disabled)";
  return line;
}

void Transcript::add(nlohmann::json event) {
  print(event);
  events_.push_back(std::move(event));
}

void Transcript::fail(const std::string& message) {
  failures_.push_back(message);
  add({{"event", "failure"}, {"message", message}});
}

void Transcript::note(const std::string& text) {
  std::fprintf(out_, "%s\n", text.c_str());
  std::fflush(out_);
}

void Transcript::print(const nlohmann::json& event) {
  const std::string kind = textOf(event, "event");
  std::string text;
  if (kind == "invocation") {
    invocation_ = event.value("index", 0);
    text = "\n== Invocation " + std::to_string(invocation_) + ": ufusr ==";
  } else if (kind == "invocation_end") {
    text = "== ufusr returned ==";
  } else if (kind == "dialog_shown") {
    text = "  Dialog " + textOf(event, "file") + " is shown";
    if (event.contains("title")) text += ", title " + inQuotes(textOf(event, "title"));
    // Empty labels are spacers and placeholders: counted, not listed (the JSON has them all).
    int empty = 0;
    for (const auto& b : event.at("blocks")) {
      if (spacer(b)) {
        ++empty;
        continue;
      }
      text += "\n      " + describeBlock(b);
    }
    if (empty > 0) text += "\n      (and " + std::to_string(empty) + " empty label(s))";
  } else if (kind == "dialog_changed") {
    text = "    " + textOf(event, "file") + " now shows:";
    int shown = 0;
    for (const auto& b : event.at("blocks")) {
      if (spacer(b)) continue;
      text += "\n      " + describeBlock(b);
      ++shown;
    }
    if (shown == 0) return;  // only the layout moved
  } else if (kind == "action") {
    text = "    > " + textOf(event, "action");
    if (event.contains("result"))
      text += "  (update handler returned " + textOf(event, "result") + ")";
    if (event.contains("error")) text += "  failed: " + textOf(event, "error");
  } else if (kind == "expectation") {
    text = "    ok: " + textOf(event, "what");
  } else if (kind == "message_box") {
    text = "    Message box [" + textOf(event, "type") + "] " + inQuotes(textOf(event, "title")) +
           ": " + textOf(event, "text");
    if (event.contains("answer") && event.at("answer") != 1)
      text += "  (answered " + textOf(event, "answer") + ")";
  } else if (kind == "dialog_unscripted") {
    text = "    (the scenario has no action for " + textOf(event, "file") + ": closing it)";
  } else if (kind == "dialog_closed") {
    text = "  Dialog " + textOf(event, "file") + " closed by " + textOf(event, "closed_by");
  } else if (kind == "url") {
    text = "  Browser opened " + textOf(event, "url");
    if (event.value("followed", false)) {
      text += event.contains("status") ? "  (loaded, HTTP " + textOf(event, "status") + ")"
                                       : "  (could not load: " + textOf(event, "error") + ")";
    } else {
      text += "  (not on this machine: only recorded)";
    }
  } else if (kind == "failure") {
    text = "!! FAILED: " + textOf(event, "message");
  } else if (kind == "sign_in") {
    text =
        "-- sign-in " + textOf(event, "outcome") + " after " + textOf(event, "elapsed_ms") + " ms";
    if (event.contains("error")) text += ": " + textOf(event, "error");
  } else if (kind == "step") {
    text = "-- " + textOf(event, "step");
    if (event.contains("detail")) text += " " + textOf(event, "detail");
  } else if (kind == "prepared_upload") {
    text = "-- prepare_upload: file name " + inQuotes(textOf(event, "file_name")) +
           ", upload name " + inQuotes(textOf(event, "upload_name")) + ", source file id " +
           inQuotes(textOf(event, "source_file_id")) +
           (event.value("is_assembly", false) ? " (assembly)" : "");
    text += "\n     session directory: " + textOf(event, "session_directory");
    text += "\n     exported: " + textOf(event, "exported");
    for (const auto& f : event.at("files")) {
      const std::string path = textOf(f, "path");
      text += "\n     file: " + (path.empty() ? std::string("(no local file)") : path) + "  name " +
              inQuotes(textOf(f, "name")) + "  source file id " +
              inQuotes(textOf(f, "source_file_id"));
    }
    if (!textOf(event, "error").empty()) text += "\n     error: " + textOf(event, "error");
    for (const auto& p : event.at("parts")) {
      text += "\n     part " + textOf(p, "part") + ": SYNQUO_ID in file " +
              textOf(p, "synquo_id_saved") + ", in session " + textOf(p, "synquo_id") + ", saves " +
              textOf(p, "saves");
    }
    for (const auto& c : event.at("nx_calls")) text += "\n     NX " + c.get<std::string>();
  } else if (kind == "nx_violation") {
    text = "!! NX violation: " + textOf(event, "text");
  } else {
    text = "-- " + event.dump();
  }
  std::fprintf(out_, "%s\n", text.c_str());
  std::fflush(out_);
}

}  // namespace simrunner
