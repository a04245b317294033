// NX's UF functions, as a table the add-in calls through. Each returns NX's int status
// (0 = success) unless NX's own function returns something else. Every use is bracketed by
// UF_initialize and UF_terminate, and UF_terminate follows only a successful UF_initialize.
// Memory that a function hands out is released with UF_free / UF_free_string_array /
// UF_PART_free_load_status of the same table.
#pragma once

#include "addin/host/NXObject.h"

namespace host {

// Buffer sizes of NX's fixed-size text outputs, terminating zero included.
constexpr int MAX_FSPEC_BUFSIZE = 1025;
constexpr int MAX_ENTITY_NAME_BUFSIZE = 133;
constexpr int UF_UGMGR_PARTNO_BUFSIZE = 513;
constexpr int UF_UGMGR_PARTREV_BUFSIZE = 257;
constexpr int UF_UGMGR_FTYPE_BUFSIZE = 257;
constexpr int UF_UGMGR_FNAME_BUFSIZE = 513;
constexpr int UF_UGMGR_NAME_BUFSIZE = 513;

// UF_ask_application_module's identifier of the drafting application.
constexpr int UF_APP_DRAFTING = 1;

using UF_UGMGR_tag_t = tag_t;

struct UF_FAM_instance_data_s {
  tag_t family;
  int index;
};
using UF_FAM_instance_data_p_t = UF_FAM_instance_data_s*;

// Parts that could not be loaded; the arrays are NX's and freed by UF_PART_free_load_status.
struct UF_PART_load_status_s {
  int failed;
  int n_parts;
  char** file_names;
  int* statuses;
};
using UF_PART_load_status_p_t = UF_PART_load_status_s*;

// Names that the clone naming rules could not apply. Arrays of n_failures entries, released
// with UF_free_string_array (names) and UF_free (statuses).
struct UF_CLONE_naming_failures_s {
  int n_failures;
  int* statuses;
  char** input_names;
  char** output_names;
};
using UF_CLONE_naming_failures_p_t = UF_CLONE_naming_failures_s*;

struct UF_CLONE_name_rule_def_s {
  int type;
  char* base_string;
  char* new_string;
};
using UF_CLONE_name_rule_def_p_t = UF_CLONE_name_rule_def_s*;

class Uf {
 public:
  virtual ~Uf() = default;

  virtual int UF_initialize() = 0;
  virtual int UF_terminate() = 0;

  virtual int UF_PART_ask_part_name(tag_t part, char part_fspec[MAX_FSPEC_BUFSIZE]) = 0;
  // NX answers this one directly: whether the part has unsaved changes.
  virtual bool UF_PART_is_modified(tag_t part) = 0;
  virtual int UF_PART_is_family_instance(tag_t part, bool* is_instance) = 0;
  virtual int UF_PART_is_family_template(tag_t part, bool* is_template) = 0;
  // NULL_TAG in *instance when the part is no family instance.
  virtual int UF_PART_ask_family_instance(tag_t part, tag_t* instance) = 0;
  virtual int UF_FAM_ask_instance_data(tag_t instance, UF_FAM_instance_data_p_t data) = 0;
  virtual void UF_PART_free_load_status(UF_PART_load_status_p_t status) = 0;

  virtual int UF_UGMGR_decode_part_file_name(const char* encoded_name,
                                             char part_number[UF_UGMGR_PARTNO_BUFSIZE],
                                             char part_revision[UF_UGMGR_PARTREV_BUFSIZE],
                                             char part_file_type[UF_UGMGR_FTYPE_BUFSIZE],
                                             char part_file_name[UF_UGMGR_FNAME_BUFSIZE]) = 0;
  virtual int UF_UGMGR_ask_part_tag(const char* part_number, UF_UGMGR_tag_t* part) = 0;
  virtual int UF_UGMGR_ask_configured_rev(UF_UGMGR_tag_t part, UF_UGMGR_tag_t* revision) = 0;
  virtual int UF_UGMGR_ask_part_revision_id(UF_UGMGR_tag_t revision,
                                            char revision_id[UF_UGMGR_NAME_BUFSIZE]) = 0;

  virtual int UF_ask_application_module(int* module_id) = 0;

  virtual int UF_CLONE_initialise(int operation_class) = 0;
  virtual int UF_CLONE_terminate() = 0;
  virtual int UF_CLONE_init_naming_failures(UF_CLONE_naming_failures_p_t failures) = 0;
  virtual int UF_CLONE_set_def_action(int action) = 0;
  virtual int UF_CLONE_set_def_directory(const char* directory) = 0;
  virtual int UF_CLONE_set_assoc_file_root_dir(const char* directory) = 0;
  virtual int UF_CLONE_set_family_treatment(int treatment) = 0;
  virtual int UF_CLONE_set_def_naming(int naming) = 0;
  virtual int UF_CLONE_set_name_rule(UF_CLONE_name_rule_def_p_t rule,
                                     UF_CLONE_naming_failures_p_t failures) = 0;
  virtual int UF_CLONE_set_dryrun(bool dryrun) = 0;
  virtual int UF_CLONE_add_assembly(const char* part_name, UF_PART_load_status_p_t status) = 0;
  virtual int UF_CLONE_add_part(const char* part_name) = 0;
  virtual int UF_CLONE_apply_defaults(UF_CLONE_naming_failures_p_t failures) = 0;
  virtual int UF_CLONE_perform_clone(UF_CLONE_naming_failures_p_t failures) = 0;

  // part_name is the file the assembly records for the component.
  virtual int UF_ASSEM_ask_component_data(tag_t component, char part_name[MAX_FSPEC_BUFSIZE],
                                          char refset_name[MAX_ENTITY_NAME_BUFSIZE],
                                          char instance_name[MAX_ENTITY_NAME_BUFSIZE],
                                          double origin[3], double csys_matrix[9],
                                          double transform[4][4]) = 0;

  virtual void UF_free(void* data) = 0;
  virtual void UF_free_string_array(int count, char** strings) = 0;

  virtual int UF_HELP_load_map_file(const char* map_file) = 0;
  // NX takes the context as a writable text.
  virtual int UF_HELP_push_primary_context(char* context) = 0;
  virtual int UF_HELP_pop_context() = 0;
};

}  // namespace host
