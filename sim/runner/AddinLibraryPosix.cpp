// Loading the add-in with dlopen.
#include <dlfcn.h>

#include <stdexcept>

#include "sim/runner/AddinLibrary.h"

namespace simrunner {

void* AddinLibrary::open(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    throw std::runtime_error("Cannot load the add-in " + path + ": " +
                             (error != nullptr ? error : "unknown error"));
  }
  return handle;
}

void* AddinLibrary::symbol(const char* name) {
  void* address = dlsym(handle_, name);
  if (address == nullptr) {
    throw std::runtime_error("The add-in " + path_ + " does not export " + name);
  }
  return address;
}

}  // namespace simrunner
