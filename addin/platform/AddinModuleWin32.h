// The add-in's own DLL on Windows, found from an address inside it: the one lookup behind
// both the module's file name and the workers' pin on the module.
#pragma once

#include <windows.h>

namespace platform {

enum class ModuleReference {
  Borrow,  // the module's reference count stays as it is
  Take,    // one more reference, to be dropped with FreeLibrary(AndExitThread)
};

// GetModuleHandleExW from an address of the add-in; null when the module cannot be found.
HMODULE addinModuleHandle(ModuleReference reference);

}  // namespace platform
