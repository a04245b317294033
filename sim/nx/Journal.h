// The call journal: every call into the simulated NX with its key arguments and outcome,
// and the violations of NX's rules that the simulated NX noticed.
#pragma once

#include <string>
#include <vector>

#include "sim/nx/NxSimExport.h"

namespace nxsim {

struct Call {
  std::string name;               // "UF_HELP_load_map_file", "BasePart::Save", "handler:update"
  std::vector<std::string> args;  // key arguments as text
  std::string outcome;            // a UF status in decimal, "throw", "null", or empty for no result
};

NXSIM_EXPORT std::vector<Call> journal();
NXSIM_EXPORT std::vector<std::string> journalNames();
NXSIM_EXPORT void clearJournal();
// Whether calls are journaled (on after reset()). Benchmarks turn it off: a journal of every
// call of a large assembly would be the simulator's cost, not the add-in's.
NXSIM_EXPORT void setJournaling(bool on);

// Misuse noticed, e.g. "UF_terminate without a matching successful UF_initialize", a UF call
// outside UF_initialize/UF_terminate, a double free, a handler that let an exception escape.
NXSIM_EXPORT std::vector<std::string> violations();
// Successful UF_initialize calls not yet matched by UF_terminate.
NXSIM_EXPORT int ufInitializeDepth();

}  // namespace nxsim
