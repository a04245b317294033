// The NX session: the entry to the parts of the running NX.
#pragma once

#include "addin/host/Part.h"

namespace host {

class Session {
 public:
  virtual ~Session() = default;
  virtual PartCollection* Parts() = 0;
};

}  // namespace host
