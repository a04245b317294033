// Forwards the client library's log messages into the add-in's log file.
#pragma once

#include <vantel/vantel.h>

namespace logging {

// Each message keeps the client library's own "[vantel] " tag, so the log line
// carries it instead of the add-in's tag.
class VantelLoggerAdapter : public vantel::IVantelLogger {
 public:
  void debug(const char* message) override;
  void info(const char* message) override;
  void warning(const char* message) override;
  void error(const char* message) override;
  ~VantelLoggerAdapter() override;
};

}  // namespace logging
