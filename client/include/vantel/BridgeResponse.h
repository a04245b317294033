// The two texts one Torvane call hands back; an empty error means success.
#pragma once

#include <string>

namespace vantel {

struct BridgeResponse {
  std::string payload;
  std::string error;
};

}  // namespace vantel
