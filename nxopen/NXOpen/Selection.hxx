// Selection, and the responses of NX's dialogs.
#ifndef NXOpen_SELECTION_HXX_INCLUDED
#define NXOpen_SELECTION_HXX_INCLUDED

#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENUICPPEXPORT Selection {
 public:
  enum Response {
    ResponseBack = 1,
    ResponseCancel,
    ResponseOk,
    ResponseObjectSelectedByName,
    ResponseObjectSelected
  };
};

}  // namespace NXOpen

#endif
