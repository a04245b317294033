/* Part families. */
#ifndef UF_FAM_H_INCLUDED
#define UF_FAM_H_INCLUDED

#include <uf_defs.h>

#ifdef __cplusplus
extern "C" {
#endif

extern UFUNEXPORT int UF_FAM_ask_instance_data(tag_t instance, tag_t* family, int* member_index);

#ifdef __cplusplus
}
#endif

#endif /* UF_FAM_H_INCLUDED */
