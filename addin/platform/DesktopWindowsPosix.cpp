// The registration of the desktop that the POSIX platform's window calls reach.
#include <dlfcn.h>

#include <atomic>
#include <cstring>

#include "addin/platform/DesktopWindows.h"

namespace platform {
namespace {

std::atomic<DesktopWindows*>& registered() {
  static std::atomic<DesktopWindows*> slot{nullptr};
  return slot;
}

DesktopWindows* exportedDesktop() {
  void* symbol = ::dlsym(RTLD_DEFAULT, kDesktopWindowsProvider);
  if (symbol == nullptr) return nullptr;
  DesktopWindowsProvider provider = nullptr;
  static_assert(sizeof(provider) == sizeof(symbol), "function and object pointers differ");
  // dlsym hands a function back as an object pointer; POSIX makes this copy well defined.
  std::memcpy(&provider, &symbol, sizeof(provider));
  return provider();
}

}  // namespace

void registerDesktopWindows(DesktopWindows* desktop) {
  registered().store(desktop, std::memory_order_release);
}

DesktopWindows* registeredDesktopWindows() {
  if (DesktopWindows* desktop = registered().load(std::memory_order_acquire)) return desktop;
  static DesktopWindows* const exported = exportedDesktop();
  return exported;
}

}  // namespace platform
