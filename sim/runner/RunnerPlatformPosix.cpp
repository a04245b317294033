// brevin-sim's operating-system needs on Linux.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
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
