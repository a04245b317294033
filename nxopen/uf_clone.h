/* The clone operation: exporting parts with naming rules into a directory. */
#ifndef UF_CLONE_H_INCLUDED
#define UF_CLONE_H_INCLUDED

#include <uf_defs.h>
#include <uf_part_types.h>

enum UF_CLONE_operation_class_e {
  UF_CLONE_clone_operation,
  UF_CLONE_edit_operation,
  UF_CLONE_import_operation,
  UF_CLONE_export_operation
};
typedef enum UF_CLONE_operation_class_e UF_CLONE_operation_class_t;

enum UF_CLONE_action_e {
  UF_CLONE_clone,
  UF_CLONE_retain,
  UF_CLONE_replace,
  UF_CLONE_overwrite,
  UF_CLONE_use_existing,
  UF_CLONE_default_action,
  UF_CLONE_exclude,
  UF_CLONE_new_revision
};
typedef enum UF_CLONE_action_e UF_CLONE_action_t;

enum UF_CLONE_family_treatment_e {
  UF_CLONE_treat_as_lost,
  UF_CLONE_strip_family_status,
  UF_CLONE_give_error
};
typedef enum UF_CLONE_family_treatment_e UF_CLONE_family_treatment_t;

enum UF_CLONE_naming_technique_e {
  UF_CLONE_autogen,
  UF_CLONE_autotranslate,
  UF_CLONE_naming_rule,
  UF_CLONE_user_name,
  UF_CLONE_default_naming,
  UF_CLONE_altid_autotranslate
};
typedef enum UF_CLONE_naming_technique_e UF_CLONE_naming_technique_t;

enum UF_CLONE_name_rule_type_e {
  UF_CLONE_prepend_string,
  UF_CLONE_append_string,
  UF_CLONE_replace_string,
  UF_CLONE_rename
};
typedef enum UF_CLONE_name_rule_type_e UF_CLONE_name_rule_type_t;

/* Names the naming rules could not apply: n_failures entries in each array, the names
   released with UF_free_string_array and the statuses with UF_free. */
struct UF_CLONE_naming_failures_s {
  int n_failures;
  int* statuses;
  char** input_names;
  char** output_names;
};
typedef struct UF_CLONE_naming_failures_s UF_CLONE_naming_failures_t,
    *UF_CLONE_naming_failures_p_t;

struct UF_CLONE_name_rule_def_s {
  UF_CLONE_name_rule_type_t type;
  char* base_string;
  char* new_string;
};
typedef struct UF_CLONE_name_rule_def_s UF_CLONE_name_rule_def_t, *UF_CLONE_name_rule_def_p_t;

#ifdef __cplusplus
extern "C" {
#endif

extern UFUNEXPORT int UF_CLONE_initialise(UF_CLONE_operation_class_t operation_class);
extern UFUNEXPORT int UF_CLONE_terminate(void);
extern UFUNEXPORT int UF_CLONE_init_naming_failures(UF_CLONE_naming_failures_p_t failures);
extern UFUNEXPORT int UF_CLONE_set_def_action(UF_CLONE_action_t action);
extern UFUNEXPORT int UF_CLONE_set_def_directory(const char* directory_name);
extern UFUNEXPORT int UF_CLONE_set_assoc_file_root_dir(const char* root_directory);
extern UFUNEXPORT int UF_CLONE_set_family_treatment(UF_CLONE_family_treatment_t treatment);
extern UFUNEXPORT int UF_CLONE_set_def_naming(UF_CLONE_naming_technique_t naming_technique);
extern UFUNEXPORT int UF_CLONE_set_name_rule(UF_CLONE_name_rule_def_p_t name_rule,
                                             UF_CLONE_naming_failures_p_t naming_failures);
extern UFUNEXPORT int UF_CLONE_set_dryrun(logical dryrun);
extern UFUNEXPORT int UF_CLONE_add_assembly(const char* part_name,
                                            UF_PART_load_status_p_t load_status);
extern UFUNEXPORT int UF_CLONE_add_part(const char* part_name);
extern UFUNEXPORT int UF_CLONE_apply_defaults(UF_CLONE_naming_failures_p_t naming_failures);
extern UFUNEXPORT int UF_CLONE_perform_clone(UF_CLONE_naming_failures_p_t naming_failures);

#ifdef __cplusplus
}
#endif

#endif /* UF_CLONE_H_INCLUDED */
