// Narrow paths are file names as they stand.
#include "sim/nx/State.h"

namespace nxsim {
namespace detail {

std::filesystem::path fileSystemPath(const std::string& narrow) {
  return std::filesystem::path(narrow);
}

}  // namespace detail
}  // namespace nxsim
