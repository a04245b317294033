// Removing a redundant traceable identifier.
#include "addin/traceability/RedundantTraceableIdRemoval.h"

#include "addin/host/Part.h"
#include "addin/traceability/PartSave.h"
#include "addin/traceability/TraceabilityLog.h"
#include "addin/traceability/TraceabilityStatus.h"
#include "addin/traceability/TraceableIdAttribute.h"

namespace synquo {

void removeRedundantTraceableId(host::BasePart& part, TraceabilityLog& log,
                                const std::string& oldValue) {
  constexpr TraceFields kFields = TraceFields::NxIdAndSynquoId;
  constexpr auto kNow = host::NXObject::UpdateOption::Now;
  log.info("Deleting redundant SYNQUO_ID attribute because NX internal ID is UUID-style: part=\"",
           kFields, oldValue);
  try {
    part.DeleteUserAttribute(host::NXObject::AttributeType::String, kTraceableIdAttribute, true,
                             kNow);
  } catch (...) {
    log.warning("Failed to delete redundant SYNQUO_ID attribute: part=\"", kFields, oldValue);
    return;
  }
  log.info("Redundant SYNQUO_ID attribute deleted in NX session: part=\"", kFields, oldValue);

  const PartSaveOutcome saved = savePart(part);
  if (saved == PartSaveOutcome::Saved) {
    log.info("Redundant SYNQUO_ID attribute deleted from NX file: part=\"", kFields, oldValue);
    markTraceabilityChanged();
    return;
  }
  if (saved == PartSaveOutcome::Raised) {
    log.warning("Failed to save NX file after deleting redundant SYNQUO_ID attribute: part=\"",
                kFields, oldValue);
  }
  log.warning("SYNQUO_ID attribute was deleted but the NX part could not be saved: part=\"",
              kFields, oldValue);
  // The session goes back to what the file still holds.
  try {
    part.SetUserAttribute(kTraceableIdAttribute, -1, oldValue, kNow);
    log.warning("Restored unsaved SYNQUO_ID attribute after cleanup save failure: part=\"", kFields,
                oldValue);
  } catch (...) {
    log.warning("Failed to restore SYNQUO_ID attribute after cleanup save failure: part=\"",
                kFields, oldValue);
  }
}

}  // namespace synquo
