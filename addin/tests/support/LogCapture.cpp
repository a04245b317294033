// Log capture for tests.
#include "addin/tests/support/LogCapture.h"

#include <algorithm>

namespace testsupport {

LogCapture::LogCapture(logging::LogLevel level) {
  logging::setLogDirectory(dir_.path(), "");
  logging::applyLogLevel("test_level", logging::logLevelName(level));
  clear();
}

LogCapture::~LogCapture() {
  logging::applyLogLevel("test_level", "INFO");
  logging::setLogDirectory({}, "");
}

std::filesystem::path LogCapture::file() const { return dir_.path() / logging::kLogFileName; }

std::string LogCapture::content() const { return readFile(file()); }

std::vector<std::string> LogCapture::entries() const {
  std::vector<std::string> out;
  for (const std::string& line : splitLines(content())) {
    const size_t stampEnd = line.find("] ");
    out.push_back(stampEnd == std::string::npos ? line : line.substr(stampEnd + 2));
  }
  return out;
}

bool LogCapture::contains(const std::string& entry) const {
  const std::vector<std::string> all = entries();
  return std::find(all.begin(), all.end(), entry) != all.end();
}

void LogCapture::clear() {
  std::error_code ignored;
  std::filesystem::remove(file(), ignored);
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace testsupport
