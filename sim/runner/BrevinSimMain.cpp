// brevin-sim: stands in for NX. It loads the add-in from a stage directory, plays a scenario
// against it (dialogs, message boxes, the browser, the Torvane stand-in) and prints what
// happened. Each run happens in a child process, so that the stage can be removed once the
// add-in and the Torvane library are no longer loaded.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/runner/ChildProcess.h"
#include "sim/runner/Runner.h"
#include "sim/runner/RunnerPlatform.h"
#include "sim/runner/Scenario.h"

namespace {

namespace fs = std::filesystem;
using namespace simrunner;

const char* const kUsage =
    "usage: brevin-sim [--addin PATH | --nx-custom-dir DIR] [--json OUT.json] [--keep]\n"
    "                  [--interactive] SCENARIO.json\n"
    "  --addin PATH     the add-in module to load (default: the one beside brevin-sim)\n"
    "  --nx-custom-dir DIR  press the button that DIR's menu or ribbon file adds: load the\n"
    "                   library it runs where it lies, with DIR's dialog files\n"
    "  --json OUT.json  also write the transcript as JSON\n"
    "  --keep           keep the stage directory (add-in copy, properties, journals, log)\n"
    "  --interactive    answer the dialogs at the terminal instead of the scenario\n";

// The option that makes a brevin-sim process the one that runs the scenario in the stage.
const char* const kRunIn = "--run-in-stage";

int usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "brevin-sim: %s\n", problem.c_str());
  std::fputs(kUsage, stderr);
  return kExitBadScenario;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = commandLineArguments(argc, argv);
  RunOptions options;
  bool keep = false;
  bool scenarioGiven = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    auto value = [&](fs::path& target) {
      if (i + 1 >= arguments.size()) return false;
      target = fs::absolute(fs::u8path(arguments[++i]));
      return true;
    };
    if (a == "--addin") {
      if (!value(options.addin)) return usage("--addin needs a path");
    } else if (a == "--nx-custom-dir") {
      if (!value(options.customDirectory)) return usage("--nx-custom-dir needs a directory");
    } else if (a == "--json") {
      if (!value(options.json)) return usage("--json needs a path");
    } else if (a == kRunIn) {
      if (!value(options.stageDir)) return usage(std::string(kRunIn) + " needs a directory");
    } else if (a == "--keep") {
      keep = true;
    } else if (a == "--interactive") {
      options.interactive = true;
    } else if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      return usage("unknown option " + a);
    } else if (scenarioGiven) {
      return usage("only one scenario file may be given");
    } else {
      options.scenario = fs::absolute(fs::u8path(a));
      scenarioGiven = true;
    }
  }
  if (!scenarioGiven) return usage("no scenario file given");
  if (!options.addin.empty() && !options.customDirectory.empty())
    return usage("--addin and --nx-custom-dir exclude each other");

  if (!options.stageDir.empty()) {
    endWithParent();
    return runScenario(options);
  }

  try {
    loadScenario(options.scenario);
  } catch (const ScenarioError& e) {
    std::fprintf(stderr, "brevin-sim: %s\n", e.what());
    return kExitBadScenario;
  }
  fs::path stage;
  try {
    stage = makeTemporaryDirectory("brevin-sim-");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brevin-sim: %s\n", e.what());
    return kExitSetupFailed;
  }
  std::printf("Stage: %s\n", stage.u8string().c_str());
  std::fflush(stdout);

  std::vector<std::string> childArguments = {kRunIn, stage.u8string()};
  if (!options.addin.empty())
    childArguments.insert(childArguments.end(), {"--addin", options.addin.u8string()});
  if (!options.customDirectory.empty()) {
    childArguments.insert(childArguments.end(),
                          {"--nx-custom-dir", options.customDirectory.u8string()});
  }
  if (!options.json.empty())
    childArguments.insert(childArguments.end(), {"--json", options.json.u8string()});
  if (options.interactive) childArguments.push_back("--interactive");
  childArguments.push_back(options.scenario.u8string());
  const ChildResult child = runChild(executablePath(), childArguments);

  int exitCode = child.exitCode;
  if (!child.started) {
    std::fprintf(stderr, "brevin-sim: %s\n", child.error.c_str());
    exitCode = kExitSetupFailed;
  } else if (child.crashed) {
    std::fprintf(stderr, "brevin-sim: the run ended abnormally: %s\n", child.error.c_str());
    exitCode = kExitCrashed;
  }
  if (keep) {
    std::printf("Stage kept: %s\n", stage.u8string().c_str());
  } else {
    std::error_code error;
    fs::remove_all(stage, error);
    if (error) {
      std::fprintf(stderr, "brevin-sim: could not remove the stage %s: %s\n",
                   stage.u8string().c_str(), error.message().c_str());
    } else {
      std::printf("Stage removed: %s\n", stage.u8string().c_str());
    }
  }
  return exitCode;
}
