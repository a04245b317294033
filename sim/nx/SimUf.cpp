// The UF functions of the simulated NX, with C linkage as NX has them: part names and states,
// Teamcenter names and revisions, families, the application, the clone export, component
// data, memory, help contexts and the text mode.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <uf.h>
#include <uf_assem.h>
#include <uf_cfi_types.h>
#include <uf_clone.h>
#include <uf_fam.h>
#include <uf_help.h>
#include <uf_obj_types.h>
#include <uf_part.h>
#include <uf_text.h>
#include <uf_ugmgr.h>

#include "sim/nx/Utf8.h"

#include "sim/nx/State.h"

namespace nxsim {
namespace detail {
namespace {

// Tags of Teamcenter objects and family data, derived from the part's tag.
constexpr tag_t kDbPartBit = 0x40000000;
constexpr tag_t kDbRevisionBit = 0x50000000;
constexpr tag_t kFamilyInstanceBit = 0x60000000;
constexpr tag_t kFamilyBit = 0x70000000;
constexpr tag_t kKindMask = 0x70000000;

// A text argument as the journal shows it.
std::string text(const char* value) {
  return value == nullptr ? std::string("<null>") : ufIn(value);
}

std::vector<std::string> split(const std::string& value, char separator) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : value) {
    if (c == separator) {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current);
  return parts;
}

void fillNamingFailures(const std::string& call, UF_CLONE_naming_failures_p_t failures) {
  if (failures == nullptr) {
    return;
  }
  State& s = state();
  auto found = s.namingFailures.find(call);
  if (found == s.namingFailures.end() || found->second.empty()) {
    return;
  }
  const auto& list = found->second;
  const auto count = list.size();
  failures->n_failures = static_cast<int>(count);
  failures->statuses = static_cast<int*>(allocateBytes(sizeof(int) * count));
  failures->input_names = static_cast<char**>(allocateBytes(sizeof(char*) * count));
  failures->output_names = static_cast<char**>(allocateBytes(sizeof(char*) * count));
  for (std::size_t i = 0; i < count; ++i) {
    failures->statuses[i] = list[i].status;
    failures->input_names[i] = allocateString(ufOut(list[i].inputName));
    failures->output_names[i] = allocateString(ufOut(list[i].outputName));
  }
}

// The first characters of a UTF-8 text.
std::string leadingCharacters(const std::string& utf8, int count) {
  std::size_t at = 0;
  for (int i = 0; i < count && at < utf8.size(); ++i) {
    nextCodePoint(utf8, at);
  }
  return utf8.substr(0, at);
}

std::string cloneFileName(const PartData& part) {
  const std::string& rule = state().clone.nameRuleNewString;
  if (!part.definition.managed) {
    return part.definition.leaf + ".prt";
  }
  std::string name = rule.empty() ? std::string("${DB_PART_NO}") : rule;
  const std::string token = "${DB_PART_NO}";
  for (auto at = name.find(token); at != std::string::npos; at = name.find(token)) {
    name.replace(at, token.size(), part.definition.managed->partNumber);
  }
  return name + ".prt";
}

int cloneRefusal() {
  if (!state().clone.active) {
    violation("UF_CLONE call without UF_CLONE_initialise");
    return kErrorCloneState;
  }
  return 0;
}

template <class Apply>
int cloneSetting(const std::string& name, const std::string& args, Apply apply) {
  Lock lock(state().mutex);
  UfCall call(name, {args});
  if (call.early() != 0) {
    return call.early();
  }
  if (int refused = cloneRefusal(); refused != 0) {
    return call.finish(refused);
  }
  apply();
  return call.finish(0);
}

void addToClone(tag_t part) {
  auto& parts = state().clone.parts;
  if (std::find(parts.begin(), parts.end(), part) == parts.end()) {
    parts.push_back(part);
  }
}

void addMembers(tag_t component) {
  const ComponentData& c = state().components.at(component);
  for (tag_t child : c.children) {
    const ComponentData& member = state().components.at(child);
    if (findPart(member.prototype) != nullptr) {
      addToClone(member.prototype);
    }
    addMembers(child);
  }
}

void releaseChecked(void* pointer, const std::string& call) {
  if (!release(pointer)) {
    violation(call + " of memory that NX did not hand out or that was released already");
  }
}

}  // namespace
}  // namespace detail

