// One bracket of UF calls: UF_initialize on entry, and UF_terminate on every way out once the
// initialize succeeded, so a UF call that raises never leaves NX's UF session open.
#pragma once

#include "addin/host/Nx.h"

namespace synquo {

class UfScope {
 public:
  UfScope() : uf_(host::nx().Uf()), status_(uf_.UF_initialize()) {}
  ~UfScope() {
    if (status_ != 0) return;
    try {
      uf_.UF_terminate();
    } catch (...) {
      // Nothing can be done about it at this point, and nothing may escape a destructor.
    }
  }
  UfScope(const UfScope&) = delete;
  UfScope& operator=(const UfScope&) = delete;

  // UF_initialize's status; UF calls are allowed only when it is 0.
  int status() const { return status_; }
  bool ok() const { return status_ == 0; }
  host::Uf& uf() { return uf_; }

 private:
  host::Uf& uf_;
  int status_;
};

}  // namespace synquo
