// The operating system's dynamic loader as the bridge needs it: open, look up, locate.
#pragma once

#include <string>

namespace vantel::loader {

using Symbol = void (*)();

struct OpenResult {
  void* handle = nullptr;  // null on failure
  std::string error;       // the loader's own explanation, captured when the open failed
};

// Loads the library at `path` (narrow text in the encoding the OS uses for file names).
// The handle is never closed.
OpenResult openLibrary(const std::string& path);

// The exported function `name`, or null when the library has no such export.
Symbol findSymbol(void* handle, const char* name);

// The directory of the module that holds this code, without trailing separators. Raises
// VantelException when the module or its file name cannot be found.
std::string moduleDirectory();

// Joins a directory and a file name with the OS's separator.
std::string joinPath(const std::string& directory, const std::string& fileName);

}  // namespace vantel::loader
