// The add-in's one service client: created on first use next to the add-in's
// Torvane library, initialised from the settings, and reached through bundles.
#pragma once

#include <vantel/vantel.h>

#include <filesystem>
#include <memory>

#include "addin/client/AuthCallbacks.h"
#include "addin/client/ServiceOperations.h"

namespace synquo {

// The one client of the process, created by the first call. A failed creation
// raises to the caller and is tried again by the next call.
std::shared_ptr<vantel::VantelClient> sharedVantelClient();

// Loads the settings again, binds the Torvane library beside the add-in module and
// initialises a new client. Only sharedVantelClient calls it.
std::shared_ptr<vantel::VantelClient> createVantelClient();

// What the add-in sends to Torvane at initialisation: log file and level when
// logging is on, the service environment, and the add-in's service entry.
vantel::VantelInitializeOptions buildInitializeOptions();

// The directory of the add-in's own module. Raises std::runtime_error when the
// module or its file name cannot be found.
std::filesystem::path addinModuleDirectory();

// Full path where the Torvane library is looked for: beside the add-in module.
std::filesystem::path torvaneLibraryPath();

// Bundles bound to the shared client. Building them does not create the client.
AuthCallbacks clientAuthCallbacks();
ServiceOperations clientServiceOperations();

}  // namespace synquo
