// The OS refusing threads, as it does when a process has run out of them: a scenario can have
// the next thread starts fail, to see how the add-in copes. Linux: every std::thread of the
// process (brevin-sim replaces pthread_create for them; threads of the Go runtime and others
// are never refused). Windows: threads the add-in starts with _beginthreadex (its import is
// redirected once the add-in is loaded).
#pragma once

namespace simrunner {

// Makes the next `count` thread starts fail.
void refuseThreads(int count);
// How many refusals are still armed.
int threadRefusalsLeft();
// Puts the refusal between the loaded add-in module and the OS where it needs to be.
// Raises std::runtime_error when it cannot.
void installThreadRefusal(void* addinModule);

}  // namespace simrunner
