// Running a child program with posix_spawn.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "sim/runner/ChildProcess.h"

extern char** environ;

namespace simrunner {

ChildResult runChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, const ChildOptions& options) {
  ChildResult result;
  std::vector<std::string> texts;
  texts.push_back(program.string());
  texts.insert(texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& t : texts) argv.push_back(t.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const int flags = O_WRONLY | O_CREAT | O_TRUNC;
  if (!options.stdinFile.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, options.stdinFile.c_str(), O_RDONLY,
                                     0);
  }
  if (!options.stdoutFile.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, options.stdoutFile.c_str(), flags,
                                     0644);
  }
  if (!options.stderrFile.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, options.stderrFile.c_str(), flags,
                                     0644);
  }
  pid_t pid = 0;
  const int status = posix_spawn(&pid, texts[0].c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (status != 0) {
    result.error = "Cannot start " + texts[0] + ": " + std::strerror(status);
    return result;
  }
  result.started = true;

  const auto deadline = std::chrono::steady_clock::now() + options.timeout;
  int waitStatus = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &waitStatus, options.timeout.count() > 0 ? WNOHANG : 0);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      result.error = std::string("waitpid failed: ") + std::strerror(errno);
      return result;
    }
    if (options.timeout.count() > 0 && std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &waitStatus, 0);
      result.timedOut = true;
      result.error =
          texts[0] + " did not finish in " + std::to_string(options.timeout.count()) + " ms";
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (WIFEXITED(waitStatus)) {
    result.exitCode = WEXITSTATUS(waitStatus);
  } else if (WIFSIGNALED(waitStatus)) {
    result.crashed = true;
    result.error = texts[0] + " was ended by signal " + std::to_string(WTERMSIG(waitStatus));
  }
  return result;
}

}  // namespace simrunner
