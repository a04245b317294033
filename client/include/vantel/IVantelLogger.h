// Where the client library's log messages go; the add-in supplies the implementation.
#pragma once

#include <vantel/Export.h>

namespace vantel {

// Receives complete, NUL-terminated UTF-8 messages, already tagged "[vantel] ". May be
// called from any thread that uses the client.
class VANTEL_API IVantelLogger {
 public:
  virtual void debug(const char* message) = 0;
  virtual void info(const char* message) = 0;
  virtual void warning(const char* message) = 0;
  virtual void error(const char* message) = 0;
  virtual ~IVantelLogger();
};

}  // namespace vantel
