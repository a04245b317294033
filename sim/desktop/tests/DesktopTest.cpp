#include "sim/desktop/Desktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace desktop {
namespace {

using namespace std::chrono_literals;

void pumpFor(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    pumpMessages();
    waitForWork(2ms);
  }
}

TEST(DesktopWindows, NewWindowBecomesActiveAndDestroyingItRestoresThePrevious) {
  Window first = createWindow("first", {});
  Window second = createWindow("second", {});
  EXPECT_EQ(activeWindow(), second);
  EXPECT_EQ(windowTitle(second), "second");
  EXPECT_TRUE(destroyWindow(second));
  EXPECT_FALSE(isWindow(second));
  EXPECT_EQ(activeWindow(), first);
  EXPECT_TRUE(destroyWindow(first));
  EXPECT_EQ(activeWindow(), nullptr);
  EXPECT_FALSE(destroyWindow(first));
}

TEST(DesktopWindows, DestroyingAgainWhileBeingDestroyedIsRefused) {
  int destroys = 0;
  bool again = true;
  Window window = createWindow("w", [&](Window w, unsigned message, std::uintptr_t, std::intptr_t) {
    if (message == kWmDestroy) {
      ++destroys;
      again = destroyWindow(w);
    }
    return std::intptr_t{0};
  });
  EXPECT_TRUE(destroyWindow(window));
  EXPECT_EQ(destroys, 1);
  EXPECT_FALSE(again);
  EXPECT_FALSE(isWindow(window));
}

TEST(DesktopWindows, ActiveWindowBelongsToTheThreadThatCreatedIt) {
  Window mine = createWindow("mine", {});
  Window seenElsewhere = mine;
  bool activated = true;
  std::thread other([&] {
    seenElsewhere = activeWindow();
    activated = setActiveWindow(mine);
  });
  other.join();
  EXPECT_EQ(seenElsewhere, nullptr);
  EXPECT_FALSE(activated);
  destroyWindow(mine);
}

TEST(DesktopMessages, PostedMessagesReachTheWindowProcedureInOrder) {
  std::vector<unsigned> received;
  Window window = createWindow("w", [&](Window, unsigned message, std::uintptr_t, std::intptr_t) {
    received.push_back(message);
    return std::intptr_t{0};
  });
  EXPECT_TRUE(postMessage(window, 0x400, 0, 0));
  EXPECT_TRUE(postMessage(window, 0x401, 0, 0));
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(pumpMessages(), 2);
  EXPECT_EQ(received, (std::vector<unsigned>{0x400, 0x401}));
  destroyWindow(window);
}

TEST(DesktopMessages, PostToADestroyedWindowIsIgnored) {
  int calls = 0;
  Window window = createWindow("w", [&](Window, unsigned message, std::uintptr_t, std::intptr_t) {
    if (message != kWmDestroy) ++calls;
    return std::intptr_t{0};
  });
  EXPECT_TRUE(postMessage(window, 0x400, 0, 0));
  destroyWindow(window);
  EXPECT_FALSE(postMessage(window, 0x401, 0, 0));
  EXPECT_FALSE(postMessage(nullptr, 0x401, 0, 0));
  EXPECT_EQ(pumpMessages(), 0);
  EXPECT_EQ(calls, 0);
}

TEST(DesktopMessages, CloseCommandFromAnotherThreadClosesTheWindowThroughDefaultHandling) {
  std::vector<unsigned> seen;
  Window window =
      createWindow("dialog", [&](Window w, unsigned m, std::uintptr_t wp, std::intptr_t lp) {
        seen.push_back(m);
        return defWindowProc(w, m, wp, lp);
      });
  std::thread poster([&] { postMessage(window, kWmSysCommand, kScClose, 0); });
  poster.join();
  runModalLoop([&] { return isWindow(window); });
  EXPECT_FALSE(isWindow(window));
  EXPECT_EQ(seen, (std::vector<unsigned>{kWmSysCommand, kWmClose, kWmDestroy}));
}

