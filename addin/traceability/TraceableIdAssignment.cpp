// Assigning a new traceable identifier.
#include "addin/traceability/TraceableIdAssignment.h"

#include <NXOpen/BasePart.hxx>

#include "addin/nx/NxText.h"
#include "addin/traceability/PartSave.h"
#include "addin/traceability/TraceabilityLog.h"
#include "addin/traceability/TraceabilityStatus.h"
#include "addin/traceability/TraceableIdAttribute.h"
#include "addin/traceability/TraceableIdText.h"

namespace synquo {

std::optional<std::string> assignTraceableId(NXOpen::BasePart& part, TraceabilityLog& log) {
  constexpr TraceFields kFields = TraceFields::LegacyIdAndSynquoId;
  constexpr NXOpen::Update::Option kNow = NXOpen::Update::OptionNow;
  const NXOpen::NXString title = nx::nxText(kTraceableIdAttribute);
  const std::string id = generateTraceableId();
  log.info("Generated SYNQUO_ID for legacy NX internal ID: part=\"", kFields, id);

  try {
    part.SetUserAttribute(title, -1, nx::nxText(id), kNow);
  } catch (...) {
    log.warning("Failed to write SYNQUO_ID attribute: part=\"", kFields, id);
    recordTraceabilityError(log.label(), log.internalId(), id);
    return std::nullopt;
  }
  log.info("SYNQUO_ID attribute written in NX session: part=\"", kFields, id);

  const PartSaveOutcome saved = savePart(part);
  if (saved == PartSaveOutcome::Saved) {
    log.info("SYNQUO_ID attribute saved to NX file: part=\"", kFields, id);
    markTraceabilityChanged();
    return id;
  }
  if (saved == PartSaveOutcome::Raised) {
    log.warning("Failed to save NX file after setting SYNQUO_ID attribute: part=\"", kFields, id);
  }
  log.warning("SYNQUO_ID attribute was set but the NX part could not be saved: part=\"", kFields,
              id);
  // An unsaved value must not reach the file later through a save of the user's own.
  try {
    part.SetUserAttribute(title, -1, nx::nxText(std::string()), kNow);
    log.warning("Cleared unsaved SYNQUO_ID attribute from NX session: part=\"", kFields, id);
  } catch (...) {
    log.warning("Failed to clear unsaved SYNQUO_ID attribute from NX session: part=\"", kFields,
                id);
  }
  recordTraceabilityError(log.label(), log.internalId(), id);
  return std::nullopt;
}

}  // namespace synquo
