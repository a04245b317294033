// Saving a part for traceability.
#include "addin/traceability/PartSave.h"

#include "addin/host/Part.h"

namespace synquo {

PartSaveOutcome savePart(host::BasePart& part) {
  try {
    const std::unique_ptr<host::PartSaveStatus> status =
        part.Save(host::BasePart::SaveComponents::False, host::BasePart::CloseAfterSave::False);
    if (!status) return PartSaveOutcome::Saved;
    return status->NumberUnsavedParts() == 0 && status->NumberUnsavedObjects() == 0
               ? PartSaveOutcome::Saved
               : PartSaveOutcome::NotSaved;
  } catch (...) {
    return PartSaveOutcome::Raised;
  }
}

}  // namespace synquo
