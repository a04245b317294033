// Where the library itself lies, and the environment as it is at the moment of a call.
package main

/*
#include <windows.h>
#include <stdlib.h>

static char* torvane_module_path(void) {
	HMODULE module = NULL;
	if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
	                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
	                        (LPCWSTR)(void*)&torvane_module_path, &module)) {
		return NULL;
	}
	DWORD size = 260;
	for (;;) {
		wchar_t* wide = (wchar_t*)malloc(size * sizeof(wchar_t));
		if (wide == NULL) return NULL;
		DWORD n = GetModuleFileNameW(module, wide, size);
		if (n == 0) {
			free(wide);
			return NULL;
		}
		if (n < size - 1) {
			int len = WideCharToMultiByte(CP_UTF8, 0, wide, (int)n, NULL, 0, NULL, NULL);
			char* out = (char*)malloc((size_t)len + 1);
			if (out != NULL) {
				WideCharToMultiByte(CP_UTF8, 0, wide, (int)n, out, len, NULL, NULL);
				out[len] = 0;
			}
			free(wide);
			return out;
		}
		free(wide);
		size *= 2;
	}
}
*/
import "C"

import (
	"os"
	"unsafe"
)

func modulePath() string {
	p := C.torvane_module_path()
	if p == nil {
		return ""
	}
	defer C.free(unsafe.Pointer(p))
	return C.GoString(p)
}

// liveGetenv reads the process environment; on Windows Go asks the system each time.
func liveGetenv(name string) string { return os.Getenv(name) }
