// Giving a displayed part with a legacy internal identifier a new SYNQUO_ID that is saved in its
// file, or leaving the file as it was.
#pragma once

#include <optional>
#include <string>

namespace NXOpen {
class BasePart;
}

namespace synquo {

class TraceabilityLog;

// Writes a new identifier into the attribute and saves the part. Returns the identifier once it
// is saved. Otherwise blanks the unsaved value in the session, records the traceability error
// and returns nothing. Never throws.
std::optional<std::string> assignTraceableId(NXOpen::BasePart& part, TraceabilityLog& log);

}  // namespace synquo
