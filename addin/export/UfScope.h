// One bracket of UF calls: UF_initialize on entry, and UF_terminate on every way out, also
// when a call in between raises, but only after an initialize that succeeded.
#pragma once

#include "addin/host/Nx.h"

namespace synquo {

class UfScope {
 public:
  UfScope() : UfScope(host::nx().Uf()) {}
  explicit UfScope(host::Uf& uf) : uf_(uf), status_(uf.UF_initialize()) {}
  ~UfScope() { close(); }
  UfScope(const UfScope&) = delete;
  UfScope& operator=(const UfScope&) = delete;

  // UF_initialize's status; UF calls are allowed only when it is 0.
  int status() const { return status_; }
  bool ok() const { return status_ == 0; }
  bool open() const { return status_ == 0 && !closed_; }
  host::Uf& uf() { return uf_; }

  // Ends the bracket early: UF_terminate once, if it was opened. A raising UF_terminate
  // leaves nothing to undo, and nothing may escape a destructor.
  void close() noexcept {
    if (status_ != 0 || closed_) return;
    closed_ = true;
    try {
      uf_.UF_terminate();
    } catch (...) {
    }
  }

 private:
  host::Uf& uf_;
  int status_;
  bool closed_ = false;
};

}  // namespace synquo
