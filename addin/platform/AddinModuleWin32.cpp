// The add-in's own DLL on Windows.
#include "addin/platform/AddinModuleWin32.h"

namespace platform {
namespace {

// An object inside the add-in, whose address names the add-in's module.
const char moduleAnchor = 0;

}  // namespace

HMODULE addinModuleHandle(ModuleReference reference) {
  DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
  if (reference == ModuleReference::Borrow) flags |= GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&moduleAnchor), &module)) {
    return nullptr;
  }
  return module;
}

}  // namespace platform
