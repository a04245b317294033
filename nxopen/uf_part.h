/* Parts: their file names, their modified state and part families. */
#ifndef UF_PART_H_INCLUDED
#define UF_PART_H_INCLUDED

#include <uf_defs.h>
#include <uf_part_types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The part's full file name; for a managed part its encoded name. */
extern UFUNEXPORT int UF_PART_ask_part_name(tag_t part, char part_fspec[MAX_FSPEC_BUFSIZE]);
/* Whether the part has unsaved changes; no status. */
extern UFUNEXPORT logical UF_PART_is_modified(tag_t part);
extern UFUNEXPORT int UF_PART_is_family_instance(tag_t part, logical* is_family_instance);
extern UFUNEXPORT int UF_PART_is_family_template(tag_t part, logical* is_family_template);
/* NULL_TAG in *instance when the part is no family instance. */
extern UFUNEXPORT int UF_PART_ask_family_instance(tag_t part, tag_t* instance);
extern UFUNEXPORT int UF_PART_free_load_status(UF_PART_load_status_p_t load_status);

#ifdef __cplusplus
}
#endif

#endif /* UF_PART_H_INCLUDED */
