// The C types through which the Torvane library (a Go c-shared library) is called.
#pragma once

#include <cstdint>
#include <string>

namespace vantel {

// A string argument: the bytes are not NUL-terminated, stay owned by the caller and are
// valid only for the duration of the call.
struct GoString {
  const char* p;
  int64_t n;
};

// What a Torvane function returns: NUL-terminated texts allocated by the library, either
// may be null. Every non-null pointer goes back to the library's FreeAllocatedString.
struct GoStringReturnHolder {
  char* result;
  char* error;
};

inline GoString makeGoString(const std::string& text) {
  return GoString{text.data(), static_cast<int64_t>(text.size())};
}

inline uint8_t makeGoBool(bool flag) { return flag ? uint8_t{1} : uint8_t{0}; }

// Ids are signed in vantel and unsigned in Torvane; the bits are passed unchanged.
inline uint64_t makeGoUint64(int64_t id) { return static_cast<uint64_t>(id); }

}  // namespace vantel
