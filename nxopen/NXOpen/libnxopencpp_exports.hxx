// The export attributes of NX Open's C++ libraries: imported by an add-in, exported by the
// library that implements them.
#ifndef NXOPEN_LIBNXOPENCPP_EXPORTS_HXX_INCLUDED
#define NXOPEN_LIBNXOPENCPP_EXPORTS_HXX_INCLUDED

#if defined(_WIN32) && !defined(NXOPEN_IMPLEMENTATION)
#define NXOPEN_IMPORT_EXPORT __declspec(dllimport)
#elif defined(_WIN32)
#define NXOPEN_IMPORT_EXPORT __declspec(dllexport)
#else
#define NXOPEN_IMPORT_EXPORT __attribute__((visibility("default")))
#endif

#define NXOPENCPPEXPORT NXOPEN_IMPORT_EXPORT
#define NXOPENCPP_ASSEMBLIESEXPORT NXOPEN_IMPORT_EXPORT
#define NXOPENCPP_DRAWINGSEXPORT NXOPEN_IMPORT_EXPORT
#define NXOPENUICPPEXPORT NXOPEN_IMPORT_EXPORT

#endif
