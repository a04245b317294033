// A logger for client tests that keeps every message with its level.
#include "client/tests/support/RecordingLogger.h"

namespace vantel::testing {

void RecordingLogger::debug(const char* message) {
  lines_.push_back(std::string("DEBUG ") + message);
}

void RecordingLogger::info(const char* message) {
  lines_.push_back(std::string("INFO ") + message);
}

void RecordingLogger::warning(const char* message) {
  lines_.push_back(std::string("WARNING ") + message);
}

void RecordingLogger::error(const char* message) {
  lines_.push_back(std::string("ERROR ") + message);
}

std::vector<std::string> RecordingLogger::at(const std::string& level) const {
  std::vector<std::string> selected;
  const std::string prefix = level + " ";
  for (const std::string& line : lines_) {
    if (line.compare(0, prefix.size(), prefix) == 0) selected.push_back(line.substr(prefix.size()));
  }
  return selected;
}

}  // namespace vantel::testing
