// What NX says about one part that the metadata and the upload records carry: unsaved
// changes, membership of a part family, the Teamcenter revision, and the source file id.
#include <string>

#include <uf_fam.h>
#include <uf_part.h>
#include <uf_ugmgr.h>

#include "addin/export/DisplayMetadata.h"
#include "addin/export/ExportSupport.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"
#include "addin/nx/UfScope.h"

namespace synquo {
namespace {

// The name without directory and without its last extension; "." and ".." have none.
std::string fileStem(const std::string& fileName) {
  return fileNameStem(lastPathElement(fileName));
}

}  // namespace

bool isModified(NXOpen::BasePart* part) {
  if (part == nullptr) return false;
  try {
    nx::UfScope uf;
    if (!uf.ok()) {
      logging::warning("NX modified-state check failed because UF_initialize returned status ",
                       uf.status(), ": part=\"", partLogLabel(part), "\".");
      return false;
    }
    return UF_PART_is_modified(part->Tag());
  } catch (...) {
    return false;
  }
}

bool isFamilyInstance(NXOpen::BasePart* part) {
  if (part == nullptr) return false;
  try {
    nx::UfScope uf;
    if (!uf.ok()) return false;
    const tag_t tag = part->Tag();
    logical instance = false;
    if (UF_PART_is_family_instance(tag, &instance) == 0 && instance) return true;
    logical templatePart = false;
    if (UF_PART_is_family_template(tag, &templatePart) == 0 && templatePart) return false;
    tag_t familyInstance = NULL_TAG;
    if (UF_PART_ask_family_instance(tag, &familyInstance) != 0 || familyInstance == NULL_TAG) {
      return false;
    }
    tag_t family = NULL_TAG;
    int memberIndex = -1;
    return UF_FAM_ask_instance_data(familyInstance, &family, &memberIndex) == 0 &&
           family != NULL_TAG && memberIndex >= 0;
  } catch (...) {
    return false;
  }
}

std::string revisionId(NXOpen::BasePart* part) {
  if (part == nullptr) return "1";
  try {
    nx::UfScope uf;
    if (!uf.ok()) return "1";
    char encoded[MAX_FSPEC_BUFSIZE] = {};
    if (UF_PART_ask_part_name(part->Tag(), encoded) != 0) return "1";
    char number[UF_UGMGR_PARTNO_BUFSIZE] = {};
    char revision[UF_UGMGR_PARTREV_BUFSIZE] = {};
    char type[UF_UGMGR_FTYPE_BUFSIZE] = {};
    char name[UF_UGMGR_FNAME_BUFSIZE] = {};
    if (UF_UGMGR_decode_part_file_name(encoded, number, revision, type, name) != 0 ||
        number[0] == '\0') {
      return "1";
    }
    UF_UGMGR_tag_t databasePart = NULL_TAG;
    UF_UGMGR_tag_t configured = NULL_TAG;
    char revisionText[UF_UGMGR_NAME_BUFSIZE] = {};
    if (UF_UGMGR_ask_part_tag(number, &databasePart) != 0 ||
        UF_UGMGR_ask_configured_rev(databasePart, &configured) != 0 ||
        UF_UGMGR_ask_part_revision_id(configured, revisionText) != 0 || revisionText[0] == '\0') {
      return "1";
    }
    return revisionText;
  } catch (...) {
    return "1";
  }
}

std::string sourceFileId(const std::string& traceableId, bool drawingMode, bool familyInstance,
                         const std::string& fileName) {
  if (traceableId.empty()) return std::string();
  if (drawingMode) return traceableId + "_drawing";
  const std::string stem = fileStem(fileName);
  if (familyInstance && !stem.empty()) return traceableId + "_" + stem;
  return traceableId;
}

}  // namespace synquo
