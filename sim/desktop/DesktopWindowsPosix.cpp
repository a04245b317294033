// The simulated desktop offers itself to the add-in's POSIX platform, which finds it by
// the exported provider name and so never depends on the simulation.
#include <utility>

#include "addin/platform/DesktopWindows.h"
#include "sim/desktop/Desktop.h"

namespace desktop {
namespace {

class SimulatedDesktopWindows : public platform::DesktopWindows {
 public:
  platform::WindowHandle activeWindow() override {
    return reinterpret_cast<platform::WindowHandle>(desktop::activeWindow());
  }
  bool postMessage(platform::WindowHandle window, unsigned message, std::uintptr_t wparam,
                   std::intptr_t lparam) override {
    return desktop::postMessage(reinterpret_cast<Window>(window), message, wparam, lparam);
  }
  platform::TimerId setTimer(unsigned milliseconds, std::function<void()> callback) override {
    if (!callback) return platform::kNoTimer;
    return desktop::setTimer(milliseconds,
                             [callback = std::move(callback)](TimerId) { callback(); });
  }
  bool killTimer(platform::TimerId timer) override { return desktop::killTimer(timer); }
  void pumpMessages() override { desktop::pumpMessages(); }
};

}  // namespace
}  // namespace desktop

extern "C" SIMDESKTOP_EXPORT platform::DesktopWindows* synquo_desktop_windows() {
  static desktop::SimulatedDesktopWindows instance;
  return &instance;
}
