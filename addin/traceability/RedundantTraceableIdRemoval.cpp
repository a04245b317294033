// Removing a redundant traceable identifier.
#include "addin/traceability/RedundantTraceableIdRemoval.h"

#include <NXOpen/BasePart.hxx>

#include "addin/nx/NxText.h"
#include "addin/traceability/PartSave.h"
#include "addin/traceability/TraceabilityLog.h"
#include "addin/traceability/TraceabilityStatus.h"
#include "addin/traceability/TraceableIdAttribute.h"

namespace synquo {

void removeRedundantTraceableId(NXOpen::BasePart& part, TraceabilityLog& log,
                                const std::string& oldValue) {
  constexpr TraceFields kFields = TraceFields::NxIdAndSynquoId;
  constexpr NXOpen::Update::Option kNow = NXOpen::Update::OptionNow;
  const NXOpen::NXString title = nx::nxText(kTraceableIdAttribute);
  log.info("Deleting redundant SYNQUO_ID attribute because NX internal ID is UUID-style: part=\"",
           kFields, oldValue);
  try {
    part.DeleteUserAttribute(NXOpen::NXObject::AttributeTypeString, title, true, kNow);
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
    part.SetUserAttribute(title, -1, nx::nxText(oldValue), kNow);
    log.warning("Restored unsaved SYNQUO_ID attribute after cleanup save failure: part=\"", kFields,
                oldValue);
  } catch (...) {
    log.warning("Failed to restore SYNQUO_ID attribute after cleanup save failure: part=\"",
                kFields, oldValue);
  }
}

}  // namespace synquo
