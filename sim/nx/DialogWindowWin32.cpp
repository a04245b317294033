// Dialog windows as real Win32 windows with a GetMessage/DispatchMessage loop, so that the
// add-in's GetActiveWindow, PostMessage(SC_CLOSE) and SetTimer(NULL, ...) work as in NX.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "sim/nx/DialogWindow.h"

namespace nxsim {
namespace detail {
namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMilliseconds = 10;
const wchar_t kWindowClass[] = L"NxSimBlockDialog";

HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&thisModule), &module);
  return module;
}

std::wstring wide(const std::string& text) {
  if (text.empty()) {
    return {};
  }
  int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

class Win32DialogWindow : public DialogWindow {
 public:
  Win32DialogWindow(const std::string& title, std::function<void()> onCloseCommand)
      : onCloseCommand_(std::move(onCloseCommand)) {
    registerClass();
    hwnd_ =
        CreateWindowExW(0, kWindowClass, wide(title).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 480, 320, nullptr, nullptr, thisModule(), this);
    if (hwnd_ == nullptr) {
      throw std::runtime_error("CreateWindowExW failed with error " +
                               std::to_string(GetLastError()));
    }
    ShowWindow(hwnd_, SW_SHOW);
    activate();
  }

  ~Win32DialogWindow() override { close(); }

  void* handle() const override { return hwnd_; }
  bool isOpen() const override { return hwnd_ != nullptr && IsWindow(hwnd_); }

  void runModal(const std::function<void()>& tick) override {
    tick_ = &tick;
    SetTimer(hwnd_, kTickTimer, kTickMilliseconds, nullptr);
    MSG message;
    while (isOpen()) {
      BOOL got = GetMessageW(&message, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(message.wParam));  // leave WM_QUIT to the outer loop
        close();
        break;
      }
      if (got == -1) {
        close();
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    tick_ = nullptr;
  }

  void close() override {
    if (isOpen()) {
      closingQuietly_ = true;
      DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
  }

  // Another process's window can take the foreground (tests run side by side in one wine
  // server), which leaves this thread without an active window.
  void activate() override {
    if (isOpen()) {
      SetForegroundWindow(hwnd_);
      SetActiveWindow(hwnd_);
    }
  }

  void postClose() override {
    if (isOpen()) {
      PostMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
  }

 private:
  static void registerClass() {
    static const bool registered = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = &Win32DialogWindow::windowProc;
      wc.hInstance = thisModule();
      wc.lpszClassName = kWindowClass;
      wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
      return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered) {
      throw std::runtime_error("RegisterClassExW failed");
    }
  }

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr) {
      switch (message) {
        case WM_TIMER:
          if (wparam == kTickTimer) {
            if (self->tick_ != nullptr && *self->tick_) {
              (*self->tick_)();
            }
            return 0;
          }
          break;
        case WM_CLOSE:
          if (!self->closingQuietly_ && self->onCloseCommand_) {
            self->onCloseCommand_();
          }
          DestroyWindow(hwnd);
          return 0;
        case WM_DESTROY:
          KillTimer(hwnd, kTickTimer);
          SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
          return 0;
        default:
          break;
      }
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  std::function<void()> onCloseCommand_;
  const std::function<void()>* tick_ = nullptr;
  HWND hwnd_ = nullptr;
  bool closingQuietly_ = false;
};

}  // namespace

std::unique_ptr<DialogWindow> openDialogWindow(const std::string& title,
                                               std::function<void()> onCloseCommand) {
  return std::make_unique<Win32DialogWindow>(title, std::move(onCloseCommand));
}

}  // namespace detail
}  // namespace nxsim
