/* Sizes of object names. */
#ifndef UF_OBJ_TYPES_H_INCLUDED
#define UF_OBJ_TYPES_H_INCLUDED

#include <uf_defs.h>

#define UF_OBJ_NAME_NCHARS 128
#define UF_OBJ_NAME_BUFSIZE NX_BUFSIZE(UF_OBJ_NAME_NCHARS)

#endif /* UF_OBJ_TYPES_H_INCLUDED */
