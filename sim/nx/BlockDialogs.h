// Block Styler dialogs of the simulated NX, made from a parsed dialog file.
#pragma once

#include <memory>
#include <string>

#include "addin/host/BlockStyler.h"
#include "sim/nx/DialogFile.h"

namespace nxsim {
namespace detail {

std::unique_ptr<host::BlockStyler::BlockDialog> makeBlockDialog(const std::string& file,
                                                                const DialogDefinition& definition);

}  // namespace detail
}  // namespace nxsim
