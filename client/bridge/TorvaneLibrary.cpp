// The one Torvane library of the process: found, loaded once, shared by every bridge.
#include "client/bridge/TorvaneLibrary.h"

#include <mutex>
#include <optional>
#include <string>

#include <vantel/TorvaneLibraryName.h>
#include <vantel/VantelException.h>

#include "client/bridge/LibraryLoader.h"

namespace vantel {
namespace {

struct ProcessLibraryState {
  std::once_flag once;
  void* handle = nullptr;
  std::string loadedPath;
  // Each later construction raises a fresh exception with this text, so that no exception
  // object is shared between threads.
  std::optional<std::string> failure;
};

ProcessLibraryState& processState() {
  static ProcessLibraryState state;
  return state;
}

void loadFirstTime(ProcessLibraryState& state, const std::string& requestedPath) {
  try {
    state.loadedPath = requestedPath.empty() ? defaultTorvaneLibraryPath() : requestedPath;
  } catch (const VantelException& e) {
    // Locating our own module will not work any better the next time.
    state.failure = e.what();
    return;
  }
  const loader::OpenResult opened = loader::openLibrary(state.loadedPath);
  if (opened.handle == nullptr) {
    state.failure = "Failed to load Torvane library at " + state.loadedPath;
    return;
  }
  state.handle = opened.handle;
}

}  // namespace

std::string defaultTorvaneLibraryPath() {
  return loader::joinPath(loader::moduleDirectory(), kTorvaneLibraryFileName);
}

LoadedTorvaneLibrary loadTorvaneLibraryOnce(const std::string& requestedPath) {
  ProcessLibraryState& state = processState();
  std::call_once(state.once, [&] { loadFirstTime(state, requestedPath); });
  if (state.failure) throw VantelException(*state.failure);
  if (!requestedPath.empty() && !state.loadedPath.empty() && requestedPath != state.loadedPath) {
    throw VantelException("Torvane library already loaded from " + state.loadedPath +
                          ", cannot load " + requestedPath);
  }
  return LoadedTorvaneLibrary{state.handle, state.loadedPath};
}

}  // namespace vantel
