//go:build !windows

// Where the library itself lies, and the environment as it is at the moment of a call.
package main

/*
#cgo linux LDFLAGS: -ldl
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

static char* torvane_module_path(void) {
	Dl_info info;
	if (dladdr((void*)&torvane_module_path, &info) == 0 || info.dli_fname == NULL) {
		return NULL;
	}
	return strdup(info.dli_fname);
}
*/
import "C"

import "unsafe"

func modulePath() string {
	p := C.torvane_module_path()
	if p == nil {
		return ""
	}
	defer C.free(unsafe.Pointer(p))
	return C.GoString(p)
}

// liveGetenv reads the C environment, which the host may change after loading the library
// (Go's own copy is taken when the library loads).
func liveGetenv(name string) string {
	cname := C.CString(name)
	defer C.free(unsafe.Pointer(cname))
	v := C.getenv(cname)
	if v == nil {
		return ""
	}
	return C.GoString(v)
}
