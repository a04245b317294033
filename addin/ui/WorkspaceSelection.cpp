// Reading the main dialog's workspace selection.
#include "addin/ui/WorkspaceSelection.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_Enumeration.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>

#include "addin/nx/NxText.h"
#include "addin/ui/DialogShowing.h"

namespace ui {
namespace {

using NXOpen::BlockStyler::BlockDialog;
using NXOpen::BlockStyler::PropertyList;

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

// The list's "Value" as an index: read as NX types it, else as text, else as an integer, each
// read on its own, so a getter the property refuses leaves the next one to try; -1 for none.
long long selectedIndex(PropertyList& properties) {
  const NXOpen::NXString value = nx::nxText("Value");
  try {
    const int index = properties.GetEnum(value);
    if (index >= 0) return index;
  } catch (...) {
  }
  long long index = -1;
  try {
    const std::string text = nx::utf8(properties.GetString(value));
    if (!text.empty()) {
      if (const auto parsed = parseIndex(text)) index = *parsed;
    }
  } catch (...) {
  }
  if (index >= 0) return index;
  try {
    return properties.GetInteger(value);
  } catch (...) {
    return -1;
  }
}

std::optional<int64_t> select(BlockDialog& dialog, const MainDialogState& state) {
  NXOpen::BlockStyler::CompositeBlock* top = dialog.TopBlock();
  auto* list = top == nullptr ? nullptr
                              : dynamic_cast<NXOpen::BlockStyler::Enumeration*>(
                                    top->FindBlock(nx::nxText("workspaceList")));
  if (list == nullptr) return std::nullopt;
  std::string selectedText;
  try {
    selectedText = nx::utf8(list->ValueAsString());
  } catch (...) {
    selectedText.clear();
  }
  long long index = -1;
  if (const std::unique_ptr<PropertyList> properties = blockProperties(dialog, "workspaceList")) {
    index = selectedIndex(*properties);
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
