// The assembly structure of a part.
#ifndef NXOpen_ASSEMBLIES_COMPONENTASSEMBLY_HXX_INCLUDED
#define NXOpen_ASSEMBLIES_COMPONENTASSEMBLY_HXX_INCLUDED

#include <NXOpen/NXObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {
namespace Assemblies {

class Component;

class NXOPENCPP_ASSEMBLIESEXPORT ComponentAssembly : public NXOpen::NXObject {
 public:
  ~ComponentAssembly();
  // Null for a part that has no assembly structure.
  NXOpen::Assemblies::Component* RootComponent();

 protected:
  ComponentAssembly();
};

}  // namespace Assemblies
}  // namespace NXOpen

#endif
