// The text that stands for an NX part after part= in log lines.
#pragma once

#include <string>

namespace NXOpen {
class BasePart;
}

namespace synquo {

// "<null part>" for a null part. Otherwise the full path followed by " (" + leaf + ")" when NX
// gives both, whichever of the two it gives when only one, and "<unnamed NX part>" when it gives
// neither; a name NX fails to read counts as empty. Never throws.
std::string partLogLabel(NXOpen::BasePart* part);

}  // namespace synquo
