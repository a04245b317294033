// The window a shown dialog lives in, and the modal message loop that runs while it is open:
// a real Win32 window on Windows, a desktop stand-in window elsewhere.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace nxsim {
namespace detail {

class DialogWindow {
 public:
  virtual ~DialogWindow() = default;
  // HWND on Windows, desktop::Window elsewhere.
  virtual void* handle() const = 0;
  virtual bool isOpen() const = 0;
  // Runs the calling thread's message loop until the window is gone; tick runs between turns,
  // every few milliseconds.
  virtual void runModal(const std::function<void()>& tick) = 0;
  // Closes the window at once, without a close command.
  virtual void close() = 0;
  // Posts WM_SYSCOMMAND/SC_CLOSE to the window.
  virtual void postClose() = 0;
  // Makes the window the calling thread's active one, as the user's click on it does.
  virtual void activate() = 0;
};

// Creates the window on the calling thread and makes it the active window. onCloseCommand
// runs when the window receives WM_CLOSE, just before it is destroyed.
std::unique_ptr<DialogWindow> openDialogWindow(const std::string& title,
                                               std::function<void()> onCloseCommand);

}  // namespace detail
}  // namespace nxsim
