// The checks over an assembly's members that the dialog's warnings rest on: a member with
// unsaved changes, and a member backed by a file an upload cannot carry.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <uf_assem.h>
#include <uf_part.h>
#include <NXOpen/Assemblies_ComponentAssembly.hxx>
#include <NXOpen/Part.hxx>

#include "addin/export/AssemblyCollection.h"
#include "addin/export/ExportPath.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"
#include "addin/nx/NxText.h"
#include "addin/nx/UfScope.h"
#include "addin/platform/TextEncoding.h"

namespace synquo {

using NXOpen::Assemblies::Component;

namespace {

// Depth first over the members below the root, stopping at the first component the test
// answers true for when asked to. Any NX failure ends the walk; the answer is whether the test
// answered true for any component before.
bool walkMembers(NXOpen::BasePart* root, const std::function<bool(Component*)>& test,
                 bool stopAtFirst) {
  bool found = false;
  const std::function<bool(Component*)> visit = [&](Component* component) {
    if (test(component)) {
      found = true;
      if (stopAtFirst) return true;
    }
    for (Component* child : component->GetChildren()) {
      if (visit(child)) return true;
    }
    return false;
  };
  try {
    auto* part = dynamic_cast<NXOpen::Part*>(root);
    NXOpen::Assemblies::ComponentAssembly* assembly =
        part == nullptr ? nullptr : part->ComponentAssembly();
    Component* rootComponent = assembly == nullptr ? nullptr : assembly->RootComponent();
    if (rootComponent == nullptr) return false;
    for (Component* child : rootComponent->GetChildren()) {
      if (visit(child)) return true;
    }
  } catch (...) {
  }
  return found;
}

bool anyMember(NXOpen::BasePart* root, const std::function<bool(Component*)>& test) {
  return walkMembers(root, test, true);
}

// The source paths of every member the test names, without stopping.
std::vector<std::string> everyMember(
    NXOpen::BasePart* root, const std::function<std::optional<std::string>(Component*)>& test) {
  std::vector<std::string> sources;
  walkMembers(
      root,
      [&](Component* component) {
        std::optional<std::string> source = test(component);
        if (source) sources.push_back(std::move(*source));
        return source.has_value();
      },
      false);
  return sources;
}

bool hasDirectory(const std::string& path) {
  return path.find_first_of("/\\") != std::string::npos;
}

std::string extensionOf(const std::string& utf8Path) {
  return lowerCaseExtension(platform::fromUtf8(utf8Path));
}

// A member an upload cannot carry: its loaded part (may be null) and the file that failed.
struct UnsupportedHit {
  NXOpen::Part* part = nullptr;
  std::string file;
};

// The member's source path for the dialog: the loaded part's, else the file that failed.
std::string shownSource(const UnsupportedHit& hit) {
  const std::string loaded = hit.part == nullptr ? std::string() : nx::utf8(hit.part->FullPath());
  return loaded.empty() ? hit.file : loaded;
}

// Each hit is logged when asked to.
std::optional<UnsupportedHit> unsupportedMember(Component* component, bool log) {
  auto* part = dynamic_cast<NXOpen::Part*>(component->Prototype());
  // A loaded part usually is its backing file: a file is asked about once.
  std::optional<std::string> knownUsable;
  if (const std::optional<std::string> backing = componentBackingName(component)) {
    const std::string extension = extensionOf(*backing);
    if (!extension.empty() && extension != ".prt") {
      if (log) {
        logging::warning("Assembly child has unsupported backing file type: backing_source=\"",
                         *backing, "\" extension=\"", extension, "\".");
      }
      return UnsupportedHit{part, *backing};
    }
    const bool located = extension == ".prt" && hasDirectory(*backing);
    if (located && isUsableLocalFile(*backing)) knownUsable = *backing;
    if (located && !knownUsable) {
      bool saved = false;
      if (part != nullptr && !isManagedPart(part)) {
        const std::string loaded = nx::utf8(part->FullPath());
        saved = loaded != *backing && extensionOf(loaded) == ".prt" && isUsableLocalFile(loaded);
        if (saved) knownUsable = loaded;
      }
      if (!saved) {
        if (log) {
          logging::warning("Assembly child backing .prt is not saved locally: backing_source=\"",
                           *backing, "\".");
        }
        return UnsupportedHit{part, *backing};
      }
    }
  }
  if (part == nullptr || isManagedPart(part)) return std::nullopt;
  const std::string source = nx::utf8(part->FullPath());
  const std::string extension = extensionOf(source);
  const bool unsupported = (!extension.empty() && extension != ".prt") ||
                           (extension == ".prt" && hasDirectory(source) && source != knownUsable &&
                            !isUsableLocalFile(source));
  if (!unsupported) return std::nullopt;
  if (log) {
    logging::warning("Assembly child has unsupported loaded part source: part=\"",
                     partLogLabel(part), "\" source=\"", source, "\" extension=\"",
                     extension.empty() ? extensionOf(nx::utf8(part->Leaf())) : extension, "\".");
  }
  return UnsupportedHit{part, source};
}

// The member's part when it has unsaved changes, else null; a failing UF_initialize and the
// hit are logged when asked to.
NXOpen::Part* unsavedMember(Component* component, bool log) {
  auto* part = dynamic_cast<NXOpen::Part*>(component->Prototype());
  if (part == nullptr) return nullptr;
  nx::UfScope uf;
  if (!uf.ok()) {
    if (log) {
      logging::warning(
          "Assembly child modified-state check failed because UF_initialize returned status ",
          uf.status(), ": part=\"", partLogLabel(part), "\".");
    }
    return nullptr;
  }
  if (!UF_PART_is_modified(part->Tag())) return nullptr;
  if (log) {
    logging::warning("Assembly child has unsaved changes: part=\"", partLogLabel(part), "\".");
  }
  return part;
}

}  // namespace

bool hasUnsavedChildren(NXOpen::BasePart* root) {
  return anyMember(root, [](Component* c) { return unsavedMember(c, true) != nullptr; });
}

bool hasUnsupportedChildSources(NXOpen::BasePart* root) {
  return anyMember(root, [](Component* c) { return unsupportedMember(c, true).has_value(); });
}

std::vector<std::string> unsavedMemberSources(NXOpen::BasePart* root) {
  return everyMember(root, [](Component* c) -> std::optional<std::string> {
    NXOpen::Part* part = unsavedMember(c, false);
    if (part == nullptr) return std::nullopt;
    return nx::utf8(part->FullPath());
  });
}

std::vector<std::string> unsupportedMemberSources(NXOpen::BasePart* root) {
  return everyMember(root, [](Component* c) -> std::optional<std::string> {
    const std::optional<UnsupportedHit> hit = unsupportedMember(c, false);
    if (!hit) return std::nullopt;
    return shownSource(*hit);
  });
}

std::optional<std::string> componentBackingName(Component* component) {
  if (component == nullptr) return std::nullopt;
  try {
    nx::UfScope uf;
    if (!uf.ok()) return std::nullopt;
    char partName[MAX_FSPEC_BUFSIZE] = {};
    char refsetName[UF_OBJ_NAME_BUFSIZE] = {};
    char instanceName[UF_CFI_MAX_FILE_NAME_BUFSIZE] = {};
    double origin[3] = {};
    double csysMatrix[9] = {};
    double transform[4][4] = {};
    if (UF_ASSEM_ask_component_data(component->Tag(), partName, refsetName, instanceName, origin,
                                    csysMatrix, transform) != 0 ||
        partName[0] == '\0') {
      return std::nullopt;
    }
    return std::string(partName);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace synquo
