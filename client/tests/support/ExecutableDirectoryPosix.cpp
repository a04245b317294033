// The running test executable's directory on Linux.
#include <filesystem>

#include "client/tests/support/TestPaths.h"

namespace vantel::testing {

std::filesystem::path executableDirectory() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

}  // namespace vantel::testing
