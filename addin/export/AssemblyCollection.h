// The files an upload sends for an assembly: one record per distinct member, root first,
// collected by exporting every member (native root), by looking members up in the shared
// clone export directory (managed root), or only listed for display. Also the two
// pre-checks over members that the dialog's warnings rest on.
#pragma once

#include <vantel/vantel.h>
#include <NXOpen/Assemblies_Component.hxx>
#include <NXOpen/BasePart.hxx>
#include <NXOpen/Part.hxx>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "addin/export/ManagedCloneExport.h"

namespace synquo {

struct CollectedFiles {
  std::vector<vantel::VantelUploadPayloadFile> files;
  // The root component has at least one child.
  bool isAssembly = false;
};

// The mode chooses the traceable identifier's resolution for the records' source file ids:
// a display pass never writes to a part.
CollectedFiles collectLocalUploadFiles(NXOpen::BasePart* root);
CollectedFiles collectManagedUploadFiles(NXOpen::BasePart* root,
                                         const std::filesystem::path& sharedExportDirectory,
                                         ExportMode mode = ExportMode::Upload);
CollectedFiles listAssemblyFiles(NXOpen::BasePart* root);

// One member's record; a default record (see vantel::VantelUploadPayloadFile) on any
// failure, logged. Never raise.
vantel::VantelUploadPayloadFile exportMemberRecord(NXOpen::Part* part);
vantel::VantelUploadPayloadFile lookupManagedMemberRecord(
    NXOpen::Part* part, const std::filesystem::path& sharedExportDirectory,
    ExportMode mode = ExportMode::Upload);
vantel::VantelUploadPayloadFile readMemberRecord(NXOpen::Part* part);

// The member's file in the shared export directory, by its Teamcenter part number.
std::optional<std::filesystem::path> findManagedMemberFile(
    NXOpen::Part* part, const std::filesystem::path& sharedExportDirectory);

// De-duplication key: the source file path, else the source file id.
const std::string& memberKey(const vantel::VantelUploadPayloadFile& record);

// Pre-checks, depth first, stopping at the first hit; the root itself is not tested.
bool hasUnsavedChildren(NXOpen::BasePart* root);
bool hasUnsupportedChildSources(NXOpen::BasePart* root);
// The same checks over every member, silently, for the dialog to mark them: the source paths
// (UTF-8) of members with unsaved changes, and of members an upload cannot carry (the loaded
// part's source, else the backing name). An NX failure ends the walk with what was found.
std::vector<std::string> unsavedMemberSources(NXOpen::BasePart* root);
std::vector<std::string> unsupportedMemberSources(NXOpen::BasePart* root);

// The part file name the assembly records for a component (UF_ASSEM_ask_component_data);
// none when UF fails or the name is empty.
std::optional<std::string> componentBackingName(NXOpen::Assemblies::Component* component);

}  // namespace synquo
