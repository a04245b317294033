// What a save left unsaved. The caller of the save deletes it.
#ifndef NXOpen_PARTSAVESTATUS_HXX_INCLUDED
#define NXOpen_PARTSAVESTATUS_HXX_INCLUDED

#include <NXOpen/TransientObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENCPPEXPORT PartSaveStatus : public NXOpen::TransientObject {
 public:
  explicit PartSaveStatus(void* ptr);
  virtual ~PartSaveStatus();
  int NumberUnsavedParts();
  int NumberUnsavedObjects();
};

}  // namespace NXOpen

#endif
