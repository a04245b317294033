// The checks over an assembly's members that the dialog's warnings rest on: a member with
// unsaved changes, and a member backed by a file an upload cannot carry.
#include <functional>
#include <string>

#include "addin/export/AssemblyCollection.h"
#include "addin/export/ExportPath.h"
#include "addin/export/UfScope.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"
#include "addin/platform/TextEncoding.h"

namespace synquo {

using host::Assemblies::Component;

namespace {

// Depth first over the members below the root, stopping at the first component the test
// answers true for. Any NX failure on the way answers false.
bool anyMember(host::BasePart* root, const std::function<bool(Component*)>& test) {
  const std::function<bool(Component*)> visit = [&](Component* component) {
    if (test(component)) return true;
    for (Component* child : component->GetChildren()) {
      if (visit(child)) return true;
    }
    return false;
  };
  try {
    auto* part = dynamic_cast<host::Part*>(root);
    host::Assemblies::ComponentAssembly* assembly =
        part == nullptr ? nullptr : part->ComponentAssembly();
    Component* rootComponent = assembly == nullptr ? nullptr : assembly->RootComponent();
    if (rootComponent == nullptr) return false;
    for (Component* child : rootComponent->GetChildren()) {
      if (visit(child)) return true;
    }
  } catch (...) {
  }
  return false;
}

bool hasDirectory(const std::string& path) {
  return path.find_first_of("/\\") != std::string::npos;
}

std::string extensionOf(const std::string& utf8Path) {
  return lowerCaseExtension(platform::fromUtf8(utf8Path));
}

bool unsupportedMember(Component* component) {
  auto* part = dynamic_cast<host::Part*>(component->Prototype());
  if (const std::optional<std::string> backing = componentBackingName(component)) {
    const std::string extension = extensionOf(*backing);
    if (!extension.empty() && extension != ".prt") {
      logging::warning("Assembly child has unsupported backing file type: backing_source=\"",
                       *backing, "\" extension=\"", extension, "\".");
      return true;
    }
    if (extension == ".prt" && hasDirectory(*backing) && !isUsableLocalFile(*backing)) {
      bool saved = false;
      if (part != nullptr && !isManagedPart(part)) {
        const std::string loaded = part->FullPath();
        saved = extensionOf(loaded) == ".prt" && isUsableLocalFile(loaded);
      }
      if (!saved) {
        logging::warning("Assembly child backing .prt is not saved locally: backing_source=\"",
                         *backing, "\".");
        return true;
      }
    }
  }
  if (part == nullptr || isManagedPart(part)) return false;
  const std::string source = part->FullPath();
  const std::string extension = extensionOf(source);
  const bool unsupported =
      (!extension.empty() && extension != ".prt") ||
      (extension == ".prt" && hasDirectory(source) && !isUsableLocalFile(source));
  if (!unsupported) return false;
  logging::warning("Assembly child has unsupported loaded part source: part=\"", partLogLabel(part),
                   "\" source=\"", source, "\" extension=\"",
                   extension.empty() ? extensionOf(part->Leaf()) : extension, "\".");
  return true;
}

}  // namespace

bool hasUnsavedChildren(host::BasePart* root) {
  return anyMember(root, [](Component* component) {
    auto* part = dynamic_cast<host::Part*>(component->Prototype());
    if (part == nullptr) return false;
    UfScope uf;
    if (!uf.ok()) {
      logging::warning(
          "Assembly child modified-state check failed because UF_initialize returned status ",
          uf.status(), ": part=\"", partLogLabel(part), "\".");
      return false;
    }
    if (!uf.uf().UF_PART_is_modified(part->Tag())) return false;
    logging::warning("Assembly child has unsaved changes: part=\"", partLogLabel(part), "\".");
    return true;
  });
}

bool hasUnsupportedChildSources(host::BasePart* root) { return anyMember(root, unsupportedMember); }

std::optional<std::string> componentBackingName(Component* component) {
  if (component == nullptr) return std::nullopt;
  try {
    UfScope uf;
    if (!uf.ok()) return std::nullopt;
    char partName[host::MAX_FSPEC_BUFSIZE] = {};
    char refsetName[host::MAX_ENTITY_NAME_BUFSIZE] = {};
    char instanceName[host::MAX_ENTITY_NAME_BUFSIZE] = {};
    double origin[3] = {};
    double csysMatrix[9] = {};
    double transform[4][4] = {};
    if (uf.uf().UF_ASSEM_ask_component_data(component->Tag(), partName, refsetName, instanceName,
                                            origin, csysMatrix, transform) != 0 ||
        partName[0] == '\0') {
      return std::nullopt;
    }
    return std::string(partName);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace synquo
