// Where the client library's log messages go; anchors the interface in vantel.
#include <vantel/IVantelLogger.h>

namespace vantel {

IVantelLogger::~IVantelLogger() = default;

}  // namespace vantel
