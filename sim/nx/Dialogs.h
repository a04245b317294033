// Dialogs and message boxes of the simulated NX: where dialog files are found, the driver that
// plays the user while a dialog is shown, and what was shown.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <NXOpen/NXMessageBox.hxx>

#include "sim/nx/NxSimExport.h"

namespace nxsim {

// Dialog files are looked up by name in these directories, in order. Default: the directory
// of the nxsim module, which is where every module and resource of a build lies.
NXSIM_EXPORT void setResourceDirectories(std::vector<std::filesystem::path> directories);
NXSIM_EXPORT std::vector<std::filesystem::path> resourceDirectories();

// The dialog being shown, as the driver sees and works it. Actions run the dialog's handlers
// at once, on the calling (user-interface) thread, as NX does when the user acts.
class OpenDialog {
 public:
  virtual ~OpenDialog() = default;
  virtual std::string file() const = 0;
  virtual bool isOpen() const = 0;
  // The dialog's window: an HWND on Windows, a desktop::Window elsewhere.
  virtual void* window() const = 0;
  // Time since Show() and how often the driver was called in this showing.
  virtual std::chrono::milliseconds elapsed() const = 0;
  virtual int ticks() const = 0;

  virtual std::vector<std::string> blockIds() const = 0;
  virtual bool hasBlock(const std::string& id) const = 0;
  // Throw std::invalid_argument for an unknown block or property.
  virtual std::string blockType(const std::string& id) const = 0;
  virtual std::string getString(const std::string& id, const std::string& property) const = 0;
  virtual bool getLogical(const std::string& id, const std::string& property) const = 0;
  virtual int getInteger(const std::string& id, const std::string& property) const = 0;
  virtual std::vector<std::string> enumMembers(const std::string& id) const = 0;
  virtual std::string enumValue(const std::string& id) const = 0;

  // Each returns the update handler's result (0 without a handler).
  virtual int press(const std::string& buttonId) = 0;
  virtual int selectEnum(const std::string& id, int index) = 0;
  virtual int selectEnum(const std::string& id, const std::string& member) = 0;
  virtual int setString(const std::string& id, const std::string& value) = 0;
  virtual int setToggle(const std::string& id, bool value) = 0;
  // The apply handler's result.
  virtual int apply() = 0;
  // The OK handler's result; 0 (or no handler) closes the dialog.
  virtual int ok() = 0;
  // Cancel: the cancel handler runs and the dialog closes.
  virtual void cancel() = 0;
  // Posts WM_SYSCOMMAND/SC_CLOSE to the dialog's window, as the window's close box does.
  virtual void postClose() = 0;
};

// Called again and again while a dialog is shown, between turns of its message loop, so that
// timers fire and posted messages arrive between calls. To wait for something, return until
// it has happened. Without a driver a dialog stays until it is closed by a posted close
// command or the timeout.
using DialogDriver = std::function<void(OpenDialog&)>;
NXSIM_EXPORT void setDialogDriver(DialogDriver driver);
// A dialog still open after this long is closed and a violation recorded (default 30 s).
NXSIM_EXPORT void setDialogTimeout(std::chrono::milliseconds timeout);

struct DialogRecord {
  std::string file;
  // "initialize", "dialogShown", "update:<block id>", "apply", "ok", "cancel", in order.
  std::vector<std::string> events;
  std::string closedBy;  // "close command", "ok", "cancel", "timeout"
};
NXSIM_EXPORT std::vector<DialogRecord> dialogHistory();

struct MessageBoxRecord {
  std::string title;
  NXOpen::NXMessageBox::DialogType type = NXOpen::NXMessageBox::DialogTypeInformation;
  std::string text;
};
NXSIM_EXPORT std::vector<MessageBoxRecord> messageBoxes();
// "Error", "Warning", "Information" or "Question", as journals and transcripts write it.
NXSIM_EXPORT std::string messageBoxTypeName(NXOpen::NXMessageBox::DialogType type);
// Answers message boxes (default: 1, OK).
NXSIM_EXPORT void setMessageBoxAnswerer(std::function<int(const MessageBoxRecord&)> answerer);

}  // namespace nxsim
