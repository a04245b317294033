// The version of the client library, as sent to the service with every session.
#include <vantel/Version.h>

namespace vantel {

std::string versionString() { return "1.0.2"; }

}  // namespace vantel
