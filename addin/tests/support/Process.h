// Process helpers for tests: the test's own executable, its environment, and child
// processes that run the same executable.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// The file of the running executable.
std::filesystem::path selfExecutablePath();

// Sets (or, with no value, removes) a variable of this process's environment, the way a
// user's environment would hold it: children started afterwards inherit it.
void setEnvironmentVariable(const std::string& name,
                            const std::optional<std::filesystem::path>& value);

// A running child process. Destroying a child that still runs kills it.
class ChildProcess {
 public:
  virtual ~ChildProcess() = default;
  // Waits up to the limit; the exit code, or none when it still runs.
  virtual std::optional<int> wait(std::chrono::milliseconds limit) = 0;
};

// Starts the executable with the arguments; throws std::runtime_error when it cannot.
std::unique_ptr<ChildProcess> startChild(const std::filesystem::path& executable,
                                         const std::vector<std::string>& arguments);

}  // namespace testsupport
