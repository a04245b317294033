// Loads the add-in the way NX loads a user-function library and calls its
// three entry points.
#pragma once

#include <string>

namespace simrunner {

class AddinLibrary {
 public:
  // Raises std::runtime_error naming the path and the loader's error, or the missing entry
  // point. dependenciesBeside: the libraries it imports are looked for beside it first, as
  // for a library that a custom directory's button runs.
  explicit AddinLibrary(const std::string& path, bool dependenciesBeside = false);
  ~AddinLibrary();
  AddinLibrary(const AddinLibrary&) = delete;
  AddinLibrary& operator=(const AddinLibrary&) = delete;

  void ufusr(const std::string& parameter);
  int ufusrAskUnload();
  void ufusrCleanup();
  // Drops the runner's reference on the module (dlclose / FreeLibrary), as NX does when it
  // terminates; the entry points must not be called afterwards.
  void unload();
  bool loaded() const { return handle_ != nullptr; }
  // The loaded module (HMODULE / dlopen handle).
  void* module() const { return handle_; }

  // Per platform: load a module (raising std::runtime_error "Cannot load <what> <path>: "
  // and the loader's reason), and find one of its exports (null when it has none).
  static void* open(const std::string& path, const std::string& what,
                    bool dependenciesBeside = false);
  static void* find(void* module, const char* name);
  static void close(void* module);

 private:
  using UfusrFunction = void (*)(char*, int*, int);
  using AskUnloadFunction = int (*)();
  using CleanupFunction = void (*)();

  void* symbol(const char* name);

  void* handle_ = nullptr;
  std::string path_;
  UfusrFunction ufusr_ = nullptr;
  AskUnloadFunction askUnload_ = nullptr;
  CleanupFunction cleanup_ = nullptr;
};

static_assert(sizeof(void*) == sizeof(void (*)()), "function addresses fit an object pointer");

}  // namespace simrunner
