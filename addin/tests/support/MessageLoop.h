// The calling thread's message loop as a modal dialog turns it: the thread's own queue on
// Windows, the desktop stand-in's elsewhere. Thread timers and posted messages arrive here.
#pragma once

#include <chrono>
#include <functional>

namespace testsupport {

// Dispatches the calling thread's messages and due timers until `done` answers true or the
// time has passed; whether `done` answered true.
bool runMessageLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds atMost);

}  // namespace testsupport