void setNamingFailures(const std::string& call, std::vector<NamingFailure> failures) {
  detail::Lock lock(detail::state().mutex);
  detail::state().namingFailures[call] = std::move(failures);
}

void setLoadFailures(std::vector<LoadFailure> failures) {
  detail::Lock lock(detail::state().mutex);
  detail::state().loadFailures = std::move(failures);
}

std::vector<std::string> helpContextStack() {
  detail::Lock lock(detail::state().mutex);
  return detail::state().helpStack;
}

std::string helpPageFor(const std::string& context) {
  detail::Lock lock(detail::state().mutex);
  auto& map = detail::state().helpMap;
  auto found = map.find(context);
  return found == map.end() ? std::string() : found->second;
}

}  // namespace nxsim

using namespace nxsim;
using namespace nxsim::detail;

extern "C" {

int UF_initialize(void) {
  Lock lock(state().mutex);
  UfCall call("UF_initialize", {}, false);
  if (call.early() != 0) {
    return call.early();
  }
  ++state().ufDepth;
  state().textMode = UF_TEXT_LOCALE;
  return call.finish(0);
}

int UF_terminate(void) {
  Lock lock(state().mutex);
  UfCall call("UF_terminate", {}, false);
  State& s = state();
  if (s.ufDepth == 0) {
    violation("UF_terminate without a matching successful UF_initialize");
    return call.early() != 0 ? call.early() : call.finish(kErrorNotInitialized);
  }
  --s.ufDepth;
  return call.early() != 0 ? call.early() : call.finish(0);
}

int UF_PART_ask_part_name(tag_t part, char part_fspec[MAX_FSPEC_BUFSIZE]) {
  Lock lock(state().mutex);
  UfCall call("UF_PART_ask_part_name", {tagText(part)});
  if (call.early() != 0) {
    return call.early();
  }
  PartData* p = findPart(part);
  if (p == nullptr) {
    return call.finish(kErrorBadTag);
  }
  const std::string name = p->definition.managed ? encodedName(*p) : p->definition.fullPath;
  return call.finish(fillBuffer(name, part_fspec, MAX_FSPEC_NCHARS));
}

logical UF_PART_is_modified(tag_t part) {
  Lock lock(state().mutex);
  Entry entry = enter("UF_PART_is_modified", {tagText(part)}, 0);
  if (state().ufDepth == 0) {
    violation("UF_PART_is_modified called without a successful UF_initialize");
  }
  PartData* p = findPart(part);
  const bool modified = p != nullptr && p->modified;
  setOutcome(entry.index, modified ? "true" : "false");
  return modified;
}

int UF_PART_is_family_instance(tag_t part, logical* is_instance) {
  Lock lock(state().mutex);
  UfCall call("UF_PART_is_family_instance", {tagText(part)});
  if (call.early() != 0) {
    return call.early();
  }
  PartData* p = findPart(part);
  if (p == nullptr || is_instance == nullptr) {
    return call.finish(p == nullptr ? kErrorBadTag : kErrorBadArgument);
  }
  *is_instance = p->definition.familyInstance;
  return call.finish(0);
}

int UF_PART_is_family_template(tag_t part, logical* is_template) {
  Lock lock(state().mutex);
  UfCall call("UF_PART_is_family_template", {tagText(part)});
  if (call.early() != 0) {
    return call.early();
  }
  PartData* p = findPart(part);
  if (p == nullptr || is_template == nullptr) {
    return call.finish(p == nullptr ? kErrorBadTag : kErrorBadArgument);
  }
  *is_template = p->definition.familyTemplate;
  return call.finish(0);
}

int UF_PART_ask_family_instance(tag_t part, tag_t* instance) {
  Lock lock(state().mutex);
  UfCall call("UF_PART_ask_family_instance", {tagText(part)});
  if (call.early() != 0) {
    return call.early();
  }
  PartData* p = findPart(part);
  if (p == nullptr || instance == nullptr) {
    return call.finish(p == nullptr ? kErrorBadTag : kErrorBadArgument);
  }
  *instance = p->definition.familyIndex >= 0 ? (kFamilyInstanceBit | part) : NULL_TAG;
  return call.finish(0);
}

int UF_FAM_ask_instance_data(tag_t instance, tag_t* family, int* member_index) {
  Lock lock(state().mutex);
  UfCall call("UF_FAM_ask_instance_data", {tagText(instance)});
  if (call.early() != 0) {
    return call.early();
  }
  PartData* p =
      (instance & kKindMask) == kFamilyInstanceBit ? findPart(instance & ~kKindMask) : nullptr;
  if (p == nullptr || p->definition.familyIndex < 0) {
    return call.finish(kErrorBadTag);
  }
  if (family == nullptr || member_index == nullptr) {
    return call.finish(kErrorBadArgument);
  }
  *family = kFamilyBit | p->tag;
  *member_index = p->definition.familyIndex;
  return call.finish(0);
}

int UF_PART_free_load_status(UF_PART_load_status_p_t status) {
  Lock lock(state().mutex);
  const Entry entry = enter("UF_PART_free_load_status", {}, kCanThrow);
  if (status == nullptr) {
    raiseAfterRelease(entry);
    return 0;
  }
  if (status->file_names != nullptr) {
    for (int i = 0; i < status->n_parts; ++i) {
      releaseChecked(status->file_names[i], "UF_PART_free_load_status");
    }
    releaseChecked(status->file_names, "UF_PART_free_load_status");
  }
  if (status->statuses != nullptr) {
    releaseChecked(status->statuses, "UF_PART_free_load_status");
  }
  status->file_names = nullptr;
  status->statuses = nullptr;
  status->n_parts = 0;
  raiseAfterRelease(entry);
  return 0;
}

int UF_UGMGR_decode_part_file_name(const char* encoded_name,
                                   char part_number[UF_UGMGR_PARTNO_BUFSIZE],
                                   char part_revision[UF_UGMGR_PARTREV_BUFSIZE],
                                   char part_file_type[UF_UGMGR_FTYPE_BUFSIZE],
                                   char part_file_name[UF_UGMGR_FNAME_BUFSIZE]) {
  Lock lock(state().mutex);
  UfCall call("UF_UGMGR_decode_part_file_name", {text(encoded_name)});
  if (call.early() != 0) {
    return call.early();
  }
  if (encoded_name == nullptr) {
    return call.finish(kErrorBadArgument);
  }
  const std::string name = ufIn(encoded_name);
  ManagedName decoded;
  if (PartData* p = findManagedPartByName(name)) {
    decoded = *p->definition.managed;
  } else if (name.compare(0, 4, "@DB/") == 0) {
    auto fields = split(name.substr(4), '/');
    fields.resize(4);
    decoded.partNumber = fields[0];
    decoded.revision = fields[1];
    decoded.fileType = fields[2];
    decoded.fileName = fields[3];
  } else {
    return call.finish(kErrorNotManagedName);
  }
  // Every buffer is written whole, whichever of them cannot take its text.
  const int statuses[] = {fillBuffer(decoded.partNumber, part_number, UF_UGMGR_PARTNO_LIMIT),
                          fillBuffer(decoded.revision, part_revision, UF_UGMGR_PARTREV_LIMIT),
                          fillBuffer(decoded.fileType, part_file_type, UF_UGMGR_FTYPE_LIMIT),
                          fillBuffer(decoded.fileName, part_file_name, UF_UGMGR_FNAME_LIMIT)};
  for (int status : statuses) {
    if (status != 0) {
      return call.finish(status);
    }
  }
  return call.finish(0);
}

int UF_UGMGR_ask_part_tag(char* part_number, UF_UGMGR_tag_t* database_part_tag) {
  Lock lock(state().mutex);
  UfCall call("UF_UGMGR_ask_part_tag", {text(part_number)});
  if (call.early() != 0) {
    return call.early();
  }
  if (part_number == nullptr || database_part_tag == nullptr) {
    return call.finish(kErrorBadArgument);
  }
  const auto found = state().partsByNumber.find(ufIn(part_number));
  if (found != state().partsByNumber.end()) {
    *database_part_tag = kDbPartBit | found->second;
    return call.finish(0);
  }
  return call.finish(kErrorNotFound);
}

int UF_UGMGR_ask_configured_rev(UF_UGMGR_tag_t part, UF_UGMGR_tag_t* revision) {
  Lock lock(state().mutex);
  UfCall call("UF_UGMGR_ask_configured_rev", {tagText(part)});
  if (call.early() != 0) {
    return call.early();
  }
  PartData* p = (part & kKindMask) == kDbPartBit ? findPart(part & ~kKindMask) : nullptr;
  if (p == nullptr || !p->definition.managed) {
    return call.finish(kErrorBadTag);
  }
  if (revision == nullptr) {
    return call.finish(kErrorBadArgument);
  }
  if (!p->definition.managed->hasConfiguredRevision) {
    return call.finish(kErrorNotFound);
  }
  *revision = kDbRevisionBit | p->tag;
  return call.finish(0);
}

int UF_UGMGR_ask_part_revision_id(UF_UGMGR_tag_t revision,
                                  char revision_id[UF_UGMGR_NAME_BUFSIZE]) {
  Lock lock(state().mutex);
  UfCall call("UF_UGMGR_ask_part_revision_id", {tagText(revision)});
  if (call.early() != 0) {
    return call.early();
  }
  PartData* p =
      (revision & kKindMask) == kDbRevisionBit ? findPart(revision & ~kKindMask) : nullptr;
  if (p == nullptr || !p->definition.managed) {
    return call.finish(kErrorBadTag);
  }
  return call.finish(
      fillBuffer(p->definition.managed->revisionId, revision_id, UF_UGMGR_NAME_LIMIT));
}

int UF_ask_application_module(int* module_id) {
  Lock lock(state().mutex);
  UfCall call("UF_ask_application_module", {});
  if (call.early() != 0) {
    return call.early();
  }
  if (module_id == nullptr) {
    return call.finish(kErrorBadArgument);
  }
  *module_id = state().applicationModule;
  return call.finish(0);
}

int UF_CLONE_initialise(UF_CLONE_operation_class_t operation_class) {
  Lock lock(state().mutex);
  UfCall call("UF_CLONE_initialise", {std::to_string(operation_class)});
  if (call.early() != 0) {
    return call.early();
  }
  CloneSession& clone = state().clone;
  if (clone.active) {
    violation("UF_CLONE_initialise while a clone operation is open");
    return call.finish(kErrorCloneState);
  }
  clone = CloneSession{};
  clone.active = true;
  clone.operationClass = static_cast<int>(operation_class);
  return call.finish(0);
}

int UF_CLONE_terminate(void) {
  Lock lock(state().mutex);
  UfCall call("UF_CLONE_terminate", {});
  if (call.early() != 0) {
    return call.early();
  }
  if (!state().clone.active) {
    violation("UF_CLONE_terminate without an open clone operation");
    return call.finish(kErrorCloneState);
  }
  state().clone = CloneSession{};
  return call.finish(0);
}

int UF_CLONE_init_naming_failures(UF_CLONE_naming_failures_p_t failures) {
  Lock lock(state().mutex);
  UfCall call("UF_CLONE_init_naming_failures", {});
  if (call.early() != 0) {
    return call.early();
  }
  if (failures == nullptr) {
    return call.finish(kErrorBadArgument);
  }
  *failures = UF_CLONE_naming_failures_s{0, nullptr, nullptr, nullptr};
  return call.finish(0);
}

int UF_CLONE_set_def_action(UF_CLONE_action_t action) {
  return cloneSetting("UF_CLONE_set_def_action", std::to_string(static_cast<int>(action)), [] {});
}

int UF_CLONE_set_def_directory(const char* directory) {
  return cloneSetting("UF_CLONE_set_def_directory", text(directory),
                      [&] { state().clone.directory = ufIn(directory); });
}

int UF_CLONE_set_assoc_file_root_dir(const char* directory) {
  return cloneSetting("UF_CLONE_set_assoc_file_root_dir", text(directory),
                      [&] { state().clone.assocRootDirectory = ufIn(directory); });
}

int UF_CLONE_set_family_treatment(UF_CLONE_family_treatment_t treatment) {
  return cloneSetting("UF_CLONE_set_family_treatment", std::to_string(static_cast<int>(treatment)),
                      [] {});
}

int UF_CLONE_set_def_naming(UF_CLONE_naming_technique_t naming) {
  return cloneSetting("UF_CLONE_set_def_naming", std::to_string(static_cast<int>(naming)), [] {});
}

int UF_CLONE_set_name_rule(UF_CLONE_name_rule_def_p_t rule, UF_CLONE_naming_failures_p_t failures) {
  const std::string args = rule == nullptr
                               ? "<null>"
                               : std::to_string(static_cast<int>(rule->type)) + " " +
                                     text(rule->base_string) + " " + text(rule->new_string);
  return cloneSetting("UF_CLONE_set_name_rule", args, [&] {
    if (rule != nullptr && rule->new_string != nullptr) {
      state().clone.nameRuleNewString = ufIn(rule->new_string);
    }
    fillNamingFailures("UF_CLONE_set_name_rule", failures);
  });
}

int UF_CLONE_set_dryrun(logical dryrun) {
  return cloneSetting("UF_CLONE_set_dryrun", dryrun ? "true" : "false",
                      [&] { state().clone.dryrun = dryrun; });
}

int UF_CLONE_add_assembly(const char* part_name, UF_PART_load_status_p_t status) {
  Lock lock(state().mutex);
  UfCall call("UF_CLONE_add_assembly", {text(part_name)});
  if (status != nullptr) {
    *status = UF_PART_load_status_s{false, false, 0, nullptr, nullptr};
  }
  if (call.early() != 0) {
    return call.early();
  }
  if (int refused = cloneRefusal(); refused != 0) {
    return call.finish(refused);
  }
  PartData* root = part_name == nullptr ? nullptr : findPartByName(ufIn(part_name));
  if (root == nullptr) {
    return call.finish(kErrorNotFound);
  }
  addToClone(root->tag);
  if (root->rootComponent != NULL_TAG) {
    addMembers(root->rootComponent);
  }
  const auto& failures = state().loadFailures;
  if (status != nullptr && !failures.empty()) {
    const auto count = failures.size();
    status->failed = true;
    status->n_parts = static_cast<int>(count);
    status->file_names = static_cast<char**>(allocateBytes(sizeof(char*) * count));
    status->statuses = static_cast<int*>(allocateBytes(sizeof(int) * count));
    for (std::size_t i = 0; i < count; ++i) {
      status->file_names[i] = allocateString(ufOut(failures[i].fileName));
      status->statuses[i] = failures[i].status;
    }
  }
  return call.finish(0);
}

int UF_CLONE_add_part(const char* part_name) {
  Lock lock(state().mutex);
  UfCall call("UF_CLONE_add_part", {text(part_name)});
  if (call.early() != 0) {
    return call.early();
  }
  if (int refused = cloneRefusal(); refused != 0) {
    return call.finish(refused);
  }
  PartData* part = part_name == nullptr ? nullptr : findPartByName(ufIn(part_name));
  if (part == nullptr) {
    return call.finish(kErrorNotFound);
  }
  addToClone(part->tag);
  return call.finish(0);
}

int UF_CLONE_apply_defaults(UF_CLONE_naming_failures_p_t failures) {
  return cloneSetting("UF_CLONE_apply_defaults", "",
                      [&] { fillNamingFailures("UF_CLONE_apply_defaults", failures); });
}

int UF_CLONE_perform_clone(UF_CLONE_naming_failures_p_t failures) {
  Lock lock(state().mutex);
  UfCall call("UF_CLONE_perform_clone", {});
  if (call.early() != 0) {
    return call.early();
  }
  if (int refused = cloneRefusal(); refused != 0) {
    return call.finish(refused);
  }
  CloneSession& clone = state().clone;
  if (clone.directory.empty()) {
    return call.finish(kErrorCloneState);
  }
  if (!clone.dryrun) {
    for (tag_t tag : clone.parts) {
      const PartData& part = *findPart(tag);
      std::vector<std::string> files = part.definition.cloneFiles;
      if (files.empty()) {
        files.push_back(cloneFileName(part));
      }
      for (const std::string& file : files) {
        std::filesystem::path target = fileSystemPath(clone.directory) / fileSystemPath(file);
        std::error_code ignored;
        std::filesystem::create_directories(target.parent_path(), ignored);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        if (!out) {
          return call.finish(kErrorFileNotFound);
        }
        out << "simulated NX export of "
            << (part.definition.managed ? encodedName(part) : part.definition.fullPath) << "\n";
      }
    }
  }
  fillNamingFailures("UF_CLONE_perform_clone", failures);
  return call.finish(0);
}

int UF_ASSEM_ask_component_data(tag_t component, char part_name[MAX_FSPEC_BUFSIZE],
                                char refset_name[UF_OBJ_NAME_BUFSIZE],
                                char instance_name[UF_CFI_MAX_FILE_NAME_BUFSIZE], double origin[3],
                                double csys_matrix[9], double transform[4][4]) {
  Lock lock(state().mutex);
  UfCall call("UF_ASSEM_ask_component_data", {tagText(component)});
  if (call.early() != 0) {
    return call.early();
  }
  auto found = state().components.find(component);
  if (found == state().components.end()) {
    return call.finish(kErrorBadTag);
  }
  const ComponentData& c = found->second;
  if (int status = fillBuffer(c.backingName, part_name, MAX_FSPEC_NCHARS); status != 0) {
    return call.finish(status);
  }
  if (refset_name != nullptr) {
    fillBuffer("MODEL", refset_name, UF_OBJ_NAME_NCHARS);
  }
  if (instance_name != nullptr) {
    fillBuffer(leadingCharacters(upperAscii(fileSystemPath(c.backingName).stem().u8string()),
                                 UF_CFI_MAX_FILE_NAME_NCHARS),
               instance_name, UF_CFI_MAX_FILE_NAME_NCHARS);
  }
  for (int i = 0; origin != nullptr && i < 3; ++i) {
    origin[i] = 0.0;
  }
  for (int i = 0; csys_matrix != nullptr && i < 9; ++i) {
    csys_matrix[i] = (i % 4 == 0) ? 1.0 : 0.0;
  }
  for (int r = 0; transform != nullptr && r < 4; ++r) {
    for (int k = 0; k < 4; ++k) {
      transform[r][k] = r == k ? 1.0 : 0.0;
    }
  }
  return call.finish(0);
}

void UF_free(void* data) {
  Lock lock(state().mutex);
  const Entry entry = enter("UF_free", {}, kCanThrow);
  if (data != nullptr) {
    releaseChecked(data, "UF_free");
  }
  raiseAfterRelease(entry);
}

void UF_free_string_array(int count, char** strings) {
  Lock lock(state().mutex);
  const Entry entry = enter("UF_free_string_array", {std::to_string(count)}, kCanThrow);
  if (strings != nullptr) {
    for (int i = 0; i < count; ++i) {
      if (strings[i] != nullptr) {
        releaseChecked(strings[i], "UF_free_string_array");
      }
    }
    releaseChecked(strings, "UF_free_string_array");
  }
  raiseAfterRelease(entry);
}

int UF_HELP_load_map_file(char* filename) {
  Lock lock(state().mutex);
  UfCall call("UF_HELP_load_map_file", {text(filename)});
  if (call.early() != 0) {
    return call.early();
  }
  if (filename == nullptr) {
    return call.finish(kErrorBadArgument);
  }
  std::ifstream in{fileSystemPath(ufIn(filename))};
  if (!in) {
    return call.finish(kErrorFileNotFound);
  }
  std::string line;
  while (std::getline(in, line)) {
    line = trimText(line);
    const auto equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == std::string::npos) {
      continue;
    }
    const std::string context = trimText(line.substr(0, equals));
    if (!context.empty()) {
      state().helpMap[context] = trimText(line.substr(equals + 1));
    }
  }
  return call.finish(0);
}

