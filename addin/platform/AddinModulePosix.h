// The add-in's own shared object on POSIX, found from an address inside it: the one lookup
// behind both the module's file name and the workers' pin on the module.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The file name the dynamic loader knows the add-in by (dladdr); none when the module
// cannot be found, empty when it has no name.
std::optional<std::string> addinModuleFileName();

}  // namespace platform
