// Forwards the client library's log messages into the add-in's log file.
#include "addin/client/VantelLoggerAdapter.h"

#include "addin/logging/Log.h"

namespace logging {

void VantelLoggerAdapter::debug(const char* message) { logging::debug(message); }
void VantelLoggerAdapter::info(const char* message) { logging::info(message); }
void VantelLoggerAdapter::warning(const char* message) { logging::warning(message); }
void VantelLoggerAdapter::error(const char* message) { logging::error(message); }
VantelLoggerAdapter::~VantelLoggerAdapter() = default;

}  // namespace logging
