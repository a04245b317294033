// The Go stand-in of Torvane for one test executable.
#include "addin/tests/support/TorvaneStandIn.h"

#include <sstream>

#include <vantel/TorvaneLibraryName.h>
#include "addin/tests/support/Process.h"

namespace testsupport {

TorvaneStandIn::TorvaneStandIn(const std::filesystem::path& addinDirectory, bool placeLibrary)
    : journal_(home_.path() / "journal.jsonl"), faults_(home_.path() / "faults.json") {
  if (placeLibrary) {
    const std::filesystem::path library =
        selfExecutablePath().parent_path() / vantel::kTorvaneLibraryFileName;
    std::filesystem::copy_file(library, addinDirectory / vantel::kTorvaneLibraryFileName,
                               std::filesystem::copy_options::overwrite_existing);
  }
  setEnvironmentVariable("TORVANE_SIM_HOME", home_.path() / "store");
  setEnvironmentVariable("TORVANE_SIM_JOURNAL", journal_);
  setEnvironmentVariable("TORVANE_SIM_FAULTS", faults_);
  setEnvironmentVariable("TORVANE_SIM_AUTH_TIMEOUT", std::filesystem::path("20"));
  setAutoApprove(true);
}

std::vector<nlohmann::json> TorvaneStandIn::calls(const std::string& function) const {
  std::vector<nlohmann::json> out;
  std::istringstream lines(readFile(journal_));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    nlohmann::json entry = nlohmann::json::parse(line);
    if (entry.at("fn") == function) out.push_back(entry);
  }
  return out;
}

std::vector<std::string> TorvaneStandIn::functions() const {
  std::vector<std::string> out;
  std::istringstream lines(readFile(journal_));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty()) out.push_back(nlohmann::json::parse(line).at("fn").get<std::string>());
  }
  return out;
}

nlohmann::json TorvaneStandIn::initializeRequest() const {
  const std::vector<nlohmann::json> initializes = calls("Initialize");
  if (initializes.empty()) return nlohmann::json();
  const nlohmann::json& options = initializes.front().at("args").at("options");
  return options.is_string() ? nlohmann::json::parse(options.get<std::string>()) : options;
}

void TorvaneStandIn::setFaults(const nlohmann::json& faults) const {
  writeFile(faults_, faults.dump());
}

void TorvaneStandIn::setAutoApprove(bool approve) {
  setEnvironmentVariable("TORVANE_SIM_AUTO_APPROVE", std::filesystem::path(approve ? "1" : "0"));
}

}  // namespace testsupport
