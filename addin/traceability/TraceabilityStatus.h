// The process-wide traceability status that the export and upload steps read after resolving
// identifiers: the first failure that must block the upload, and whether a part file changed.
// Touched only on NX's user-interface thread, so it has no lock.
#pragma once

#include <string>

namespace synquo {

// The first blocking failure since the last clear; empty when there was none.
std::string traceabilityError();
void clearTraceabilityError();

// Whether an attribute change was saved into a part file since the last clear.
bool traceabilityChanged();
void clearTraceabilityChanged();

// Records that an identifier could not be kept for the part (named by its log label), unless a
// failure is recorded already: the first one is what the user needs to act on. Logs the error
// with the part's internal identifier and the identifier that was not kept.
void recordTraceabilityError(const std::string& partLabel, const std::string& internalId,
                             const std::string& synquoId);
void markTraceabilityChanged();

}  // namespace synquo
