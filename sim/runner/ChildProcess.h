// Running another program and waiting for it: brevin-sim runs each scenario in a child of
// its own (so that the stage can be removed once the add-in is no longer loaded), and the
// end-to-end tests run brevin-sim.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace simrunner {

struct ChildOptions {
  // Empty: the child reads this process's stdin.
  std::filesystem::path stdinFile;
  // Empty: the child writes to this process's stdout / stderr.
  std::filesystem::path stdoutFile;
  std::filesystem::path stderrFile;
  // Zero: wait as long as it takes. Otherwise the child is killed after this long.
  std::chrono::milliseconds timeout{0};
};

struct ChildResult {
  bool started = false;
  bool timedOut = false;
  bool crashed = false;  // ended by a signal (POSIX) or an exception code (Windows)
  int exitCode = -1;
  std::string error;  // why it did not start, or how it ended abnormally
};

ChildResult runChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, const ChildOptions& options = {});

}  // namespace simrunner
