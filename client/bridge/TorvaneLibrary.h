// The one Torvane library of the process: found, loaded once, shared by every bridge.
#pragma once

#include <string>

namespace vantel {

struct LoadedTorvaneLibrary {
  void* handle = nullptr;
  std::string path;
};

// "torvane-<os>-amd64" with the OS's extension, next to vantel's own module.
std::string defaultTorvaneLibraryPath();

// Loads the library on the first call of the process (from `requestedPath`, or the default
// path when it is empty) and returns it on every call. A failed first load is remembered:
// every later call raises the same VantelException without trying again. A non-empty
// `requestedPath` that differs from the loaded path is refused.
LoadedTorvaneLibrary loadTorvaneLibraryOnce(const std::string& requestedPath);

}  // namespace vantel
