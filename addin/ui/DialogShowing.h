// The steps every add-in dialog takes around NX's modal Show(): create it from its dialog
// file, show it, and give back the help context its dialog-shown handler pushed; and the
// property lists of its blocks, which NX hands over for the add-in to delete.
#pragma once

#include <memory>
#include <string>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>

namespace ui {

// Raises NX's exception when NX has no user interface or the file cannot be loaded.
std::unique_ptr<NXOpen::BlockStyler::BlockDialog> createAddinDialog(const char* dialogFile);

// Shows the dialog until it is closed; a failure of Show() is reported in the "Block Styler"
// box. Afterwards the help context is popped when helpPushed says it was pushed, and the flag
// is cleared even when the pop fails.
void showModal(NXOpen::BlockStyler::BlockDialog& dialog, bool& helpPushed);

// GetBlockProperties of the block with this id; null when the dialog has no such block.
std::unique_ptr<NXOpen::BlockStyler::PropertyList> blockProperties(
    NXOpen::BlockStyler::BlockDialog& dialog, const std::string& blockId);

}  // namespace ui
