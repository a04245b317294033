// A test fixture for session temporary directories. The base directory is found once per
// process, so each test executable gets one fresh base (with a non-ASCII name) that the fake
// platform reports as the OS temporary directory; every test starts with it empty and no
// current directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "addin/tests/support/AddinEnvironment.h"

namespace testsupport {

// The base directory of this test executable, created on first use.
const std::filesystem::path& processTempBase();

class SessionTempFixture : public ::testing::Test {
 protected:
  SessionTempFixture();
  ~SessionTempFixture() override;

  // Writes the properties file with the retain flag and the log level, and loads it.
  void configure(const std::string& retain, const std::string& logLevel = "DEBUG");
  std::vector<std::string> logEntries() const;
  bool logged(const std::string& entry) const;
  // Removes everything in the base directory.
  void emptyBase();

  AddinEnvironment addin_;
  const std::filesystem::path base_ = processTempBase();
};

}  // namespace testsupport
