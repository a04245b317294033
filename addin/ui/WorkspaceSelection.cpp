// Reading the main dialog's workspace selection.
#include "addin/ui/WorkspaceSelection.h"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace ui {
namespace {

using host::BlockStyler::BlockDialog;

// The whole text as a base-10 number; -1 when it stops early, none when it does not start.
std::optional<long long> parseIndex(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(begin, &end, 10);
  if (end == begin || errno == ERANGE) return std::nullopt;
  if (*end != '\0') return -1;
  return value;
}

std::optional<int64_t> select(BlockDialog& dialog, const MainDialogState& state) {
  host::BlockStyler::CompositeBlock* top = dialog.TopBlock();
  auto* list = top == nullptr
                   ? nullptr
                   : dynamic_cast<host::BlockStyler::Enumeration*>(top->FindBlock("workspaceList"));
  if (list == nullptr) return std::nullopt;
  std::string selectedText;
  try {
    selectedText = list->ValueAsString();
  } catch (...) {
    selectedText.clear();
  }
  long long index = -1;
  if (auto properties = dialog.GetBlockProperties("workspaceList")) {
    const std::string value = properties->GetString("Value");
    if (!value.empty()) {
      if (const auto parsed = parseIndex(value)) index = *parsed;
    }
    if (index < 0) index = properties->GetInteger("Value");
  }
  if (index >= 0 && static_cast<unsigned long long>(index) < state.workspaces.size()) {
    return state.workspaces[static_cast<size_t>(index)].id;
  }
  if (selectedText.empty()) return std::nullopt;
  std::optional<int64_t> match;
  for (const auto& workspace : state.workspaces) {
    if (workspaceDisplayName(workspace) != selectedText) continue;
    if (match) return std::nullopt;  // two of that name: the text alone cannot tell
    match = workspace.id;
  }
  return match;
}

}  // namespace

std::optional<int64_t> selectedWorkspace(BlockDialog* dialog, const MainDialogState& state) {
  if (dialog == nullptr) return std::nullopt;
  try {
    return select(*dialog, state);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace ui
