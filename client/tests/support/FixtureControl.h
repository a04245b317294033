// The test's handle on a fixture library: scripts its answers and reads its journal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantel::testing {

class FixtureControl {
 public:
  // Opens the fixture (the same instance the bridge loads from that path). Raises
  // std::runtime_error when the library or one of its control functions is missing.
  explicit FixtureControl(const std::string& libraryPath);

  // Forgets the scripted answers and the journal.
  void reset();

  // What `exportName` returns from now on; nullopt stands for a null pointer.
  void script(const std::string& exportName, std::optional<std::string> result,
              std::optional<std::string> error);

  std::vector<std::string> journal() const;

  // Texts the fixture handed out that were not given back to FreeAllocatedString.
  int64_t liveTexts() const;

 private:
  using ResetFn = void (*)();
  using ScriptFn = void (*)(const char*, const char*, const char*);
  using SizeFn = int64_t (*)();
  using EntryFn = const char* (*)(int64_t, int64_t*);

  ResetFn reset_ = nullptr;
  ScriptFn script_ = nullptr;
  SizeFn journalSize_ = nullptr;
  EntryFn journalEntry_ = nullptr;
  SizeFn liveTexts_ = nullptr;
};

}  // namespace vantel::testing
