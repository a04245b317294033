// NX's three entry points of a user-function library; the add-in exports nothing else.
#include "addin/entry/EntryPoints.h"

// The export list is the build's (brevin.def on Windows, brevin.version elsewhere).
#define BREVIN_ENTRY extern "C"

namespace {

// NX's code for "unload the library when NX terminates".
constexpr int kUnloadAtTermination = 3;

}  // namespace

BREVIN_ENTRY void ufusr(char* /*parameter*/, int* /*returnCode*/, int /*parameterLength*/) {
  synquo::runUfusr();
}

BREVIN_ENTRY int ufusr_ask_unload() { return kUnloadAtTermination; }

BREVIN_ENTRY void ufusr_cleanup() { synquo::runUfusrCleanup(); }
