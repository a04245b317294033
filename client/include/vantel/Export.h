// Marks what vantel exports across the shared-library boundary; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#if defined(VANTEL_BUILDING)
#define VANTEL_API __declspec(dllexport)
#else
#define VANTEL_API __declspec(dllimport)
#endif
#else
#define VANTEL_API __attribute__((visibility("default")))
#endif
