// The running NX session.
#ifndef NXOpen_SESSION_HXX_INCLUDED
#define NXOpen_SESSION_HXX_INCLUDED

#include <NXOpen/NXString.hxx>
#include <NXOpen/TaggedObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class PartCollection;

class NXOPENCPPEXPORT Session : public NXOpen::TaggedObject {
 public:
  static Session* GetSession();
  ~Session();
  NXOpen::PartCollection* Parts();

 protected:
  Session();
};

}  // namespace NXOpen

#endif
