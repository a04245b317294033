// Removing the SYNQUO_ID attribute from a displayed part whose NX internal identifier is
// UUID-style, where the attribute only repeats what NX already provides.
#pragma once

#include <string>

namespace NXOpen {
class BasePart;
}

namespace synquo {

class TraceabilityLog;

// Deletes the attribute and saves the part; when the save fails the old value is put back in
// the session. A failure here never blocks an upload and records no error. Never throws.
void removeRedundantTraceableId(NXOpen::BasePart& part, TraceabilityLog& log,
                                const std::string& oldValue);

}  // namespace synquo
