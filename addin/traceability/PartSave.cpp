// Saving a part for traceability.
#include "addin/traceability/PartSave.h"

#include <memory>

#include <NXOpen/BasePart.hxx>
#include <NXOpen/PartSaveStatus.hxx>

namespace synquo {

PartSaveOutcome savePart(NXOpen::BasePart& part) {
  try {
    const std::unique_ptr<NXOpen::PartSaveStatus> status(
        part.Save(NXOpen::BasePart::SaveComponentsFalse, NXOpen::BasePart::CloseAfterSaveFalse));
    if (!status) return PartSaveOutcome::Saved;
    return status->NumberUnsavedParts() == 0 && status->NumberUnsavedObjects() == 0
               ? PartSaveOutcome::Saved
               : PartSaveOutcome::NotSaved;
  } catch (...) {
    return PartSaveOutcome::Raised;
  }
}

}  // namespace synquo
