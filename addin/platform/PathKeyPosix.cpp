// Path keys on POSIX: names that differ in case are different files.
#include "addin/platform/PathKey.h"

namespace platform {

std::filesystem::path::string_type pathKey(const std::filesystem::path& path) {
  return path.lexically_normal().native();
}

}  // namespace platform
