/* How the text of UF calls is encoded. */
#ifndef UF_TEXT_DATATYPES_H_INCLUDED
#define UF_TEXT_DATATYPES_H_INCLUDED

enum UF_TEXT_mode_s {
  /* The code page of the user's locale; characters outside it are lost. */
  UF_TEXT_LOCALE,
  UF_TEXT_UTF8,
  /* Every char* of every UF call is UTF-8. */
  UF_TEXT_ALL_UTF8
};
typedef enum UF_TEXT_mode_s UF_TEXT_mode_t;

#endif /* UF_TEXT_DATATYPES_H_INCLUDED */
