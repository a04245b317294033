// The message loop on the desktop stand-in.
#include <algorithm>

#include "addin/tests/support/MessageLoop.h"
#include "sim/desktop/Desktop.h"

namespace testsupport {

bool runMessageLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds atMost) {
  const auto deadline = std::chrono::steady_clock::now() + atMost;
  for (;;) {
    desktop::pumpMessages();
    if (done()) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    desktop::waitForWork(std::min(left, std::chrono::milliseconds(5)));
  }
}

}  // namespace testsupport
