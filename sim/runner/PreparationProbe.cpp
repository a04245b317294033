// Calling the preparation probe.
#include "sim/runner/PreparationProbe.h"

#include <cstring>
#include <stdexcept>

#include "sim/runner/AddinLibrary.h"
#include "sim/runner/RunnerPlatform.h"

namespace simrunner {
namespace {

template <typename Function>
Function exported(void* module, const std::string& path, const char* name) {
  void* address = AddinLibrary::find(module, name);
  if (address == nullptr) throw std::runtime_error(path + " does not export " + name);
  Function function = nullptr;
  std::memcpy(&function, &address, sizeof(address));
  return function;
}

}  // namespace

std::string probeFileName() { return isWindows() ? "brevinprobe.dll" : "libbrevinprobe.so"; }

// Like the add-in, the module stays loaded until the process ends.
PreparationProbe::PreparationProbe(const std::string& path) {
  void* module = AddinLibrary::open(path, "the preparation probe");
  prepare_ = exported<simprobe::PrepareFunction>(module, path, simprobe::kPrepareFunction);
  free_ = exported<simprobe::FreeFunction>(module, path, simprobe::kFreeFunction);
  cleanup_ = exported<simprobe::CleanupFunction>(module, path, simprobe::kCleanupFunction);
}

nlohmann::json PreparationProbe::prepareUpload() {
  char* text = prepare_();
  if (text == nullptr) throw std::runtime_error("The preparation probe returned nothing");
  const std::string answer(text);
  free_(text);
  nlohmann::json result = nlohmann::json::parse(answer, nullptr, false);
  if (!result.is_object()) throw std::runtime_error("The preparation probe's answer is not JSON");
  return result;
}

void PreparationProbe::cleanup() { cleanup_(); }

}  // namespace simrunner
