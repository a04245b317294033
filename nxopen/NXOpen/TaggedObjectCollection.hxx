// The base of NX's collections of tagged objects.
#ifndef NXOpen_TAGGEDOBJECTCOLLECTION_HXX_INCLUDED
#define NXOpen_TAGGEDOBJECTCOLLECTION_HXX_INCLUDED

#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENCPPEXPORT TaggedObjectCollection {
 public:
  virtual ~TaggedObjectCollection() {}
};

}  // namespace NXOpen

#endif
