// The desktop stand-in: one process-wide registry of windows, queues and timers.
#include "sim/desktop/Desktop.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace desktop {
namespace {

using Clock = std::chrono::steady_clock;

struct WindowState {
  std::thread::id owner;
  std::string title;
  WindowProc proc;
  std::uint64_t creationOrder = 0;
  bool destroying = false;
};

struct Message {
  std::uintptr_t window;
  unsigned message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
};

struct Timer {
  std::chrono::milliseconds interval;
  Clock::time_point due;
  std::function<void(TimerId)> callback;
};

struct ThreadState {
  std::deque<Message> queue;
  std::map<TimerId, Timer> timers;
  std::uintptr_t active = 0;
};

struct Registry {
  std::mutex mutex;
  std::condition_variable wake;
  std::map<std::uintptr_t, WindowState> windows;
  std::map<std::thread::id, ThreadState> threads;
  std::uintptr_t nextWindow = 0x10;
  TimerId nextTimer = 1;
  std::uint64_t nextOrder = 1;
};

Registry& registry() {
  static Registry* instance = new Registry();  // outlives every module's static destructors
  return *instance;
}

std::uintptr_t idOf(Window window) { return reinterpret_cast<std::uintptr_t>(window); }
Window handleOf(std::uintptr_t id) { return reinterpret_cast<Window>(id); }

// Called with the mutex held.
void chooseNextActive(Registry& r, std::thread::id owner, ThreadState& thread) {
  std::uintptr_t best = 0;
  std::uint64_t bestOrder = 0;
  for (const auto& [id, state] : r.windows) {
    if (state.owner == owner && state.creationOrder > bestOrder) {
      best = id;
      bestOrder = state.creationOrder;
    }
  }
  thread.active = best;
}

}  // namespace

Window createWindow(const std::string& title, WindowProc proc) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::uintptr_t id = r.nextWindow;
  r.nextWindow += 0x10;
  WindowState state;
  state.owner = std::this_thread::get_id();
  state.title = title;
  state.proc = std::move(proc);
  state.creationOrder = r.nextOrder++;
  r.windows.emplace(id, std::move(state));
  r.threads[std::this_thread::get_id()].active = id;
  return handleOf(id);
}

bool destroyWindow(Window window) {
  Registry& r = registry();
  WindowProc proc;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    auto found = r.windows.find(idOf(window));
    if (found == r.windows.end() || found->second.destroying) {
      return false;
    }
    found->second.destroying = true;
    proc = found->second.proc;
  }
  if (proc) {
    proc(window, kWmDestroy, 0, 0);
  }
  std::lock_guard<std::mutex> lock(r.mutex);
  auto found = r.windows.find(idOf(window));
  std::thread::id owner = found->second.owner;
  r.windows.erase(found);
  ThreadState& thread = r.threads[owner];
  auto& queue = thread.queue;
  queue.erase(std::remove_if(queue.begin(), queue.end(),
                             [&](const Message& m) { return m.window == idOf(window); }),
              queue.end());
  if (thread.active == idOf(window)) {
    chooseNextActive(r, owner, thread);
  }
  return true;
}

bool isWindow(Window window) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.windows.count(idOf(window)) != 0;
}

std::string windowTitle(Window window) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto found = r.windows.find(idOf(window));
  return found == r.windows.end() ? std::string() : found->second.title;
}

Window activeWindow() {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto thread = r.threads.find(std::this_thread::get_id());
  return thread == r.threads.end() ? nullptr : handleOf(thread->second.active);
}

bool setActiveWindow(Window window) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto found = r.windows.find(idOf(window));
  if (found == r.windows.end() || found->second.owner != std::this_thread::get_id()) {
    return false;
  }
  r.threads[std::this_thread::get_id()].active = idOf(window);
  return true;
}

bool postMessage(Window window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
  Registry& r = registry();
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    auto found = r.windows.find(idOf(window));
    if (found == r.windows.end()) {
      return false;
    }
    r.threads[found->second.owner].queue.push_back(Message{idOf(window), message, wparam, lparam});
  }
  r.wake.notify_all();
  return true;
}

