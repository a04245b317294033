// The transcript of a run: every event as it happens, printed for a person and kept as JSON
// for tests, together with the failures that make the run fail.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace simrunner {

class Transcript {
 public:
  explicit Transcript(std::FILE* out) : out_(out) {}

  // Records the event (an object with at least "event") and prints it readably.
  void add(nlohmann::json event);
  // A failed expectation or step: recorded as a "failure" event, and the run fails.
  void fail(const std::string& message);
  // Adds a member to the last event without printing it again.
  void amendLast(const std::string& key, nlohmann::json value) {
    events_.back()[key] = std::move(value);
  }
  // A line for the reader only (not in the JSON).
  void note(const std::string& text);

  bool failed() const { return !failures_.empty(); }
  const std::vector<std::string>& failures() const { return failures_; }
  const nlohmann::json& events() const { return events_; }

 private:
  void print(const nlohmann::json& event);

  std::FILE* out_;
  nlohmann::json events_ = nlohmann::json::array();
  std::vector<std::string> failures_;
  int invocation_ = 0;
};

// How a block is shown in the transcript: {"id", "type", "label", "value"?, "members"?,
// "shown", "enabled"}.
std::string describeBlock(const nlohmann::json& block);

}  // namespace simrunner
