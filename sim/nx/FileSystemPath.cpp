// Texts reach the simulated NX as UTF-8, file names included.
#include "sim/nx/State.h"

namespace nxsim {
namespace detail {

std::filesystem::path fileSystemPath(const std::string& utf8) {
  return std::filesystem::u8path(utf8);
}

}  // namespace detail
}  // namespace nxsim
