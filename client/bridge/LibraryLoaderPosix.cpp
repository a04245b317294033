// The dynamic loader on Linux: dlopen, dlsym and dladdr.
#include <dlfcn.h>

#include <string>

#include <vantel/VantelException.h>

#include "client/bridge/LibraryLoader.h"

namespace vantel::loader {
namespace {

// Any address inside this module tells dladdr which module we are.
const char moduleAnchor = 0;

std::string directoryOf(const std::string& file) {
  const auto slash = file.find_last_of('/');
  if (slash == std::string::npos) return ".";
  const auto end = file.find_last_not_of('/', slash);
  if (end == std::string::npos) return "/";
  return file.substr(0, end + 1);
}

}  // namespace

OpenResult openLibrary(const std::string& path) {
  OpenResult result;
  result.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (result.handle == nullptr) {
    const char* error = dlerror();
    result.error = error != nullptr ? error : "dlopen failed";
  }
  return result;
}

Symbol findSymbol(void* handle, const char* name) {
  return reinterpret_cast<Symbol>(dlsym(handle, name));
}

std::string moduleDirectory() {
  Dl_info info{};
  if (dladdr(&moduleAnchor, &info) == 0) {
    throw VantelException("Failed to locate vantel module handle");
  }
  if (info.dli_fname == nullptr || info.dli_fname[0] == '\0') {
    throw VantelException("Failed to read vantel module path");
  }
  return directoryOf(info.dli_fname);
}

std::string joinPath(const std::string& directory, const std::string& fileName) {
  if (!directory.empty() && directory.back() == '/') return directory + fileName;
  return directory + "/" + fileName;
}

}  // namespace vantel::loader
