// Everything NX identifies by a tag. Objects are NX's: an add-in never makes or deletes one.
#ifndef NXOpen_TAGGEDOBJECT_HXX_INCLUDED
#define NXOpen_TAGGEDOBJECT_HXX_INCLUDED

#include <NXOpen/libnxopencpp_exports.hxx>

#ifndef TAG_T_DEFINED
#define TAG_T_DEFINED
typedef unsigned int tag_t;
typedef tag_t* tag_p_t;
#endif

#ifndef NULL_TAG
#define NULL_TAG ((tag_t)0)
#endif

namespace NXOpen {

class NXObjectManager;

class NXOPENCPPEXPORT TaggedObject {
 public:
  TaggedObject();
  // The identifier UF functions take for this object.
  tag_t Tag() const;
  virtual ~TaggedObject();

 private:
  void SetTag(tag_t tag) { m_tag = tag; }
  tag_t m_tag;
  friend class NXOpen::NXObjectManager;
};

}  // namespace NXOpen

#endif
