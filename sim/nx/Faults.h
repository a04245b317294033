// Fault injection: make any call of the simulated NX fail, at its Nth call or from then on.
#pragma once

#include <string>

#include "sim/nx/NxSimExport.h"

namespace nxsim {

enum class FaultKind {
  Status,   // a UF function returns the status
  Throw,    // an NX Open method raises NXOpen::NXException(errorCode, message)
  Null,     // an NX Open method that returns an object returns null
  Foreign,  // an NX Open method raises ForeignException, which is no std::exception
};

// What a Foreign fault raises: something from beyond the C++ standard library's
// hierarchy, as a host's own error types or a translated system fault can be.
struct ForeignException {
  int errorCode = 1;
};

struct Fault {
  // The call's journal name ("UF_initialize", "BasePart::Save", ...), or "*" for the Nth
  // call of any name that can fail this way (SQLite-style anomaly runs).
  std::string call;
  FaultKind kind = FaultKind::Status;
  int nth = 1;              // the first failing call, counted from the injection, 1-based
  bool persistent = false;  // every call from the Nth on fails, not just the Nth
  int status = 1;           // for Status
  int errorCode = 1;        // for Throw
  std::string message = "Injected NX failure";  // for Throw
};

NXSIM_EXPORT void injectFault(const Fault& fault);
NXSIM_EXPORT void clearFaults();
// How many injected faults have fired since the last reset() or clearFaults().
NXSIM_EXPORT int faultsFired();

}  // namespace nxsim
