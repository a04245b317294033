/* Context help: the help map of an application and the stack of help contexts. */
#ifndef UF_HELP_H_INCLUDED
#define UF_HELP_H_INCLUDED

#include <uf_defs.h>

#ifdef __cplusplus
extern "C" {
#endif

extern UFUNEXPORT int UF_HELP_load_map_file(char* filename);
extern UFUNEXPORT int UF_HELP_push_primary_context(char* app_context);
extern UFUNEXPORT int UF_HELP_pop_context(void);

#ifdef __cplusplus
}
#endif

#endif /* UF_HELP_H_INCLUDED */
