// The version of the client library, as sent to the service with every session.
#include <vantel/Version.h>

#include "client/api/VantelVersion.h"

namespace vantel {

std::string versionString() { return kVantelVersion; }

}  // namespace vantel
