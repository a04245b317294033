/* Teamcenter-managed parts: encoded part names, part and revision lookups. */
#ifndef UF_UGMGR_H_INCLUDED
#define UF_UGMGR_H_INCLUDED

#include <uf_defs.h>
#include <uf_ugmgr_types.h>

#ifdef __cplusplus
extern "C" {
#endif

extern UFUNEXPORT int UF_UGMGR_decode_part_file_name(
    const char* encoded_name, char part_number[UF_UGMGR_PARTNO_BUFSIZE],
    char part_revision[UF_UGMGR_PARTREV_BUFSIZE], char part_file_type[UF_UGMGR_FTYPE_BUFSIZE],
    char part_file_name[UF_UGMGR_FNAME_BUFSIZE]);
extern UFUNEXPORT int UF_UGMGR_ask_part_tag(char* part_number,
                                            UF_UGMGR_tag_t* database_part_tag);
extern UFUNEXPORT int UF_UGMGR_ask_configured_rev(UF_UGMGR_tag_t database_part_tag,
                                                  UF_UGMGR_tag_t* part_revision);
extern UFUNEXPORT int UF_UGMGR_ask_part_revision_id(UF_UGMGR_tag_t part_revision,
                                                    char revision_id[UF_UGMGR_NAME_BUFSIZE]);

#ifdef __cplusplus
}
#endif

#endif /* UF_UGMGR_H_INCLUDED */
