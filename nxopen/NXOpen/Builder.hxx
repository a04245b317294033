// A builder: set up, Commit to perform, Destroy to end it (the pointer is then invalid).
#ifndef NXOpen_BUILDER_HXX_INCLUDED
#define NXOpen_BUILDER_HXX_INCLUDED

#include <NXOpen/TaggedObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXObject;

class NXOPENCPPEXPORT Builder : public NXOpen::TaggedObject {
 public:
  ~Builder();
  // The object made; null when none.
  NXOpen::NXObject* Commit();
  void Destroy();

 protected:
  Builder();
};

}  // namespace NXOpen

#endif
