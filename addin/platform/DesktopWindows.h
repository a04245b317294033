// The desktop's windows as the POSIX platform needs them (the active window, a posted
// message, thread timers). Linux has no desktop of the add-in's kind, so whatever stands in
// for one registers itself here; the platform never knows which it is.
#pragma once

#include <cstdint>
#include <functional>

#include "addin/platform/Platform.h"

namespace platform {

// Message numbers and the close command, as Windows defines them.
inline constexpr unsigned kWmSysCommand = 0x0112;
inline constexpr std::uintptr_t kScClose = 0xF060;

// A desktop: called from any thread; a stale or unknown window is simply no window.
class DesktopWindows {
 public:
  virtual ~DesktopWindows() = default;
  // The calling thread's active window; kNoWindow when it has none.
  virtual WindowHandle activeWindow() = 0;
  // Queues a message for the window's thread; false when the window does not exist.
  virtual bool postMessage(WindowHandle window, unsigned message, std::uintptr_t wparam,
                           std::intptr_t lparam) = 0;
  // A repeating timer of the calling thread, run by that thread's message loop until killed;
  // kNoTimer when it cannot be set. The callback must not throw.
  virtual TimerId setTimer(unsigned milliseconds, std::function<void()> callback) = 0;
  // False when the id names no timer of the calling thread.
  virtual bool killTimer(TimerId timer) = 0;
  // Runs what the calling thread's message loop would run now (its queued messages, then its
  // due timers) and returns without waiting.
  virtual void pumpMessages() = 0;
};

// A desktop in another module (a shared library the process has loaded) registers itself
// by exporting a C function of this name and type that returns it, alive for the process.
inline constexpr const char* kDesktopWindowsProvider = "synquo_desktop_windows";
extern "C" {
using DesktopWindowsProvider = DesktopWindows* (*)();
}

// Puts a desktop in place for this module (null withdraws it); it must outlive its
// registration. Takes precedence over an exported provider.
void registerDesktopWindows(DesktopWindows* desktop);

// The registered desktop, else the one an exported provider returns, else null: the
// platform then has no active window, cannot post and sets no timer.
DesktopWindows* registeredDesktopWindows();

}  // namespace platform
