// A model file open in the session.
#ifndef NXOpen_BASEPART_HXX_INCLUDED
#define NXOpen_BASEPART_HXX_INCLUDED

#include <NXOpen/NXObject.hxx>
#include <NXOpen/NXString.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class PartSaveStatus;
class PlotManager;
namespace Assemblies {
class ComponentAssembly;
}

class NXOPENCPPEXPORT BasePart : public NXOpen::NXObject {
 public:
  enum SaveComponents { SaveComponentsFalse, SaveComponentsTrue };
  enum CloseAfterSave { CloseAfterSaveFalse, CloseAfterSaveTrue };

  ~BasePart();

  NXString Leaf();
  // Empty for a part never saved.
  NXString FullPath();
  // NX's internal identifier of the part.
  NXString UniqueIdentifier();
  // The caller deletes the status; null when nothing was left unsaved.
  NXOpen::PartSaveStatus* Save(NXOpen::BasePart::SaveComponents saveComponentParts,
                               NXOpen::BasePart::CloseAfterSave close);
  NXOpen::Assemblies::ComponentAssembly* ComponentAssembly();
  NXOpen::PlotManager* PlotManager();

 protected:
  BasePart();
};

}  // namespace NXOpen

#endif
