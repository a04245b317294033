// The benchmarks' installation, heap accounting and table rows.
#include "bench/BenchSupport.h"

#include <malloc.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <new>

#include "addin/platform/PlatformWrapper.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/ModelFixture.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

bool smokeRun = false;

// Counted only while a peak is measured, so the other benchmarks pay nothing for it.
std::atomic<bool> tracking{false};
std::atomic<std::int64_t> live{0};
std::atomic<std::int64_t> peak{0};

void grow(void* pointer) {
  if (pointer == nullptr || !tracking.load(std::memory_order_relaxed)) return;
  const auto size = static_cast<std::int64_t>(malloc_usable_size(pointer));
  const std::int64_t now = live.fetch_add(size, std::memory_order_relaxed) + size;
  std::int64_t seen = peak.load(std::memory_order_relaxed);
  while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
  }
}

void shrink(void* pointer) {
  if (pointer == nullptr || !tracking.load(std::memory_order_relaxed)) return;
  live.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(pointer)), std::memory_order_relaxed);
}

// The native OS, except where the test installation says where things are; copies are
// counted by the bytes they leave at the destination.
class CountingPlatform : public platform::PlatformWrapper {
 public:
  CountingPlatform(platform::Platform& installation)
      : PlatformWrapper(platform::nativePlatform()), installation_(installation) {}

  platform::ModuleFile addinModuleFile() override { return installation_.addinModuleFile(); }
  fs::path environmentPath(const std::string& name) override {
    return installation_.environmentPath(name);
  }
  fs::path tempDirectory() override { return installation_.tempDirectory(); }
  fs::path fallbackTempDirectory() override { return installation_.fallbackTempDirectory(); }
  std::error_code copyFile(const fs::path& from, const fs::path& to) override {
    const std::error_code error = PlatformWrapper::copyFile(from, to);
    std::uintmax_t size = 0;
    if (counting && !error && !PlatformWrapper::fileSize(to, platform::Links::Follow, size)) copied += size;
    return error;
  }

  // Off while timing: the count's own stat per copy is not the add-in's.
  bool counting = false;
  std::uintmax_t copied = 0;

 private:
  platform::Platform& installation_;
};

class FixtureInstallation : public testsupport::ModelFixture, public Installation {
 public:
  FixtureInstallation() : counting_(addin_.platform()), scope_(counting_) {
    configure("false", "INFO");
  }
  ~FixtureInstallation() override { synquo::removeSessionTempDirectory(); }

  void TestBody() override {}
  const fs::path& scratch() const override { return scratch_.path(); }
  const fs::path& sessionBase() const override { return base_; }
  void clearSessions() override {
    synquo::removeSessionTempDirectory();
    emptyBase();
  }
  std::uintmax_t copiedBytes() const override { return counting_.copied; }
  void countCopies(bool on) override {
    counting_.counting = on;
    counting_.copied = 0;
  }

 private:
  testsupport::TempDir scratch_{"brevin-bench"};
  CountingPlatform counting_;
  platform::ScopedPlatform scope_;
};

std::unique_ptr<FixtureInstallation>& installation() {
  static std::unique_ptr<FixtureInstallation> instance;
  return instance;
}

std::vector<Row>& allRows() {
  static std::vector<Row> instance;
  return instance;
}

}  // namespace

bool smoke() { return smokeRun; }
void setSmoke(bool on) { smokeRun = on; }

std::vector<int64_t> sizes(std::vector<int64_t> all) {
  if (smokeRun) all.resize(1);
  return all;
}

Installation& Installation::get() {
  if (!installation()) installation() = std::make_unique<FixtureInstallation>();
  return *installation();
}

void releaseInstallation() { installation().reset(); }

// A block freed in the window counts against it wherever it was allocated: that is what the
// heap gives back.
void startPeak() {
  live.store(0, std::memory_order_relaxed);
  peak.store(0, std::memory_order_relaxed);
  tracking.store(true, std::memory_order_relaxed);
}
std::int64_t stopPeak() {
  tracking.store(false, std::memory_order_relaxed);
  return peak.load(std::memory_order_relaxed);
}

fs::path freshDirectory(const std::string& name) {
  const fs::path directory = Installation::get().scratch() / name;
  fs::remove_all(directory);
  fs::create_directories(directory);
  return directory;
}

std::vector<fs::path> writeFiles(const fs::path& directory, int count, std::size_t bytes,
                                 const std::function<std::string(int)>& nameOf) {
  // Each repetition sets up again; creating thousands of files each time would dominate.
  static std::map<std::string, std::vector<fs::path>> written;
  const std::string key =
      directory.string() + "|" + std::to_string(count) + "|" + std::to_string(bytes);
  if (const auto found = written.find(key); found != written.end()) return found->second;
  fs::remove_all(directory);
  fs::create_directories(directory);
  std::vector<fs::path> paths;
  const std::string content(bytes, 'x');
  for (int i = 0; i < count; ++i) {
    paths.push_back(directory / nameOf(i));
    testsupport::writeFile(paths.back(), content);
  }
  written[key] = paths;
  return paths;
}

benchmark::internal::Benchmark* add(const std::string& name,
                                    std::function<void(benchmark::State&)> body) {
  benchmark::internal::Benchmark* b =
      benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) { body(state); });
  // CPU time of the measuring thread, system calls included: three other engineers share
  // these two cores, and waiting for a core is their cost, not ours.
  if (smokeRun) {
    b->Iterations(1);
  } else {
    b->Repetitions(11)->ReportAggregatesOnly(true)->MinTime(0.05);
  }
  return b;
}

void addRow(Row row) { allRows().push_back(std::move(row)); }
const std::vector<Row>& rows() { return allRows(); }

}  // namespace bench

// The whole process's heap, so a pass's peak counts what the libraries allocate too.
// GCC takes the free() below for a mismatch with the new-expressions it sees inlined; this
// operator new is malloc, so it is not.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  void* pointer = std::malloc(size == 0 ? 1 : size);
  if (pointer == nullptr) throw std::bad_alloc();
  bench::grow(pointer);
  return pointer;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  void* pointer = std::malloc(size == 0 ? 1 : size);
  bench::grow(pointer);
  return pointer;
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* pointer) noexcept {
  bench::shrink(pointer);
  std::free(pointer);
}
void operator delete[](void* pointer) noexcept { operator delete(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { operator delete(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { operator delete(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { operator delete(pointer); }
