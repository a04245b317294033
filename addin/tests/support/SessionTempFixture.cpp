// The session temporary directory fixture.
#include "addin/tests/support/SessionTempFixture.h"

#include <algorithm>

#include "addin/settings/PropertiesFile.h"
#include "addin/temp/SessionTempDirectory.h"

namespace testsupport {

namespace fs = std::filesystem;

const fs::path& processTempBase() {
  static TempDir base("brevin-session-J\xc3\xb6rg");
  return base.path();
}

SessionTempFixture::SessionTempFixture() {
  emptyBase();
  addin_.platform().setTempDirectory(base_ / "");
  synquo::loadSettings();
}

SessionTempFixture::~SessionTempFixture() {
  addin_.removeProperties();
  synquo::loadSettings();
  synquo::removeSessionTempDirectory();
  emptyBase();
}

void SessionTempFixture::configure(const std::string& retain, const std::string& logLevel) {
  addin_.writeProperties("synquo_nx_retain_temp_files=" + retain +
                         "\nsynquo_nx_log_level=" + logLevel + "\n");
  synquo::loadSettings();
}

std::vector<std::string> SessionTempFixture::logEntries() const {
  return AddinEnvironment::logEntries(addin_.defaultLogDirectory());
}

bool SessionTempFixture::logged(const std::string& entry) const {
  const auto all = logEntries();
  return std::find(all.begin(), all.end(), entry) != all.end();
}

void SessionTempFixture::emptyBase() {
  std::error_code error;
  fs::create_directories(base_, error);
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(base_, error), end; !error && it != end; it.increment(error)) {
    entries.push_back(it->path());
  }
  for (const fs::path& entry : entries) {
    fs::permissions(entry, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(entry, error);
  }
}

}  // namespace testsupport
