// Saving a part after its identifier attribute changed: the part alone, kept open.
#pragma once

namespace NXOpen {
class BasePart;
}

namespace synquo {

enum class PartSaveOutcome {
  Saved,     // NX reported nothing left unsaved
  NotSaved,  // NX left parts or objects unsaved
  Raised,    // NX raised; the change may not be on disk
};

// BasePart::Save without components and without closing. No status object, or one with no
// unsaved parts and no unsaved objects, means saved. Never throws.
PartSaveOutcome savePart(NXOpen::BasePart& part);

}  // namespace synquo