int UF_HELP_push_primary_context(char* app_context) {
  Lock lock(state().mutex);
  UfCall call("UF_HELP_push_primary_context", {text(app_context)});
  if (call.early() != 0) {
    return call.early();
  }
  if (app_context == nullptr || *app_context == '\0') {
    return call.finish(kErrorBadArgument);
  }
  state().helpStack.push_back(ufIn(app_context));
  return call.finish(0);
}

int UF_HELP_pop_context(void) {
  Lock lock(state().mutex);
  UfCall call("UF_HELP_pop_context", {});
  if (call.early() != 0) {
    return call.early();
  }
  auto& stack = state().helpStack;
  if (stack.empty()) {
    violation("UF_HELP_pop_context with no help context pushed");
    return call.finish(kErrorHelpStack);
  }
  stack.pop_back();
  return call.finish(0);
}

int UF_TEXT_set_text_mode(UF_TEXT_mode_t mode) {
  Lock lock(state().mutex);
  UfCall call("UF_TEXT_set_text_mode", {std::to_string(static_cast<int>(mode))});
  if (call.early() != 0) {
    return call.early();
  }
  if (mode != UF_TEXT_LOCALE && mode != UF_TEXT_UTF8 && mode != UF_TEXT_ALL_UTF8) {
    return call.finish(kErrorBadArgument);
  }
  state().textMode = mode;
  return call.finish(0);
}

UF_TEXT_mode_t UF_TEXT_ask_text_mode(void) {
  Lock lock(state().mutex);
  Entry entry = enter("UF_TEXT_ask_text_mode", {}, 0);
  const UF_TEXT_mode_t mode = state().textMode;
  setOutcome(entry.index, std::to_string(static_cast<int>(mode)));
  return mode;
}

}  // extern "C"
