// One bracket of UF calls: UF_initialize on entry, then the text mode set to UTF-8 so every
// char* of the calls in between is UTF-8, and UF_terminate on every way out, also when a call
// in between raises, but only after an initialize that succeeded.
#pragma once

#include <uf.h>
#include <uf_text.h>

namespace nx {

class UfScope {
 public:
  // Called inside the catch block of a UF_terminate that raised.
  using TerminateFailure = void (*)();

  explicit UfScope(TerminateFailure onTerminateFailure = nullptr)
      : onTerminateFailure_(onTerminateFailure), status_(UF_initialize()) {
    if (status_ != 0) return;
    initialized_ = true;
    // A bracket whose text would be the locale's is not opened: characters outside the code
    // page would be lost.
    try {
      status_ = UF_TEXT_set_text_mode(UF_TEXT_ALL_UTF8);
    } catch (...) {
      close();
      throw;
    }
  }
  ~UfScope() { close(); }
  UfScope(const UfScope&) = delete;
  UfScope& operator=(const UfScope&) = delete;

  // UF_initialize's status, or UF_TEXT_set_text_mode's when that failed; UF calls are allowed
  // only when it is 0.
  int status() const { return status_; }
  bool ok() const { return status_ == 0; }
  bool open() const { return status_ == 0 && !closed_; }

  // Ends the bracket early: UF_terminate once, if UF_initialize succeeded. A raising
  // UF_terminate leaves nothing to undo, and nothing may escape a destructor.
  void close() noexcept {
    if (!initialized_ || closed_) return;
    closed_ = true;
    try {
      UF_terminate();
    } catch (...) {
      if (onTerminateFailure_ == nullptr) return;
      try {
        onTerminateFailure_();
      } catch (...) {
      }
    }
  }

 private:
  TerminateFailure onTerminateFailure_;
  int status_;
  bool initialized_ = false;
  bool closed_ = false;
};

}  // namespace nx
