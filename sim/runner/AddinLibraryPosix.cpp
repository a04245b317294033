// Loading the add-in with dlopen.
#include <dlfcn.h>

#include <stdexcept>

#include "sim/runner/AddinLibrary.h"

namespace simrunner {

// The dynamic linker finds a library's dependencies through its own run path either way.
void* AddinLibrary::open(const std::string& path, const std::string& what, bool) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    throw std::runtime_error("Cannot load " + what + " " + path + ": " +
                             (error != nullptr ? error : "unknown error"));
  }
  return handle;
}

void* AddinLibrary::find(void* module, const char* name) { return dlsym(module, name); }

void AddinLibrary::close(void* module) { dlclose(module); }

}  // namespace simrunner
