// brevin-sim's operating-system needs on Linux.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "sim/runner/RunnerPlatform.h"

namespace simrunner {

void setEnvironment(const std::string& name, const std::string& value) {
  if (::setenv(name.c_str(), value.c_str(), 1) != 0) {
    throw std::runtime_error("Cannot set the environment variable " + name);
  }
}

void unsetEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }

std::string environment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? std::string(value) : std::string();
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void endWithParent() {
  const pid_t parent = getppid();
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) raise(SIGKILL);  // it ended before the request took hold
}

bool hasRunningChildren() {
  // No /proc/PID/task/TID/children on every kernel: look for processes whose parent is this
  // one, leaving out those that ended and wait to be reaped.
  const std::string self = std::to_string(::getpid());
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "stat");
    std::string stat;
    std::getline(in, stat);
    const size_t commandEnd = stat.rfind(')');
    if (commandEnd == std::string::npos) continue;
    char state = 0;
    std::string parent;
    std::istringstream fields(stat.substr(commandEnd + 1));
    fields >> state >> parent;
    if (parent == self && state != 'Z' && state != 'X') return true;
  }
  return false;
}

std::filesystem::path executablePath() { return std::filesystem::read_symlink("/proc/self/exe"); }

std::filesystem::path makeTemporaryDirectory(const std::string& prefix) {
  const std::string pattern =
      (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  std::string buffer = pattern;
  if (::mkdtemp(buffer.data()) == nullptr) {
    throw std::runtime_error("Cannot create a temporary directory " + pattern + ": " +
                             std::strerror(errno));
  }
  return buffer;
}

bool isWindows() { return false; }
std::string addinFileName() { return "libbrevin.so"; }
std::string executableFileName(const std::string& stem) { return stem; }

void installBrowser(const std::filesystem::path& simBrowser) {
  setEnvironment("BROWSER", simBrowser.string());
}

}  // namespace simrunner
