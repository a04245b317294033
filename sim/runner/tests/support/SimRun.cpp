// Running brevin-sim from tests.
#include "sim/runner/tests/support/SimRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "sim/runner/ChildProcess.h"
#include "sim/runner/JsonLinesFile.h"
#include "sim/runner/RunnerPlatform.h"

namespace simrunner::testing {
namespace fs = std::filesystem;

std::string readText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

const char* const kBrowserOpenedText =
    "A browser window has been opened for Synquo sign-in. Complete authentication, then click the "
    "button again to open the dialog.";

nlohmann::json dialog(const std::string& file, nlohmann::json actions) {
  return {{"file", file}, {"actions", std::move(actions)}};
}

nlohmann::json invokeStep(nlohmann::json dialogs, nlohmann::json extra) {
  extra["dialogs"] = std::move(dialogs);
  return {{"invoke", std::move(extra)}};
}

nlohmann::json pressSignIn(nlohmann::json extra) {
  return invokeStep({dialog("start.dlx", {{{"press", "signInButton"}}})}, std::move(extra));
}

nlohmann::json waitForSignIn(const std::string& expect) {
  return {{"wait_for_sign_in", {{"timeout_ms", 15000}, {"expect", expect}}}};
}

nlohmann::json closeMainDialog() {
  return invokeStep({dialog("synquoGui.dlx", {{{"close", true}}})});
}

fs::path builtProgram(const std::string& stem) {
  return executablePath().parent_path() / executableFileName(stem);
}

std::vector<nlohmann::json> SimRun::events(const std::string& kind) const {
  std::vector<nlohmann::json> out;
  if (!transcript.is_object()) return out;
  for (const auto& e : transcript.at("events")) {
    if (e.value("event", "") == kind) out.push_back(e);
  }
  return out;
}

std::vector<nlohmann::json> SimRun::eventsIn(int invocation, const std::string& kind) const {
  std::vector<nlohmann::json> out;
  if (!transcript.is_object()) return out;
  int current = 0;
  for (const auto& e : transcript.at("events")) {
    const std::string k = e.value("event", "");
    if (k == "invocation") current = e.value("index", 0);
    if (k == "invocation_end") {
      if (current == invocation && kind == k) out.push_back(e);
      current = 0;
      continue;
    }
    if (current == invocation && k == kind) out.push_back(e);
  }
  return out;
}

fs::path SimRun::path(const char* key) const {
  if (!transcript.is_object() || !transcript.contains(key)) return fs::path();
  return fs::u8path(transcript.at(key).get<std::string>());
}

std::vector<nlohmann::json> SimRun::torvaneCalls(const std::string& function) const {
  JsonLinesFile journal(path("torvane_journal"));
  std::vector<nlohmann::json> out;
  for (const auto& line : journal.readNew()) {
    if (function.empty() || (line.is_object() && line.value("fn", "") == function)) {
      out.push_back(line);
    }
  }
  return out;
}

nlohmann::json SimRun::torvaneStore() const {
  return nlohmann::json::parse(readText(path("torvane_home") / "state.json"));
}

std::string SimRun::logText() const { return readText(path("log_file")); }

std::string SimRun::failures() const {
  std::string text = "exit code " + std::to_string(exitCode) + "\n";
  if (transcript.is_object()) {
    for (const auto& f : transcript.at("failures")) text += "  " + f.get<std::string>() + "\n";
  }
  return text + "--- output:\n" + output + "--- errors:\n" + errors;
}

SimWorkspace::SimWorkspace() : directory_(makeTemporaryDirectory("brevin-sim-test-")) {}

SimWorkspace::~SimWorkspace() {
  std::error_code error;
  for (const auto& stage : stages_) fs::remove_all(stage, error);
  fs::remove_all(directory_, error);
}

SimRun SimWorkspace::run(nlohmann::json scenario, const std::vector<std::string>& extraArguments,
                         const std::string& input) {
  const std::string tag = std::to_string(++runs_);
  if (!scenario.contains("torvane")) scenario["torvane"] = nlohmann::json::object();
  if (!scenario["torvane"].contains("home")) {
    scenario["torvane"]["home"] = (directory_ / "torvane-home").u8string();
  }
  const fs::path scenarioFile = directory_ / ("scenario-" + tag + ".json");
  const fs::path jsonFile = directory_ / ("transcript-" + tag + ".json");
  const fs::path outFile = directory_ / ("output-" + tag + ".txt");
  const fs::path errFile = directory_ / ("errors-" + tag + ".txt");
  {
    std::ofstream out(scenarioFile, std::ios::binary);
    out << scenario.dump(2);
  }
  std::vector<std::string> arguments = {"--keep", "--json", jsonFile.u8string()};
  arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
  arguments.push_back(scenarioFile.u8string());
  ChildOptions options;
  options.stdinFile = directory_ / ("input-" + tag + ".txt");
  std::ofstream(options.stdinFile, std::ios::binary) << input;
  options.stdoutFile = outFile;
  options.stderrFile = errFile;
  options.timeout = std::chrono::seconds(90);
  const ChildResult child = runChild(builtProgram("brevin-sim"), arguments, options);

  SimRun run;
  run.exitCode = child.started && !child.timedOut && !child.crashed ? child.exitCode : -1;
  run.output = readText(outFile);
  run.errors = readText(errFile) + child.error;
  // brevin-sim's children (the scenario's run, sim-browser) write here; a sanitizer report
  // in any of them fails the test even when the exit code that reached brevin-sim was expected.
  for (const char* sanitizer : {"Address", "Leak", "UndefinedBehavior", "Thread"}) {
    if (run.errors.find(std::string("SUMMARY: ") + sanitizer + "Sanitizer") != std::string::npos) {
      ADD_FAILURE() << "a sanitizer reported in brevin-sim or a child of it:\n" << run.errors;
      break;
    }
  }
  if (fs::exists(jsonFile)) {
    run.transcript = nlohmann::json::parse(readText(jsonFile), nullptr, false);
    if (run.transcript.is_discarded()) run.transcript = nullptr;
  }
  if (run.transcript.is_object()) {
    stages_.push_back(run.path("stage_dir"));
  } else {
    const std::string marker = "Stage kept: ";
    const size_t at = run.output.find(marker);
    if (at != std::string::npos) {
      const size_t end = run.output.find_first_of("\r\n", at);
      stages_.push_back(
          fs::u8path(run.output.substr(at + marker.size(), end - at - marker.size())));
    }
  }
  return run;
}

std::vector<SimRun> SimBatch::run(const std::vector<nlohmann::json>& scenarios) {
  const size_t first = workspaces_.size();
  for (size_t i = 0; i < scenarios.size(); ++i) {
    workspaces_.push_back(std::make_unique<SimWorkspace>());
  }
  std::vector<SimRun> runs(scenarios.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < scenarios.size(); i = next++) {
      runs[i] = workspaces_[first + i]->run(scenarios[i]);
    }
  };
  // Four at once keep two shared cores busy without starving the add-in's timers.
  std::vector<std::thread> workers;
  for (size_t i = 0; i < std::min<size_t>(4, scenarios.size()); ++i) workers.emplace_back(work);
  for (auto& worker : workers) worker.join();
  return runs;
}

}  // namespace simrunner::testing
