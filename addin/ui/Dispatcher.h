// What an invocation of the add-in shows: any sign-in failure left by the worker, then
// the start dialog when nobody is signed in, or the main dialog cycle.
#pragma once

namespace ui {

// Runs on the user-interface thread; raises what a dialog raises.
void launchAddin();

}  // namespace ui
