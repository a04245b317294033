// The work behind NX's entry points of the add-in library. Neither lets anything
// escape into NX.
#pragma once

namespace synquo {

// What ufusr does: loads the settings and runs the dispatcher. Whatever escapes is
// shown in the "Block Styler" error box (a non-standard exception is logged too).
void runUfusr() noexcept;

// What ufusr_cleanup does: removes the session temporary directory and cancels a
// running sign-in. Failures go to the log.
void runUfusrCleanup() noexcept;

}  // namespace synquo