std::intptr_t sendMessage(Window window, unsigned message, std::uintptr_t wparam,
                          std::intptr_t lparam) {
  WindowProc proc;
  {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto found = r.windows.find(idOf(window));
    if (found == r.windows.end()) {
      return 0;
    }
    proc = found->second.proc;
  }
  return proc ? proc(window, message, wparam, lparam)
              : defWindowProc(window, message, wparam, lparam);
}

std::intptr_t defWindowProc(Window window, unsigned message, std::uintptr_t wparam, std::intptr_t) {
  if (message == kWmSysCommand && (wparam & 0xFFF0) == kScClose) {
    sendMessage(window, kWmClose, 0, 0);
  } else if (message == kWmClose) {
    destroyWindow(window);
  }
  return 0;
}

TimerId setTimer(unsigned milliseconds, std::function<void(TimerId)> callback) {
  if (milliseconds == 0 || !callback) {
    return 0;
  }
  Registry& r = registry();
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    TimerId id = r.nextTimer++;
    std::chrono::milliseconds interval(milliseconds);
    r.threads[std::this_thread::get_id()].timers.emplace(
        id, Timer{interval, Clock::now() + interval, std::move(callback)});
    r.wake.notify_all();
    return id;
  }
}

bool killTimer(TimerId id) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto thread = r.threads.find(std::this_thread::get_id());
  return thread != r.threads.end() && thread->second.timers.erase(id) != 0;
}

int pumpMessages() {
  Registry& r = registry();
  int dispatched = 0;
  const auto self = std::this_thread::get_id();
  for (;;) {
    Message message{};
    WindowProc proc;
    {
      std::lock_guard<std::mutex> lock(r.mutex);
      auto& queue = r.threads[self].queue;
      if (queue.empty()) {
        break;
      }
      message = queue.front();
      queue.pop_front();
      auto window = r.windows.find(message.window);
      if (window == r.windows.end()) {
        continue;
      }
      proc = window->second.proc;
    }
    ++dispatched;
    Window handle = handleOf(message.window);
    if (proc) {
      proc(handle, message.message, message.wparam, message.lparam);
    } else {
      defWindowProc(handle, message.message, message.wparam, message.lparam);
    }
  }

  // Timers due now, earliest first; each fires once even when several intervals passed.
  std::vector<std::pair<Clock::time_point, TimerId>> due;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto now = Clock::now();
    for (const auto& [id, timer] : r.threads[self].timers) {
      if (timer.due <= now) {
        due.emplace_back(timer.due, id);
      }
    }
  }
  std::sort(due.begin(), due.end());
  for (const auto& entry : due) {
    std::function<void(TimerId)> callback;
    {
      std::lock_guard<std::mutex> lock(r.mutex);
      auto& timers = r.threads[self].timers;
      auto timer = timers.find(entry.second);
      if (timer == timers.end()) {
        continue;  // killed by an earlier callback
      }
      timer->second.due = Clock::now() + timer->second.interval;
      callback = timer->second.callback;
    }
    ++dispatched;
    callback(entry.second);
  }
  return dispatched;
}

void waitForWork(std::chrono::milliseconds atMost) {
  Registry& r = registry();
  const auto self = std::this_thread::get_id();
  std::unique_lock<std::mutex> lock(r.mutex);
  auto deadline = Clock::now() + atMost;
  for (const auto& entry : r.threads[self].timers) {
    deadline = std::min(deadline, entry.second.due);
  }
  r.wake.wait_until(lock, deadline, [&] { return !r.threads[self].queue.empty(); });
}

void runModalLoop(const std::function<bool()>& keepRunning, const std::function<void()>& idle) {
  for (;;) {
    pumpMessages();
    if (!keepRunning()) {
      return;
    }
    if (idle) {
      idle();
      if (!keepRunning()) {
        return;
      }
    }
    waitForWork(std::chrono::milliseconds(5));
  }
}

}  // namespace desktop
