// The test's handle on a fixture library: scripts its answers and reads its journal.
#include "client/tests/support/FixtureControl.h"

#include <stdexcept>

#include "client/bridge/LibraryLoader.h"

namespace vantel::testing {
namespace {

template <typename Fn>
Fn control(void* handle, const char* name) {
  const auto symbol = loader::findSymbol(handle, name);
  if (symbol == nullptr) throw std::runtime_error(std::string("fixture lacks ") + name);
  return reinterpret_cast<Fn>(symbol);
}

}  // namespace

FixtureControl::FixtureControl(const std::string& libraryPath) {
  const loader::OpenResult opened = loader::openLibrary(libraryPath);
  if (opened.handle == nullptr) {
    throw std::runtime_error("cannot open fixture " + libraryPath + ": " + opened.error);
  }
  reset_ = control<ResetFn>(opened.handle, "FixtureReset");
  script_ = control<ScriptFn>(opened.handle, "FixtureScript");
  journalSize_ = control<SizeFn>(opened.handle, "FixtureJournalSize");
  journalEntry_ = control<EntryFn>(opened.handle, "FixtureJournalEntry");
  liveTexts_ = control<SizeFn>(opened.handle, "FixtureLiveTexts");
}

void FixtureControl::reset() { reset_(); }

void FixtureControl::script(const std::string& exportName, std::optional<std::string> result,
                            std::optional<std::string> error) {
  script_(exportName.c_str(), result ? result->c_str() : nullptr, error ? error->c_str() : nullptr);
}

std::vector<std::string> FixtureControl::journal() const {
  std::vector<std::string> entries;
  const int64_t size = journalSize_();
  for (int64_t i = 0; i < size; ++i) {
    int64_t length = 0;
    const char* entry = journalEntry_(i, &length);
    entries.emplace_back(entry, static_cast<std::size_t>(length));
  }
  return entries;
}

int64_t FixtureControl::liveTexts() const { return liveTexts_(); }

}  // namespace vantel::testing
