// An assembly's structure: a part's component assembly and its tree of components.
#pragma once

#include <string>
#include <vector>

#include "addin/host/NXObject.h"

namespace host {
namespace Assemblies {

class Component : public NXObject {
 public:
  // Children in NX's order; the pointers are owned by NX.
  virtual std::vector<Component*> GetChildren() = 0;
  // What the component instantiates, normally a Part; null when it is not loaded.
  virtual NXObject* Prototype() = 0;
  virtual std::string DisplayName() = 0;
};

class ComponentAssembly : public NXObject {
 public:
  // Null for a part that has no assembly structure.
  virtual Component* RootComponent() = 0;
};

}  // namespace Assemblies
}  // namespace host
