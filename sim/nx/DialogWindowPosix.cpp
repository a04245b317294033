// Dialog windows on the desktop stand-in, shared with the add-in in the same process.
#include <chrono>

#include "sim/desktop/Desktop.h"
#include "sim/nx/DialogWindow.h"

namespace nxsim {
namespace detail {
namespace {

class PosixDialogWindow : public DialogWindow {
 public:
  PosixDialogWindow(const std::string& title, std::function<void()> onCloseCommand)
      : onCloseCommand_(std::move(onCloseCommand)) {
    window_ = desktop::createWindow(
        title,
        [this](desktop::Window w, unsigned message, std::uintptr_t wparam,
               std::intptr_t lparam) -> std::intptr_t {
          if (message == desktop::kWmClose && !closingQuietly_ && onCloseCommand_) {
            onCloseCommand_();
          }
          return desktop::defWindowProc(w, message, wparam, lparam);
        });
  }

  ~PosixDialogWindow() override { close(); }

  void* handle() const override { return window_; }
  bool isOpen() const override { return desktop::isWindow(window_); }

  void runModal(const std::function<void()>& tick) override {
    desktop::runModalLoop([this] { return isOpen(); }, tick);
  }

  void close() override {
    closingQuietly_ = true;
    desktop::destroyWindow(window_);
  }

  void activate() override { desktop::setActiveWindow(window_); }

  void postClose() override {
    desktop::postMessage(window_, desktop::kWmSysCommand, desktop::kScClose, 0);
  }

 private:
  std::function<void()> onCloseCommand_;
  desktop::Window window_ = nullptr;
  bool closingQuietly_ = false;
};

}  // namespace

std::unique_ptr<DialogWindow> openDialogWindow(const std::string& title,
                                               std::function<void()> onCloseCommand) {
  return std::make_unique<PosixDialogWindow>(title, std::move(onCloseCommand));
}

}  // namespace detail
}  // namespace nxsim
