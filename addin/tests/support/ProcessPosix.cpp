// Process helpers for tests on POSIX: /proc/self/exe, setenv and posix_spawn.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "addin/tests/support/Process.h"

extern char** environ;

namespace testsupport {
namespace {

class PosixChild : public ChildProcess {
 public:
  explicit PosixChild(pid_t pid) : pid_(pid) {}
  ~PosixChild() override {
    if (!exitCode_) {
      ::kill(pid_, SIGKILL);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }
  std::optional<int> wait(std::chrono::milliseconds limit) override {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!exitCode_) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      if (std::chrono::steady_clock::now() >= deadline) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exitCode_;
  }

 private:
  pid_t pid_;
  std::optional<int> exitCode_;
};

}  // namespace

std::filesystem::path selfExecutablePath() {
  return std::filesystem::read_symlink("/proc/self/exe");
}

void setEnvironmentVariable(const std::string& name,
                            const std::optional<std::filesystem::path>& value) {
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
}

std::unique_ptr<ChildProcess> startChild(const std::filesystem::path& executable,
                                         const std::vector<std::string>& arguments) {
  std::vector<std::string> all{executable.string()};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, executable.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("posix_spawn failed for " + executable.string());
  }
  return std::make_unique<PosixChild>(pid);
}

}  // namespace testsupport
