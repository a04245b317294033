// What every NX object answers, occurrence or prototype.
#ifndef NXOpen_INXOBJECT_HXX_INCLUDED
#define NXOpen_INXOBJECT_HXX_INCLUDED

#include <NXOpen/NXString.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENCPPEXPORT INXObject {
 public:
  virtual ~INXObject() {}
  // For an occurrence the object it occurs of; null when that is not loaded.
  virtual NXOpen::INXObject* Prototype() = 0;
  virtual NXString Name() = 0;
};

}  // namespace NXOpen

#endif
