// One run of a scenario inside this process: the stage is filled, the environment and the
// simulated NX session are set up, the add-in is loaded from the stage and its entry points
// are called as the steps say, and the transcript is written.
#pragma once

#include <filesystem>
#include <optional>

#include "sim/runner/Scenario.h"

namespace simrunner {

struct RunOptions {
  std::filesystem::path scenario;
  std::filesystem::path addin;  // empty: the add-in beside brevin-sim
  // Not empty: the add-in is the library that this NX custom directory's button runs, loaded
  // where it lies, with the dialog files of the directory's application folder.
  std::filesystem::path customDirectory;
  std::filesystem::path json;      // empty: no JSON transcript
  std::filesystem::path stageDir;  // an existing, empty directory
  bool interactive = false;
};

// Exit codes of brevin-sim.
constexpr int kExitPassed = 0;
constexpr int kExitFailed = 1;       // an expectation or step failed
constexpr int kExitBadScenario = 2;  // usage or scenario file errors
constexpr int kExitSetupFailed = 3;  // stage, environment or add-in loading failed
constexpr int kExitCrashed = 4;      // the run ended abnormally

int runScenario(const RunOptions& options);

}  // namespace simrunner
