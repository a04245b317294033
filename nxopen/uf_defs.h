/* Basic types and sizes of NX's UF interface: tags, logicals, text buffer sizes and the
   export attribute of the UF library. Declared from NX's published reference. */
#ifndef UF_DEFS_H_INCLUDED
#define UF_DEFS_H_INCLUDED

#if defined(_WIN32) && !defined(NXOPEN_IMPLEMENTATION)
#define UFUNEXPORT __declspec(dllimport)
#elif defined(_WIN32)
#define UFUNEXPORT __declspec(dllexport)
#else
#define UFUNEXPORT __attribute__((visibility("default")))
#endif

/* NX sizes a buffer for n characters of any encoding: three bytes each and the zero. */
#define NX_BUFSIZE(num) (3 * (num) + 1)

#define MAX_FSPEC_NCHARS 1156
#define MAX_FSPEC_BUFSIZE NX_BUFSIZE(MAX_FSPEC_NCHARS)

#ifndef TAG_T_DEFINED
#define TAG_T_DEFINED
typedef unsigned int tag_t;
typedef tag_t* tag_p_t;
#endif

#ifndef NULL_TAG
#define NULL_TAG ((tag_t)0)
#endif

#ifndef LOGICAL_DEFINED
#define LOGICAL_DEFINED
#if defined(__cplusplus)
typedef bool logical;
#else
typedef unsigned char logical;
#endif
#endif

#endif /* UF_DEFS_H_INCLUDED */
