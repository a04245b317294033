// The UF functions of the simulated NX: part names and states, Teamcenter names and revisions,
// families, the application, the clone export, component data, memory and help contexts.
#include "sim/nx/SimUf.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

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

std::string text(const char* value) { return value == nullptr ? std::string("<null>") : value; }

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

void fillNamingFailures(const std::string& call, host::UF_CLONE_naming_failures_p_t failures) {
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
    failures->input_names[i] = allocateString(list[i].inputName);
    failures->output_names[i] = allocateString(list[i].outputName);
  }
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

class SimUf : public host::Uf {
 public:
  int UF_initialize() override {
    Lock lock(state().mutex);
    UfCall call("UF_initialize", {}, false);
    if (call.early() != 0) {
      return call.early();
    }
    ++state().ufDepth;
    return call.finish(0);
  }

  int UF_terminate() override {
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

  int UF_PART_ask_part_name(tag_t part, char part_fspec[host::MAX_FSPEC_BUFSIZE]) override {
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
    if (!copyToBuffer(name, part_fspec, host::MAX_FSPEC_BUFSIZE)) {
      return call.finish(part_fspec == nullptr ? kErrorBadArgument : kErrorBufferTooSmall);
    }
    return call.finish(0);
  }

  bool UF_PART_is_modified(tag_t part) override {
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

  int UF_PART_is_family_instance(tag_t part, bool* is_instance) override {
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

  int UF_PART_is_family_template(tag_t part, bool* is_template) override {
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

  int UF_PART_ask_family_instance(tag_t part, tag_t* instance) override {
    Lock lock(state().mutex);
    UfCall call("UF_PART_ask_family_instance", {tagText(part)});
    if (call.early() != 0) {
      return call.early();
    }
    PartData* p = findPart(part);
    if (p == nullptr || instance == nullptr) {
      return call.finish(p == nullptr ? kErrorBadTag : kErrorBadArgument);
    }
    *instance = p->definition.familyIndex >= 0 ? (kFamilyInstanceBit | part) : host::NULL_TAG;
    return call.finish(0);
  }

  int UF_FAM_ask_instance_data(tag_t instance, host::UF_FAM_instance_data_p_t data) override {
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
    if (data == nullptr) {
      return call.finish(kErrorBadArgument);
    }
    data->family = kFamilyBit | p->tag;
    data->index = p->definition.familyIndex;
    return call.finish(0);
  }

  void UF_PART_free_load_status(host::UF_PART_load_status_p_t status) override {
    Lock lock(state().mutex);
    enter("UF_PART_free_load_status", {}, 0);
    if (status == nullptr) {
      return;
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
  }

  int UF_UGMGR_decode_part_file_name(const char* encoded_name,
                                     char part_number[host::UF_UGMGR_PARTNO_BUFSIZE],
                                     char part_revision[host::UF_UGMGR_PARTREV_BUFSIZE],
                                     char part_file_type[host::UF_UGMGR_FTYPE_BUFSIZE],
                                     char part_file_name[host::UF_UGMGR_FNAME_BUFSIZE]) override {
    Lock lock(state().mutex);
    UfCall call("UF_UGMGR_decode_part_file_name", {text(encoded_name)});
    if (call.early() != 0) {
      return call.early();
    }
    if (encoded_name == nullptr) {
      return call.finish(kErrorBadArgument);
    }
    ManagedName decoded;
    if (PartData* p = findManagedPartByName(encoded_name)) {
      decoded = *p->definition.managed;
    } else if (std::strncmp(encoded_name, "@DB/", 4) == 0) {
      auto fields = split(std::string(encoded_name + 4), '/');
      fields.resize(4);
      decoded.partNumber = fields[0];
      decoded.revision = fields[1];
      decoded.fileType = fields[2];
      decoded.fileName = fields[3];
    } else {
      return call.finish(kErrorNotManagedName);
    }
    if (!copyToBuffer(decoded.partNumber, part_number, host::UF_UGMGR_PARTNO_BUFSIZE) ||
        !copyToBuffer(decoded.revision, part_revision, host::UF_UGMGR_PARTREV_BUFSIZE) ||
        !copyToBuffer(decoded.fileType, part_file_type, host::UF_UGMGR_FTYPE_BUFSIZE) ||
        !copyToBuffer(decoded.fileName, part_file_name, host::UF_UGMGR_FNAME_BUFSIZE)) {
      return call.finish(kErrorBufferTooSmall);
    }
    return call.finish(0);
  }

  int UF_UGMGR_ask_part_tag(const char* part_number, host::UF_UGMGR_tag_t* part) override {
    Lock lock(state().mutex);
    UfCall call("UF_UGMGR_ask_part_tag", {text(part_number)});
    if (call.early() != 0) {
      return call.early();
    }
    if (part_number == nullptr || part == nullptr) {
      return call.finish(kErrorBadArgument);
    }
    const auto found = state().partsByNumber.find(part_number);
    if (found != state().partsByNumber.end()) {
      *part = kDbPartBit | found->second;
      return call.finish(0);
    }
    return call.finish(kErrorNotFound);
  }

  int UF_UGMGR_ask_configured_rev(host::UF_UGMGR_tag_t part,
                                  host::UF_UGMGR_tag_t* revision) override {
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

  int UF_UGMGR_ask_part_revision_id(host::UF_UGMGR_tag_t revision,
                                    char revision_id[host::UF_UGMGR_NAME_BUFSIZE]) override {
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
    if (!copyToBuffer(p->definition.managed->revisionId, revision_id,
                      host::UF_UGMGR_NAME_BUFSIZE)) {
      return call.finish(revision_id == nullptr ? kErrorBadArgument : kErrorBufferTooSmall);
    }
    return call.finish(0);
  }

  int UF_ask_application_module(int* module_id) override {
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

  int UF_CLONE_initialise(int operation_class) override {
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
    clone.operationClass = operation_class;
    return call.finish(0);
  }

  int UF_CLONE_terminate() override {
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

  int UF_CLONE_init_naming_failures(host::UF_CLONE_naming_failures_p_t failures) override {
    Lock lock(state().mutex);
    UfCall call("UF_CLONE_init_naming_failures", {});
    if (call.early() != 0) {
      return call.early();
    }
    if (failures == nullptr) {
      return call.finish(kErrorBadArgument);
    }
    *failures = host::UF_CLONE_naming_failures_s{0, nullptr, nullptr, nullptr};
    return call.finish(0);
  }

  int UF_CLONE_set_def_action(int action) override {
    return cloneSetting("UF_CLONE_set_def_action", std::to_string(action), [] {});
  }

  int UF_CLONE_set_def_directory(const char* directory) override {
    return cloneSetting("UF_CLONE_set_def_directory", text(directory),
                        [&] { state().clone.directory = directory == nullptr ? "" : directory; });
  }

  int UF_CLONE_set_assoc_file_root_dir(const char* directory) override {
    return cloneSetting("UF_CLONE_set_assoc_file_root_dir", text(directory), [&] {
      state().clone.assocRootDirectory = directory == nullptr ? "" : directory;
    });
  }

  int UF_CLONE_set_family_treatment(int treatment) override {
    return cloneSetting("UF_CLONE_set_family_treatment", std::to_string(treatment), [] {});
  }

  int UF_CLONE_set_def_naming(int naming) override {
    return cloneSetting("UF_CLONE_set_def_naming", std::to_string(naming), [] {});
  }

  int UF_CLONE_set_name_rule(host::UF_CLONE_name_rule_def_p_t rule,
                             host::UF_CLONE_naming_failures_p_t failures) override {
    const std::string args = rule == nullptr
                                 ? "<null>"
                                 : std::to_string(rule->type) + " " + text(rule->base_string) +
                                       " " + text(rule->new_string);
    return cloneSetting("UF_CLONE_set_name_rule", args, [&] {
      if (rule != nullptr && rule->new_string != nullptr) {
        state().clone.nameRuleNewString = rule->new_string;
      }
      fillNamingFailures("UF_CLONE_set_name_rule", failures);
    });
  }

  int UF_CLONE_set_dryrun(bool dryrun) override {
    return cloneSetting("UF_CLONE_set_dryrun", dryrun ? "true" : "false",
                        [&] { state().clone.dryrun = dryrun; });
  }

  int UF_CLONE_add_assembly(const char* part_name, host::UF_PART_load_status_p_t status) override {
    Lock lock(state().mutex);
    UfCall call("UF_CLONE_add_assembly", {text(part_name)});
    if (status != nullptr) {
      *status = host::UF_PART_load_status_s{0, 0, nullptr, nullptr};
    }
    if (call.early() != 0) {
      return call.early();
    }
    if (int refused = cloneRefusal(); refused != 0) {
      return call.finish(refused);
    }
    PartData* root = part_name == nullptr ? nullptr : findPartByName(part_name);
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
      status->failed = 1;
      status->n_parts = static_cast<int>(count);
      status->file_names = static_cast<char**>(allocateBytes(sizeof(char*) * count));
      status->statuses = static_cast<int*>(allocateBytes(sizeof(int) * count));
      for (std::size_t i = 0; i < count; ++i) {
        status->file_names[i] = allocateString(failures[i].fileName);
        status->statuses[i] = failures[i].status;
      }
    }
    return call.finish(0);
  }

  int UF_CLONE_add_part(const char* part_name) override {
    Lock lock(state().mutex);
    UfCall call("UF_CLONE_add_part", {text(part_name)});
    if (call.early() != 0) {
      return call.early();
    }
    if (int refused = cloneRefusal(); refused != 0) {
      return call.finish(refused);
    }
    PartData* part = part_name == nullptr ? nullptr : findPartByName(part_name);
    if (part == nullptr) {
      return call.finish(kErrorNotFound);
    }
    addToClone(part->tag);
    return call.finish(0);
  }

  int UF_CLONE_apply_defaults(host::UF_CLONE_naming_failures_p_t failures) override {
    return cloneSetting("UF_CLONE_apply_defaults", "",
                        [&] { fillNamingFailures("UF_CLONE_apply_defaults", failures); });
  }

  int UF_CLONE_perform_clone(host::UF_CLONE_naming_failures_p_t failures) override {
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

  int UF_ASSEM_ask_component_data(tag_t component, char part_name[host::MAX_FSPEC_BUFSIZE],
                                  char refset_name[host::MAX_ENTITY_NAME_BUFSIZE],
                                  char instance_name[host::MAX_ENTITY_NAME_BUFSIZE],
                                  double origin[3], double csys_matrix[9],
                                  double transform[4][4]) override {
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
    if (!copyToBuffer(c.backingName, part_name, host::MAX_FSPEC_BUFSIZE)) {
      return call.finish(part_name == nullptr ? kErrorBadArgument : kErrorBufferTooSmall);
    }
    copyToBuffer("MODEL", refset_name, host::MAX_ENTITY_NAME_BUFSIZE);
    const std::string instance = upperAscii(std::filesystem::path(c.backingName).stem().string());
    copyToBuffer(instance.substr(0, host::MAX_ENTITY_NAME_BUFSIZE - 1), instance_name,
                 host::MAX_ENTITY_NAME_BUFSIZE);
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

  void UF_free(void* data) override {
    Lock lock(state().mutex);
    enter("UF_free", {}, 0);
    if (data != nullptr) {
      releaseChecked(data, "UF_free");
    }
  }

  void UF_free_string_array(int count, char** strings) override {
    Lock lock(state().mutex);
    enter("UF_free_string_array", {std::to_string(count)}, 0);
    if (strings == nullptr) {
      return;
    }
    for (int i = 0; i < count; ++i) {
      if (strings[i] != nullptr) {
        releaseChecked(strings[i], "UF_free_string_array");
      }
    }
    releaseChecked(strings, "UF_free_string_array");
  }

  int UF_HELP_load_map_file(const char* map_file) override {
    Lock lock(state().mutex);
    UfCall call("UF_HELP_load_map_file", {text(map_file)});
    if (call.early() != 0) {
      return call.early();
    }
    if (map_file == nullptr) {
      return call.finish(kErrorBadArgument);
    }
    std::ifstream in{fileSystemPath(map_file)};
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

  int UF_HELP_push_primary_context(char* context) override {
    Lock lock(state().mutex);
    UfCall call("UF_HELP_push_primary_context", {text(context)});
    if (call.early() != 0) {
      return call.early();
    }
    if (context == nullptr || *context == '\0') {
      return call.finish(kErrorBadArgument);
    }
    state().helpStack.emplace_back(context);
    return call.finish(0);
  }

  int UF_HELP_pop_context() override {
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

 private:
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

  static int cloneRefusal() {
    if (!state().clone.active) {
      violation("UF_CLONE call without UF_CLONE_initialise");
      return kErrorCloneState;
    }
    return 0;
  }

  static void addToClone(tag_t part) {
    auto& parts = state().clone.parts;
    if (std::find(parts.begin(), parts.end(), part) == parts.end()) {
      parts.push_back(part);
    }
  }

  static void addMembers(tag_t component) {
    const ComponentData& c = state().components.at(component);
    for (tag_t child : c.children) {
      const ComponentData& member = state().components.at(child);
      if (findPart(member.prototype) != nullptr) {
        addToClone(member.prototype);
      }
      addMembers(child);
    }
  }

  static void releaseChecked(void* pointer, const std::string& call) {
    if (!release(pointer)) {
      violation(call + " of memory that NX did not hand out or that was released already");
    }
  }
};

}  // namespace

host::Uf& ufObject() {
  static SimUf* uf = new SimUf();
  return *uf;
}

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
