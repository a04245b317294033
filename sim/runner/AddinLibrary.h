// Loads the add-in the way NX loads a user-function library and calls its
// three entry points.
#pragma once

#include <string>

namespace simrunner {

class AddinLibrary {
 public:
  // Raises std::runtime_error naming the path and the loader's error, or the missing entry
  // point.
  explicit AddinLibrary(const std::string& path);
  ~AddinLibrary();
  AddinLibrary(const AddinLibrary&) = delete;
  AddinLibrary& operator=(const AddinLibrary&) = delete;

  void ufusr(const std::string& parameter);
  int ufusrAskUnload();
  void ufusrCleanup();

 private:
  using UfusrFunction = void (*)(char*, int*, int);
  using AskUnloadFunction = int (*)();
  using CleanupFunction = void (*)();

  // Per platform: load the module, find an export.
  static void* open(const std::string& path);
  void* symbol(const char* name);

  void* handle_ = nullptr;
  std::string path_;
  UfusrFunction ufusr_ = nullptr;
  AskUnloadFunction askUnload_ = nullptr;
  CleanupFunction cleanup_ = nullptr;
};

static_assert(sizeof(void*) == sizeof(void (*)()), "function addresses fit an object pointer");

}  // namespace simrunner
