// A component: one use of a part inside an assembly. Its Prototype is the part it uses.
#ifndef NXOpen_ASSEMBLIES_COMPONENT_HXX_INCLUDED
#define NXOpen_ASSEMBLIES_COMPONENT_HXX_INCLUDED

#include <vector>

#include <NXOpen/DisplayableObject.hxx>
#include <NXOpen/NXString.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {
namespace Assemblies {

class NXOPENCPP_ASSEMBLIESEXPORT Component : public NXOpen::DisplayableObject {
 public:
  ~Component();
  // In NX's order.
  std::vector<NXOpen::Assemblies::Component*> GetChildren();
  NXString DisplayName();

 protected:
  Component();
};

}  // namespace Assemblies
}  // namespace NXOpen

#endif
