// An NX object shown in a view.
#ifndef NXOpen_DISPLAYABLEOBJECT_HXX_INCLUDED
#define NXOpen_DISPLAYABLEOBJECT_HXX_INCLUDED

#include <NXOpen/NXObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENCPPEXPORT DisplayableObject : public NXOpen::NXObject {
 public:
  ~DisplayableObject();

 protected:
  DisplayableObject();
};

}  // namespace NXOpen

#endif
