// Whether an edit updates the model at once.
#ifndef NXOpen_UPDATE_HXX_INCLUDED
#define NXOpen_UPDATE_HXX_INCLUDED

#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENCPPEXPORT Update {
 public:
  enum Option { OptionNow, OptionLater };
};

}  // namespace NXOpen

#endif
