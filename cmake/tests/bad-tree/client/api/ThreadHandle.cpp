// A file that NX's toolchain could not build: the portability check must refuse it.
#include <pthread.h>

void* handleOf(pthread_t thread) { return pthread_gethandle(thread); }
