// A logger for client tests that keeps every message with its level.
#pragma once

#include <vantel/IVantelLogger.h>

#include <string>
#include <vector>

namespace vantel::testing {

class RecordingLogger : public IVantelLogger {
 public:
  void debug(const char* message) override;
  void info(const char* message) override;
  void warning(const char* message) override;
  void error(const char* message) override;

  // Lines as "DEBUG [vantel] ...", in order.
  const std::vector<std::string>& lines() const { return lines_; }
  // Only the lines of one level ("DEBUG", "INFO", "WARNING", "ERROR"), without the level.
  std::vector<std::string> at(const std::string& level) const;

 private:
  std::vector<std::string> lines_;
};

}  // namespace vantel::testing
