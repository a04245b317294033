/* The text mode of UF calls. */
#ifndef UF_TEXT_H_INCLUDED
#define UF_TEXT_H_INCLUDED

#include <uf_defs.h>
#include <uf_text_datatypes.h>

#ifdef __cplusplus
extern "C" {
#endif

extern UFUNEXPORT int UF_TEXT_set_text_mode(UF_TEXT_mode_t mode);
extern UFUNEXPORT UF_TEXT_mode_t UF_TEXT_ask_text_mode(void);

#ifdef __cplusplus
}
#endif

#endif /* UF_TEXT_H_INCLUDED */
