// The benchmarks' installation, heap accounting and table rows.
#include "bench/BenchSupport.h"

#include <linux/magic.h>
#include <malloc.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <utility>

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
    if (counting && !error && !PlatformWrapper::fileSize(to, platform::Links::Follow, size))
      copied += size;
    return error;
  }

  // Off while timing: the count's own stat per copy is not the add-in's.
  bool counting = false;
  std::uintmax_t copied = 0;

 private:
  platform::Platform& installation_;
};

const fs::path kMemory = "/dev/shm";

// The tree the benchmark was built in: its binary is in the tree's bin/.
fs::path buildTree() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path(); }

void emptyDirectory(const fs::path& directory) {
  std::error_code error;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    fs::remove_all(it->path());
  }
}

// One directory per place for this process, each with the benchmark's files and a base for
// session directories.
struct PlaceDirectory {
  PlaceDirectory(const fs::path& parent, const std::string& label)
      : root(parent / ("brevin-bench-" + label + "-" + std::to_string(::getpid()))),
        files(root / "files"),
        sessions(root / "sessions") {
    fs::remove_all(root);
    fs::create_directories(files);
    fs::create_directories(sessions);
  }
  ~PlaceDirectory() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  const fs::path root;
  const fs::path files;
  const fs::path sessions;
};

// The add-in finds its base for session directories once per process, so the base is a
// link that each place points to its own directory.
class FixtureInstallation : public testsupport::ModelFixture, public Installation {
 public:
  FixtureInstallation() : counting_(addin_.platform()), scope_(counting_) {
    configure("false", "INFO");
    fs::create_directory_symlink(memory_.sessions, sessionBase_);
    addin_.platform().setTempDirectory(sessionBase_ / "");
  }
  ~FixtureInstallation() override { synquo::removeSessionTempDirectory(); }

  void TestBody() override {}
  const fs::path& scratch() const override { return scratch_.path(); }
  fs::path use(Place place) override {
    const PlaceDirectory& directory = place == Place::Memory ? memory_ : disk_;
    if (place_ != place) {
      synquo::removeSessionTempDirectory();
      fs::remove(sessionBase_);
      fs::create_directory_symlink(directory.sessions, sessionBase_);
      place_ = place;
    }
    return directory.files;
  }
  const fs::path& sessionBase() const override { return sessionBase_; }
  void clearSessions() override {
    synquo::removeSessionTempDirectory();
    emptyDirectory(sessionBase_);
  }
  std::uintmax_t copiedBytes() const override { return counting_.copied; }
  void countCopies(bool on) override {
    counting_.counting = on;
    counting_.copied = 0;
  }

 private:
  testsupport::TempDir scratch_{"brevin-bench"};
  const fs::path sessionBase_ = scratch_.path() / "sessions";
  Place place_ = Place::Memory;
  PlaceDirectory memory_{memoryBacked() ? kMemory : buildTree(), "memory"};
  PlaceDirectory disk_{buildTree(), "disk"};
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

bool memoryBacked() {
  static const bool backed = [] {
    struct statfs facts {};
    if (::statfs(kMemory.c_str(), &facts) != 0 || ::access(kMemory.c_str(), W_OK) != 0) {
      return false;
    }
    const auto type = static_cast<unsigned long>(facts.f_type);
    return type == TMPFS_MAGIC || type == RAMFS_MAGIC;
  }();
  return backed;
}
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
                                    std::function<void(benchmark::State&)> body, int repetitions) {
  benchmark::internal::Benchmark* b =
      benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) { body(state); });
  // CPU time of the measuring thread, system calls included: three other engineers share
  // these two cores, and waiting for a core is their cost, not ours.
  if (smokeRun) {
    b->Iterations(1);
  } else {
    b->Repetitions(repetitions)->ReportAggregatesOnly(true)->MinTime(0.05);
  }
  return b;
}

Row relativeGrowth(std::string label, std::string large, std::string small, std::string baseLarge,
                   std::string baseSmall, double goal) {
  Row row{Row::Kind::RelativeGrowth, std::move(label), std::move(large), std::move(small), goal};
  row.baseMeasure = std::move(baseLarge);
  row.baseFloor = std::move(baseSmall);
  return row;
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
