// An object without a tag that NX hands to the caller; the caller deletes it.
#ifndef NXOpen_TRANSIENTOBJECT_HXX_INCLUDED
#define NXOpen_TRANSIENTOBJECT_HXX_INCLUDED

#include <stddef.h>

#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENCPPEXPORT TransientObject {
 public:
  void* GetHandle() { return m_pointer; }
  virtual ~TransientObject() { m_pointer = NULL; }

 protected:
  explicit TransientObject(void* ptr) : m_pointer(ptr) {}
  TransientObject() : m_pointer(0) {}
  void* m_pointer;
};

}  // namespace NXOpen

#endif
