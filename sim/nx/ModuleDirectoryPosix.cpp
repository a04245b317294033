// The directory of the nxsim module, found through the dynamic loader.
#include <dlfcn.h>

#include "sim/nx/State.h"

namespace nxsim {
namespace detail {

std::filesystem::path moduleDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&moduleDirectory), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  std::error_code ignored;
  std::filesystem::path module = std::filesystem::absolute(info.dli_fname, ignored);
  return module.parent_path();
}

}  // namespace detail
}  // namespace nxsim
