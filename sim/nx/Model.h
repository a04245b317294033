// Setting up the simulated NX session: parts with their files, identifiers, Teamcenter names,
// attributes, drawing sheets and assembly structure, the displayed part and the application.
// Everything set up here is what the NX interface then answers. Tags handed out stay valid
// until reset(); every NX object pointer obtained before reset() is invalid after it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <uf_defs.h>
#include <NXOpen/BasePart.hxx>

#include "sim/nx/NxSimExport.h"

namespace nxsim {

// NX's tag, as the control interface names it.
using ::tag_t;

// Statuses and error codes the simulated NX answers with when a call cannot succeed.
constexpr int kErrorNotInitialized = 3900001;  // UF call without a successful UF_initialize
constexpr int kErrorBadTag = 3900002;          // the tag names no object of the right kind
constexpr int kErrorFileNotFound = 3900003;    // a dialog file or help map that is not there
constexpr int kErrorBadFile = 3900004;         // a dialog file that cannot be read
constexpr int kErrorBufferTooSmall = 3900005;  // a value longer than NX's output buffer
constexpr int kErrorNotManagedName = 3900006;  // a part name that is not a Teamcenter name
constexpr int kErrorNotFound = 3900007;        // Teamcenter part or revision unknown
constexpr int kErrorCloneState = 3900008;      // clone call out of order
constexpr int kErrorHelpStack = 3900009;       // pop of an empty help context stack
constexpr int kErrorBadArgument = 3900010;     // null pointer or unknown property
constexpr int kErrorNoAttribute = 3900011;     // attribute that does not exist
constexpr int kErrorBuilder = 3900012;         // builder used after Destroy or without input
constexpr int kErrorDialog = 3900013;          // dialog misuse (shown twice, no driver reply)

// A Teamcenter-managed part's names. Its encoded name is "@DB/<part number>/<revision>"
// unless one is given.
struct ManagedName {
  std::string partNumber;
  std::string revision;
  std::string fileType;
  std::string fileName;
  std::string revisionId;
  std::string encodedName;
  bool hasConfiguredRevision = true;
};

struct PartDefinition {
  std::string fullPath;  // empty: never saved
  std::string leaf;      // empty: the file stem of fullPath
  std::string uniqueIdentifier;
  bool modified = false;
  bool isPart = true;  // false: a BasePart that is not a Part
  bool familyInstance = false;
  bool familyTemplate = false;
  int familyIndex = -1;  // 0 or more: UF_PART_ask_family_instance finds an instance with it
  std::optional<ManagedName> managed;
  std::map<std::string, std::string> attributes;  // string attributes, in session and on disk
  std::vector<std::string> drawingSheets;         // sheet names, in NX's order
  // Files a clone export writes for this part, relative to the clone's directory. Empty: one
  // file named by the clone's name rule (part number) with ".prt", or the leaf for a native
  // part.
  std::vector<std::string> cloneFiles;
};

// A part's state as NX holds it now.
struct PartState {
  std::map<std::string, std::string> attributes;       // in the session
  std::map<std::string, std::string> savedAttributes;  // in the file, as of the last save
  bool modified = false;
  int saveCount = 0;
};

struct NamingFailure {
  std::string inputName;
  std::string outputName;
  int status = 0;
};

struct LoadFailure {
  std::string fileName;
  int status = 0;
};

// Forgets everything: parts, displayed part, faults, journal, violations, help contexts,
// message boxes, dialog history and driver, settings. Resource directories are kept.
NXSIM_EXPORT void reset();

NXSIM_EXPORT tag_t addPart(const PartDefinition& definition);
// A component under a part (its root component, made on first use) or under a component.
// prototype NULL_TAG: a component whose part is not loaded. backingName: the file the
// assembly records for it; empty means the prototype's full path.
NXSIM_EXPORT tag_t addComponent(tag_t parent, tag_t prototype, const std::string& backingName = "");
NXSIM_EXPORT void setDisplayedPart(tag_t part);
// The part's NX object, the one the NX interface hands out for it; valid until reset().
NXSIM_EXPORT NXOpen::BasePart* partObject(tag_t part);
NXSIM_EXPORT void setApplicationModule(int moduleId);

NXSIM_EXPORT void setModified(tag_t part, bool modified);
NXSIM_EXPORT void setAttribute(tag_t part, const std::string& title, const std::string& value);
// Makes the part's saves leave parts and objects unsaved (0, 0: saves succeed again).
NXSIM_EXPORT void setSaveOutcome(tag_t part, int unsavedParts, int unsavedObjects);
NXSIM_EXPORT PartState partState(tag_t part);

// Whether a committed PDF print writes its file (default true).
NXSIM_EXPORT void setPrintWritesFile(bool writes);
// Naming failures that a clone call ("UF_CLONE_set_name_rule", "UF_CLONE_apply_defaults",
// "UF_CLONE_perform_clone") reports.
NXSIM_EXPORT void setNamingFailures(const std::string& call, std::vector<NamingFailure> failures);
// Parts that UF_CLONE_add_assembly reports as not loaded.
NXSIM_EXPORT void setLoadFailures(std::vector<LoadFailure> failures);
// Memory handed out by UF functions and not yet released.
NXSIM_EXPORT int outstandingAllocations();

// The help stack, bottom first, and the page the loaded maps give a context ("" if none).
NXSIM_EXPORT std::vector<std::string> helpContextStack();
NXSIM_EXPORT std::string helpPageFor(const std::string& context);

}  // namespace nxsim
