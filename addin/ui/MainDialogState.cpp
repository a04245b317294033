// What the main dialog leaves for the dialog cycle.
#include "addin/ui/MainDialogState.h"

namespace ui {

MainDialogState& mainDialogState() {
  static MainDialogState state;
  return state;
}

const vantel::VantelWorkspace* findWorkspace(const std::vector<vantel::VantelWorkspace>& workspaces,
                                             int64_t id) {
  for (const vantel::VantelWorkspace& workspace : workspaces) {
    if (workspace.id == id) return &workspace;
  }
  return nullptr;
}

std::string workspaceDisplayName(const vantel::VantelWorkspace& workspace) {
  return workspace.name.empty() ? std::string("(unnamed workspace)") : workspace.name;
}

}  // namespace ui
