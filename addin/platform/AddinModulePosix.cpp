// The add-in's own shared object on POSIX.
#include "addin/platform/AddinModulePosix.h"

#include <dlfcn.h>

namespace platform {
namespace {

// An object inside the add-in, whose address names the add-in's module.
const char moduleAnchor = 0;

}  // namespace

std::optional<std::string> addinModuleFileName() {
  Dl_info info{};
  if (::dladdr(&moduleAnchor, &info) == 0) return std::nullopt;
  return std::string(info.dli_fname != nullptr ? info.dli_fname : "");
}

}  // namespace platform
