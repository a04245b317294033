// A simulated installation for tests.
#include "addin/tests/support/AddinEnvironment.h"

#include <algorithm>

#include "addin/logging/Log.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/tests/support/LogCapture.h"

namespace testsupport {

AddinEnvironment::AddinEnvironment() {
  platform_.setAddinModulePath(addin_.path() / "brevin.dll");
  platform_.setEnvironment("LOCALAPPDATA", local_.path());
}

AddinEnvironment::~AddinEnvironment() {
  removeProperties();
  synquo::loadSettings();
  logging::setLogDirectory({}, "");
  logging::applyLogLevel("", "INFO");
}

std::filesystem::path AddinEnvironment::propertiesFile() const {
  return addin_.path() / "synquo.properties";
}

std::filesystem::path AddinEnvironment::defaultLogDirectory() const {
  return local_.path() / "Synquo" / "NX" / "logs";
}

void AddinEnvironment::writeProperties(const std::string& bytes) {
  writeFile(propertiesFile(), bytes);
}

void AddinEnvironment::removeProperties() {
  std::error_code ignored;
  std::filesystem::remove(propertiesFile(), ignored);
}

std::vector<std::string> AddinEnvironment::logEntries(const std::filesystem::path& directory) {
  std::vector<std::string> out;
  for (const std::string& line : splitLines(readFile(directory / logging::kLogFileName))) {
    const size_t stampEnd = line.find("] ");
    out.push_back(stampEnd == std::string::npos ? line : line.substr(stampEnd + 2));
  }
  return out;
}

bool AddinEnvironment::logContains(const std::filesystem::path& directory,
                                   const std::string& entry) {
  const std::vector<std::string> all = logEntries(directory);
  return std::find(all.begin(), all.end(), entry) != all.end();
}

}  // namespace testsupport
