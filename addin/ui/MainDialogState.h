// What the main dialog leaves for the dialog cycle: the model it showed, the workspaces it
// loaded and the upload the user asked for. Touched only on NX's user-interface thread.
#pragma once

#include <vantel/vantel.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "addin/export/ModelMetadata.h"
#include "addin/ui/RevisionCheck.h"

namespace ui {

struct MainDialogState {
  // The displayed model as read when the dialog was shown.
  synquo::ModelMetadata metadata;
  std::vector<vantel::VantelWorkspace> workspaces;
  // Display name of each workspace, same order: the enumeration's members.
  std::vector<std::string> workspaceNames;
  // The last target-revision lookup; none when the model is not managed or nothing is chosen.
  std::optional<RevisionCheckResult> revisionCheck;
  // Workspace id set by the upload gate; taken and cleared by the dialog cycle.
  std::optional<int64_t> pendingUpload;

  void reset() { *this = MainDialogState(); }
};

// The one state of the process, created on first use.
MainDialogState& mainDialogState();

// The workspace of the list with that id; null when none has it.
const vantel::VantelWorkspace* findWorkspace(const std::vector<vantel::VantelWorkspace>& workspaces,
                                             int64_t id);

// A workspace's name, or "(unnamed workspace)" when it has none.
std::string workspaceDisplayName(const vantel::VantelWorkspace& workspace);

}  // namespace ui
