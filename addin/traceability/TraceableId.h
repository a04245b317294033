// The traceable identifier of an NX part: the identifier the service recognises the part's model
// by across uploads. NX's internal identifier when it is UUID-style; for a part with a legacy
// internal identifier, the UUID kept in its SYNQUO_ID attribute.
//
// All of these run on NX's user-interface thread, log what they decide and never throw; a null
// part gives the empty text or false without a log line.
#pragma once

#include <string>

namespace NXOpen {
class BasePart;
}

namespace synquo {

// The identifier to upload under. For the displayed part this may write the attribute and save
// the part: a legacy part without a valid attribute gets a new one (while
// "synquo_fix_legacy_id" allows it), and a UUID-style part loses a redundant one. A new
// identifier that cannot be saved is recorded as the traceability error, and the internal
// identifier is returned. Empty when NX gives no internal identifier.
std::string uploadTraceableId(NXOpen::BasePart* part);

// The identifier to show and to look revisions up with; reads only, whatever the part.
std::string displayTraceableId(NXOpen::BasePart* part);

// Whether the part has a legacy internal identifier and no valid SYNQUO_ID, so that an upload
// would have to give it one.
bool legacyIdRequiresAttribute(NXOpen::BasePart* part);

}  // namespace synquo
