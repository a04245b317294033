/* The UF session: opening and closing a bracket of UF calls, releasing memory that UF
   functions hand out, and the running application. */
#ifndef UF_H_INCLUDED
#define UF_H_INCLUDED

#include <uf_defs.h>

#define UF_APP_DRAFTING (1)

#ifdef __cplusplus
extern "C" {
#endif

/* 0 on success; every other UF call needs a successful one. Sets the text mode to
   UF_TEXT_LOCALE. */
extern UFUNEXPORT int UF_initialize(void);
extern UFUNEXPORT int UF_terminate(void);

extern UFUNEXPORT void UF_free(void* data);
extern UFUNEXPORT void UF_free_string_array(int n_strings, char** string_array);

extern UFUNEXPORT int UF_ask_application_module(int* module_id);

#ifdef __cplusplus
}
#endif

#endif /* UF_H_INCLUDED */
