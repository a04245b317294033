/* Assemblies: what a component records about its part. */
#ifndef UF_ASSEM_H_INCLUDED
#define UF_ASSEM_H_INCLUDED

#include <uf_cfi_types.h>
#include <uf_defs.h>
#include <uf_obj_types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* part_name is the file the assembly records for the component, loaded or not. */
extern UFUNEXPORT int UF_ASSEM_ask_component_data(tag_t component,
                                                  char part_name[MAX_FSPEC_BUFSIZE],
                                                  char refset_name[UF_OBJ_NAME_BUFSIZE],
                                                  char instance_name[UF_CFI_MAX_FILE_NAME_BUFSIZE],
                                                  double origin[3], double csys_matrix[9],
                                                  double transform[4][4]);

#ifdef __cplusplus
}
#endif

#endif /* UF_ASSEM_H_INCLUDED */
