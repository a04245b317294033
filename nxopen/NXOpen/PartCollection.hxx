// The parts of a session.
#ifndef NXOpen_PARTCOLLECTION_HXX_INCLUDED
#define NXOpen_PARTCOLLECTION_HXX_INCLUDED

#include <NXOpen/TaggedObjectCollection.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class BasePart;
class Session;

class NXOPENCPPEXPORT PartCollection : public NXOpen::TaggedObjectCollection {
 public:
  explicit PartCollection(NXOpen::Session* owner);
  ~PartCollection();
  // The displayed part; null when there is none.
  NXOpen::BasePart* BaseDisplay();

 private:
  NXOpen::Session* m_owner;
};

}  // namespace NXOpen

#endif
