// Block Styler dialogs of the simulated NX, made from a parsed dialog file.
#pragma once

#include <NXOpen/BlockStyler_BlockDialog.hxx>

#include <string>

#include "sim/nx/DialogFile.h"

namespace nxsim {
namespace detail {

// Allocated for the caller, who deletes it.
NXOpen::BlockStyler::BlockDialog* makeBlockDialog(const std::string& file,
                                                  const DialogDefinition& definition);

}  // namespace detail
}  // namespace nxsim
