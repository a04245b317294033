/* Records of part operations. */
#ifndef UF_PART_TYPES_H_INCLUDED
#define UF_PART_TYPES_H_INCLUDED

#include <uf_defs.h>

/* The parts a load could not load; the arrays are NX's, released by
   UF_PART_free_load_status. */
struct UF_PART_load_status_s {
  logical failed;
  logical user_abort;
  int n_parts;
  char** file_names;
  int* statuses;
};
typedef struct UF_PART_load_status_s UF_PART_load_status_t, *UF_PART_load_status_p_t;

#endif /* UF_PART_TYPES_H_INCLUDED */
