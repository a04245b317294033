// Points the add-in's log at a fresh directory for one test and reads back what it wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "addin/logging/Log.h"
#include "addin/tests/support/TestFiles.h"

namespace testsupport {

class LogCapture {
 public:
  // Logs into a new directory at the given level, starting from an empty file.
  explicit LogCapture(logging::LogLevel level = logging::LogLevel::Debug);
  // Leaves the log without a directory and at level Info.
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::filesystem::path& directory() const { return dir_.path(); }
  std::filesystem::path file() const;
  std::string content() const;
  // Each line without its time stamp, e.g. "[INFO] [Synquo] message".
  std::vector<std::string> entries() const;
  bool contains(const std::string& entry) const;
  // Deletes the log file, so later lines start a new one.
  void clear();

 private:
  TempDir dir_{"brevin-log"};
};

// Splits text at CR LF; a trailing CR LF does not start another line.
std::vector<std::string> splitLines(const std::string& text);

}  // namespace testsupport
