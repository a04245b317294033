// A small stand-in of the Windows desktop for platforms without it: windows with opaque
// handles, the active window of a thread, per-thread message queues, thread timers and a
// modal loop. One desktop per process, shared by every module that links it, so the add-in
// and the simulated NX see the same windows.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "sim/desktop/SimDesktopExport.h"

namespace desktop {

// Opaque window handle; never dereferenced. A stale handle is simply no window.
struct WindowHandle;
using Window = WindowHandle*;
using TimerId = std::uintptr_t;

// Message numbers and the close command as Windows defines them.
constexpr unsigned kWmDestroy = 0x0002;
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmSysCommand = 0x0112;
constexpr std::uintptr_t kScClose = 0xF060;

using WindowProc =
    std::function<std::intptr_t(Window, unsigned, std::uintptr_t wparam, std::intptr_t lparam)>;

// Creates a window owned by the calling thread and makes it that thread's active window.
SIMDESKTOP_EXPORT Window createWindow(const std::string& title, WindowProc proc);
// Sends kWmDestroy to the window, then forgets it; its queued messages are dropped.
SIMDESKTOP_EXPORT bool destroyWindow(Window window);
SIMDESKTOP_EXPORT bool isWindow(Window window);
SIMDESKTOP_EXPORT std::string windowTitle(Window window);

// The calling thread's active window, null when none. Destroying the active window makes
// the thread's most recently created remaining window active.
SIMDESKTOP_EXPORT Window activeWindow();
SIMDESKTOP_EXPORT bool setActiveWindow(Window window);

// Queues a message for the window's thread, from any thread. false for no (or a destroyed)
// window; the message is then dropped.
SIMDESKTOP_EXPORT bool postMessage(Window window, unsigned message, std::uintptr_t wparam,
                                   std::intptr_t lparam);
// Calls the window procedure at once, on the calling thread. 0 for no window.
SIMDESKTOP_EXPORT std::intptr_t sendMessage(Window window, unsigned message, std::uintptr_t wparam,
                                            std::intptr_t lparam);
// What Windows does by default: the close command sends kWmClose, kWmClose destroys.
SIMDESKTOP_EXPORT std::intptr_t defWindowProc(Window window, unsigned message,
                                              std::uintptr_t wparam, std::intptr_t lparam);

// A repeating timer of the calling thread, fired by that thread's message pumping until it is
// killed. Returns 0 when it cannot be set (zero interval or no callback).
SIMDESKTOP_EXPORT TimerId setTimer(unsigned milliseconds, std::function<void(TimerId)> callback);
// false when the id names no timer of the calling thread.
SIMDESKTOP_EXPORT bool killTimer(TimerId id);

// Dispatches the calling thread's queued messages, then its due timers (earliest first, each
// at most once). Returns how many messages and timers were dispatched.
SIMDESKTOP_EXPORT int pumpMessages();
// Sleeps until a message arrives for the calling thread, one of its timers falls due, or the
// time has passed.
SIMDESKTOP_EXPORT void waitForWork(std::chrono::milliseconds atMost);
// Pumps and waits until keepRunning answers false; idle runs between iterations.
SIMDESKTOP_EXPORT void runModalLoop(const std::function<bool()>& keepRunning,
                                    const std::function<void()>& idle = {});

}  // namespace desktop
