// What NX says about one part that the metadata and the upload records carry: unsaved
// changes, membership of a part family, the Teamcenter revision, and the source file id.
#include <string>

#include "addin/export/DisplayMetadata.h"
#include "addin/export/ExportSupport.h"
#include "addin/export/UfScope.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"

namespace synquo {
namespace {

// The name without directory and without its last extension; "." and ".." have none.
std::string fileStem(const std::string& fileName) {
  return fileNameStem(lastPathElement(fileName));
}

}  // namespace

bool isModified(host::BasePart* part) {
  if (part == nullptr) return false;
  try {
    UfScope uf;
    if (!uf.ok()) {
      logging::warning("NX modified-state check failed because UF_initialize returned status ",
                       uf.status(), ": part=\"", partLogLabel(part), "\".");
      return false;
    }
    return uf.uf().UF_PART_is_modified(part->Tag());
  } catch (...) {
    return false;
  }
}

bool isFamilyInstance(host::BasePart* part) {
  if (part == nullptr) return false;
  try {
    UfScope uf;
    if (!uf.ok()) return false;
    host::Uf& calls = uf.uf();
    const host::tag_t tag = part->Tag();
    bool instance = false;
    if (calls.UF_PART_is_family_instance(tag, &instance) == 0 && instance) return true;
    bool templatePart = false;
    if (calls.UF_PART_is_family_template(tag, &templatePart) == 0 && templatePart) return false;
    host::tag_t familyInstance = host::NULL_TAG;
    if (calls.UF_PART_ask_family_instance(tag, &familyInstance) != 0 ||
        familyInstance == host::NULL_TAG) {
      return false;
    }
    host::UF_FAM_instance_data_s data{host::NULL_TAG, -1};
    return calls.UF_FAM_ask_instance_data(familyInstance, &data) == 0 &&
           data.family != host::NULL_TAG && data.index >= 0;
  } catch (...) {
    return false;
  }
}

std::string revisionId(host::BasePart* part) {
  if (part == nullptr) return "1";
  try {
    UfScope uf;
    if (!uf.ok()) return "1";
    host::Uf& calls = uf.uf();
    char encoded[host::MAX_FSPEC_BUFSIZE] = {};
    if (calls.UF_PART_ask_part_name(part->Tag(), encoded) != 0) return "1";
    char number[host::UF_UGMGR_PARTNO_BUFSIZE] = {};
    char revision[host::UF_UGMGR_PARTREV_BUFSIZE] = {};
    char type[host::UF_UGMGR_FTYPE_BUFSIZE] = {};
    char name[host::UF_UGMGR_FNAME_BUFSIZE] = {};
    if (calls.UF_UGMGR_decode_part_file_name(encoded, number, revision, type, name) != 0 ||
        number[0] == '\0') {
      return "1";
    }
    host::UF_UGMGR_tag_t databasePart = host::NULL_TAG;
    host::UF_UGMGR_tag_t configured = host::NULL_TAG;
    char revisionText[host::UF_UGMGR_NAME_BUFSIZE] = {};
    if (calls.UF_UGMGR_ask_part_tag(number, &databasePart) != 0 ||
        calls.UF_UGMGR_ask_configured_rev(databasePart, &configured) != 0 ||
        calls.UF_UGMGR_ask_part_revision_id(configured, revisionText) != 0 ||
        revisionText[0] == '\0') {
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
