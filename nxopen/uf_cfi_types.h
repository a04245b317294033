/* Sizes of file names as the file interface stores them. */
#ifndef UF_CFI_TYPES_H_INCLUDED
#define UF_CFI_TYPES_H_INCLUDED

#include <uf_defs.h>

#define UF_CFI_MAX_FILE_NAME_NCHARS 1148
#define UF_CFI_MAX_FILE_NAME_BUFSIZE (NX_BUFSIZE(UF_CFI_MAX_FILE_NAME_NCHARS))

#endif /* UF_CFI_TYPES_H_INCLUDED */
