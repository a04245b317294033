// Refusing the add-in's _beginthreadex threads by redirecting its import of the function.
#include <windows.h>

#include <process.h>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "sim/runner/ThreadRefusal.h"

namespace simrunner {
namespace {

std::atomic<int> refusals{0};

using BeginThread = uintptr_t(__cdecl*)(void*, unsigned, unsigned(__stdcall*)(void*), void*,
                                        unsigned, unsigned*);
BeginThread real = nullptr;

uintptr_t __cdecl refusingBeginThread(void* security, unsigned stack,
                                      unsigned(__stdcall* start)(void*), void* argument,
                                      unsigned flags, unsigned* id) {
  int left = refusals.load();
  while (left > 0 && !refusals.compare_exchange_weak(left, left - 1)) {
  }
  if (left > 0) {
    errno = EAGAIN;
    return 0;
  }
  return real(security, stack, start, argument, flags, id);
}

}  // namespace

void refuseThreads(int count) { refusals = count; }
int threadRefusalsLeft() { return refusals; }

void installThreadRefusal(void* addinModule) {
  auto* base = static_cast<unsigned char*>(addinModule);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) throw std::runtime_error("The add-in imports nothing");
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       d->Name != 0; ++d) {
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(name->Name), "_beginthreadex") != 0) continue;
      DWORD old = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old)) {
        throw std::runtime_error("Cannot redirect the add-in's _beginthreadex: error " +
                                 std::to_string(GetLastError()));
      }
      if (real == nullptr) {
        std::memcpy(&real, &slots->u1.Function, sizeof(real));
      }
      BeginThread replacement = &refusingBeginThread;
      std::memcpy(&slots->u1.Function, &replacement, sizeof(replacement));
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
      return;
    }
  }
  throw std::runtime_error("The add-in does not import _beginthreadex");
}

}  // namespace simrunner
