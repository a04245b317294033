// Calls the add-in's entry points.
#include "sim/runner/AddinLibrary.h"

#include <cstring>
#include <stdexcept>
#include <vector>

namespace simrunner {

AddinLibrary::AddinLibrary(const std::string& path, bool dependenciesBeside) : path_(path) {
  handle_ = open(path, "the add-in", dependenciesBeside);
  // A function address travels as bytes: converting an object pointer to a function pointer
  // is only conditionally supported.
  void* address = symbol("ufusr");
  std::memcpy(&ufusr_, &address, sizeof(address));
  address = symbol("ufusr_ask_unload");
  std::memcpy(&askUnload_, &address, sizeof(address));
  address = symbol("ufusr_cleanup");
  std::memcpy(&cleanup_, &address, sizeof(address));
}

void* AddinLibrary::symbol(const char* name) {
  void* address = find(handle_, name);
  if (address == nullptr) {
    throw std::runtime_error("The add-in " + path_ + " does not export " + name);
  }
  return address;
}

void AddinLibrary::unload() {
  if (handle_ == nullptr) return;
  close(handle_);
  handle_ = nullptr;
  ufusr_ = nullptr;
  askUnload_ = nullptr;
  cleanup_ = nullptr;
}

// NX keeps a library that asked to stay loaded until it terminates; so does the runner.
AddinLibrary::~AddinLibrary() = default;

void AddinLibrary::ufusr(const std::string& parameter) {
  std::vector<char> text(parameter.begin(), parameter.end());
  text.push_back('\0');
  int returnCode = 0;
  ufusr_(text.data(), &returnCode, static_cast<int>(parameter.size()));
}

int AddinLibrary::ufusrAskUnload() { return askUnload_(); }

void AddinLibrary::ufusrCleanup() { cleanup_(); }

}  // namespace simrunner
