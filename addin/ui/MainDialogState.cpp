// What the main dialog leaves for the dialog cycle.
#include "addin/ui/MainDialogState.h"

namespace ui {

MainDialogState& mainDialogState() {
  static MainDialogState state;
  return state;
}

std::string workspaceDisplayName(const vantel::VantelWorkspace& workspace) {
  return workspace.name.empty() ? std::string("(unnamed workspace)") : workspace.name;
}

}  // namespace ui
