// The preparation probe as brevin-sim sees it: loaded on first use from beside the add-in.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "sim/probe/PreparationProbeAbi.h"

namespace simrunner {

class PreparationProbe {
 public:
  // Raises std::runtime_error when the module cannot be loaded or lacks an export.
  explicit PreparationProbe(const std::string& path);
  // The probe's answer (see PreparationProbeAbi.h).
  nlohmann::json prepareUpload();
  void cleanup();

 private:
  simprobe::PrepareFunction prepare_ = nullptr;
  simprobe::FreeFunction free_ = nullptr;
  simprobe::CleanupFunction cleanup_ = nullptr;
};

// The module's file name: libbrevinprobe.so / brevinprobe.dll.
std::string probeFileName();

}  // namespace simrunner
