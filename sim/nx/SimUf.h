// The simulated NX's table of UF functions.
#pragma once

#include "addin/host/Uf.h"

namespace nxsim {
namespace detail {

host::Uf& ufObject();

}  // namespace detail
}  // namespace nxsim
