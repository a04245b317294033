// NX's user interface: Block Styler dialogs and message boxes.
#pragma once

#include <memory>
#include <string>

#include "addin/host/BlockStyler.h"

// <windows.h> maps CreateDialog to CreateDialogA/W; the method below is NX's, not that macro.
#ifdef CreateDialog
#undef CreateDialog
#endif

namespace host {

class NXMessageBox {
 public:
  enum class DialogType { Error, Warning, Information, Question };
  virtual ~NXMessageBox() = default;
  // Modal; returns the button the user pressed (1 = OK).
  virtual int Show(const std::string& title, DialogType type, const std::string& message) = 0;
};

class UI {
 public:
  virtual ~UI() = default;
  // Loads a dialog file by its name, found where NX finds the add-in's dialogs. Raises
  // NxException when the file is missing or unreadable. The caller owns the dialog.
  virtual std::unique_ptr<BlockStyler::BlockDialog> CreateDialog(const std::string& dialogName) = 0;
  virtual host::NXMessageBox* NXMessageBox() = 0;
};

}  // namespace host
