// The simulated plot manager of a part, which prints drawing sheets to a PDF file.
#pragma once

#include <memory>

#include "addin/host/Nx.h"

namespace nxsim {
namespace detail {

std::unique_ptr<host::PlotManager> makePlotManager(host::tag_t part);
host::Session* sessionObject();

}  // namespace detail
}  // namespace nxsim