TEST(DesktopModalLoop, EndsOnCloseCommandPostedFromTheIdleStep) {
  Window window = createWindow("dialog", {});
  int idles = 0;
  runModalLoop([&] { return isWindow(window); },
               [&] {
                 if (++idles == 3) postMessage(activeWindow(), kWmSysCommand, kScClose, 0);
               });
  EXPECT_EQ(idles, 3);
  EXPECT_FALSE(isWindow(window));
}

TEST(DesktopTimers, FireInOrderOfDueTimeAndRepeatUntilKilled) {
  std::vector<std::string> fired;
  TimerId fast = setTimer(10, [&](TimerId) { fired.push_back("fast"); });
  TimerId slow = setTimer(35, [&](TimerId) { fired.push_back("slow"); });
  ASSERT_NE(fast, 0u);
  ASSERT_NE(slow, 0u);
  ASSERT_NE(fast, slow);
  // Until both have fired, and fast twice; a loaded machine may take longer than 35 ms.
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (std::chrono::steady_clock::now() < deadline &&
         (std::count(fired.begin(), fired.end(), "fast") < 2 ||
          std::count(fired.begin(), fired.end(), "slow") < 1)) {
    pumpMessages();
    waitForWork(2ms);
  }
  EXPECT_TRUE(killTimer(fast));
  EXPECT_TRUE(killTimer(slow));
  ASSERT_GE(fired.size(), 3u);
  EXPECT_EQ(fired.front(), "fast");
  EXPECT_GE(std::count(fired.begin(), fired.end(), "fast"), 2);
  EXPECT_GE(std::count(fired.begin(), fired.end(), "slow"), 1);
  const auto before = fired.size();
  pumpFor(30ms);
  EXPECT_EQ(fired.size(), before);
}

TEST(DesktopTimers, SameDueTimeFiresInCreationOrderAndAKilledTimerStaysSilent) {
  std::vector<int> fired;
  TimerId a = setTimer(5, [&](TimerId) { fired.push_back(1); });
  TimerId b = setTimer(5, [&](TimerId) { fired.push_back(2); });
  TimerId c = setTimer(5, [&](TimerId) { fired.push_back(3); });
  EXPECT_TRUE(killTimer(b));
  EXPECT_FALSE(killTimer(b));
  std::this_thread::sleep_for(10ms);
  pumpMessages();
  EXPECT_EQ(fired, (std::vector<int>{1, 3}));
  killTimer(a);
  killTimer(c);
}

TEST(DesktopTimers, ATimerCanKillItselfAndAnotherDueTimer) {
  int firstCalls = 0;
  int secondCalls = 0;
  TimerId second = 0;
  TimerId first = setTimer(5, [&](TimerId self) {
    ++firstCalls;
    killTimer(self);
    killTimer(second);
  });
  second = setTimer(5, [&](TimerId) { ++secondCalls; });
  pumpFor(30ms);
  EXPECT_EQ(firstCalls, 1);
  EXPECT_EQ(secondCalls, 0);
  EXPECT_FALSE(killTimer(first));
}

TEST(DesktopTimers, TimersBelongToTheirThreadAndBadArgumentsAreRefused) {
  EXPECT_EQ(setTimer(0, [](TimerId) {}), 0u);
  EXPECT_EQ(setTimer(10, {}), 0u);
  std::atomic<int> fired{0};
  TimerId id = setTimer(5, [&](TimerId) { ++fired; });
  bool killedElsewhere = true;
  std::thread other([&] {
    killedElsewhere = killTimer(id);
    pumpFor(20ms);  // another thread's pumping never fires this thread's timer
  });
  other.join();
  EXPECT_FALSE(killedElsewhere);
  EXPECT_EQ(fired.load(), 0);
  pumpFor(20ms);
  EXPECT_GE(fired.load(), 1);
  EXPECT_TRUE(killTimer(id));
}

}  // namespace
}  // namespace desktop
