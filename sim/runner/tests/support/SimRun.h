// Running brevin-sim from a test: a scenario is written into a directory of the test's own,
// brevin-sim runs it in a child process (keeping its stage), and the JSON transcript, the
// Torvane journal and the log file are read back.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace simrunner::testing {

struct SimRun {
  int exitCode = -1;
  std::string output;         // what brevin-sim printed
  std::string errors;         // what it printed on stderr
  nlohmann::json transcript;  // the --json document; null when none was written

  // Events of the given kind ("dialog_shown", "message_box", "url", ...), in order.
  std::vector<nlohmann::json> events(const std::string& kind) const;
  // Events of the given kind within the numbered invocation (1-based).
  std::vector<nlohmann::json> eventsIn(int invocation, const std::string& kind) const;
  // The Torvane stand-in's journal lines, or those of one function.
  std::vector<nlohmann::json> torvaneCalls(const std::string& function = "") const;
  // What the Torvane stand-in's service keeps once the run has ended: its tokens and assets.
  nlohmann::json torvaneStore() const;
  std::string logText() const;
  std::filesystem::path path(const char* key) const;
  // The transcript's failures, one per line, for assertion messages.
  std::string failures() const;
};

// A directory of the test's own; removed with every stage kept in it.
class SimWorkspace {
 public:
  SimWorkspace();
  ~SimWorkspace();
  SimWorkspace(const SimWorkspace&) = delete;
  SimWorkspace& operator=(const SimWorkspace&) = delete;

  const std::filesystem::path& directory() const { return directory_; }
  // The scenario gets this workspace's Torvane home unless it names one.
  // input, when given, is what brevin-sim reads on its stdin.
  SimRun run(nlohmann::json scenario, const std::vector<std::string>& extraArguments = {},
             const std::string& input = "");

 private:
  std::filesystem::path directory_;
  std::vector<std::filesystem::path> stages_;
  int runs_ = 0;
};

// Runs scenarios a few at a time, each in a workspace of its own that lives as long as the
// batch: a run mostly waits (sign-in, the upload's pauses), so one after another is slow.
class SimBatch {
 public:
  std::vector<SimRun> run(const std::vector<nlohmann::json>& scenarios);

 private:
  std::vector<std::unique_ptr<SimWorkspace>> workspaces_;
};

std::string readText(const std::filesystem::path& file);

// Pieces of scenarios.
nlohmann::json dialog(const std::string& file, nlohmann::json actions = nlohmann::json::array());
nlohmann::json invokeStep(nlohmann::json dialogs, nlohmann::json extra = nlohmann::json::object());
nlohmann::json pressSignIn(nlohmann::json extra = nlohmann::json::object());
nlohmann::json waitForSignIn(const std::string& expect);
nlohmann::json closeMainDialog();

extern const char* const kBrowserOpenedText;

// The path of a program built beside the test (brevin-sim, sim-browser).
std::filesystem::path builtProgram(const std::string& stem);

}  // namespace simrunner::testing
