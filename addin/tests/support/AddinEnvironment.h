// A simulated installation for one test: the add-in's module lies in a fresh directory
// (where its "synquo.properties" goes), LOCALAPPDATA points at another, and the fake
// platform that says so is in place of the OS.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "addin/platform/Platform.h"
#include "addin/tests/support/FakePlatform.h"
#include "addin/tests/support/TestFiles.h"

namespace testsupport {

class AddinEnvironment {
 public:
  AddinEnvironment();
  // Forgets the properties and leaves the log without a directory, at level Info.
  ~AddinEnvironment();
  AddinEnvironment(const AddinEnvironment&) = delete;
  AddinEnvironment& operator=(const AddinEnvironment&) = delete;

  platform::FakePlatform& platform() { return platform_; }
  const std::filesystem::path& addinDirectory() const { return addin_.path(); }
  const std::filesystem::path& localAppData() const { return local_.path(); }
  std::filesystem::path propertiesFile() const;
  // LOCALAPPDATA\Synquo\NX\logs.
  std::filesystem::path defaultLogDirectory() const;

  void writeProperties(const std::string& bytes);
  void removeProperties();

  // Log entries (without time stamps) of the log file in a directory.
  static std::vector<std::string> logEntries(const std::filesystem::path& directory);
  static bool logContains(const std::filesystem::path& directory, const std::string& entry);

 private:
  TempDir addin_{"brevin-addin-J\xc3\xb6rg"};
  TempDir local_{"brevin-local"};
  platform::FakePlatform platform_;
  platform::ScopedPlatform scope_{platform_};
};

}  // namespace testsupport
