// Torvane's answer texts go back to it even when copying them runs out of memory. (POSIX only:
// on Windows each module has its own operator new, so a test cannot make the client's fail.)
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <cstdlib>
#include <new>
#include <string>

#include "client/tests/support/FixtureControl.h"
#include "client/tests/support/TestPaths.h"

namespace {

// Large allocations let through before one fails; negative: none fails. The fixture library
// keeps its own copy of the large answer first, then the bridge copies it.
thread_local int largeAllocationsBeforeFailure = -1;
constexpr std::size_t kLarge = 4096;

}  // namespace

void* operator new(std::size_t size) {
  if (size >= kLarge && largeAllocationsBeforeFailure >= 0 &&
      largeAllocationsBeforeFailure-- == 0) {
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace vantel {
namespace {

TEST(BridgeCopyFailurePosixTest, BothTextsAreFreedWhenACopyFails) {
  testing::FixtureControl fixture(testing::fullFixturePath());
  DynamicVantelBridge bridge(testing::fullFixturePath());
  const std::string big(kLarge, 'x');
  for (const bool failResult : {true, false}) {
    SCOPED_TRACE(failResult ? "the payload's copy fails" : "the error's copy fails");
    fixture.reset();
    fixture.script("GetAllWorkspaces", failResult ? big : std::string("[]"),
                   failResult ? std::string("e") : big);
    largeAllocationsBeforeFailure = 1;
    EXPECT_THROW(bridge.getAllWorkspaces("tok", ""), std::bad_alloc);
    EXPECT_EQ(largeAllocationsBeforeFailure, -1) << "the bridge's copy failed";
    largeAllocationsBeforeFailure = -1;
    EXPECT_EQ(fixture.liveTexts(), 0);
  }
}

}  // namespace
}  // namespace vantel
