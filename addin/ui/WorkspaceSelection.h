// Which stored workspace the main dialog's list has selected.
#pragma once

#include <cstdint>
#include <optional>

#include "addin/host/BlockStyler.h"
#include "addin/ui/MainDialogState.h"

namespace ui {

// By index first (the enumeration's "Value"), else by a display name that exactly one stored
// workspace has. None without a dialog, a list or a selection, and when reading fails.
std::optional<int64_t> selectedWorkspace(host::BlockStyler::BlockDialog* dialog,
                                         const MainDialogState& state);

}  // namespace ui
