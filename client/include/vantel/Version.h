// The version of the client library, as sent to the service with every session.
#pragma once

#include <vantel/Export.h>

#include <string>

namespace vantel {

VANTEL_API std::string versionString();

}  // namespace vantel
