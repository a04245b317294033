// The process-wide choice of platform implementation.
#include "addin/platform/Platform.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<Platform*>& replacementSlot() {
  static std::atomic<Platform*> slot{nullptr};
  return slot;
}

}  // namespace

Platform::~Platform() = default;

Platform& os() {
  Platform* replacement = replacementSlot().load(std::memory_order_acquire);
  return replacement != nullptr ? *replacement : nativePlatform();
}

ScopedPlatform::ScopedPlatform(Platform& replacement)
    : previous_(replacementSlot().exchange(&replacement, std::memory_order_acq_rel)) {}

ScopedPlatform::~ScopedPlatform() { replacementSlot().store(previous_, std::memory_order_release); }

}  // namespace platform
