// Which stored workspace the main dialog's list has selected.
#pragma once

#include <cstdint>
#include <optional>

#include <NXOpen/BlockStyler_BlockDialog.hxx>

#include "addin/ui/MainDialogState.h"

namespace ui {

// By index first (the enumeration's "Value", read as NX types it, else as text or integer), else by
// a display name that exactly one stored workspace has. None without a dialog, a list or a
// selection, and when reading fails.
std::optional<int64_t> selectedWorkspace(NXOpen::BlockStyler::BlockDialog* dialog,
                                         const MainDialogState& state);

}  // namespace ui
