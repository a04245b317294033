// What the benchmarks share: the simulated installation they run in, the bytes the OS seam
// copies, the heap's peak, and the rows of the table that compares each measurement with
// its floor.
#pragma once

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// Set by --smoke: every benchmark runs once at its smallest size, without timing goals.
bool smoke();
void setSmoke(bool on);

// A size list, cut to its first entry in a smoke run.
std::vector<int64_t> sizes(std::vector<int64_t> all);

// Where the copying benchmarks keep their files and session directories: a memory-backed
// file system, so that a create costs the same whatever was deleted before it, or the build
// tree's disk for reference.
enum class Place { Memory, Disk };

// Whether Place::Memory really is in memory; without /dev/shm it is the build tree's disk.
bool memoryBacked();

// The add-in's settings, session directories and log in fresh directories, the native OS
// under a seam that counts copied bytes, and the simulated NX reset. Made on first use.
class Installation {
 public:
  static Installation& get();
  virtual ~Installation() = default;
  virtual const std::filesystem::path& scratch() const = 0;
  // From now on session directories are made in `place`; returns the directory there for
  // the benchmark's own files.
  virtual std::filesystem::path use(Place place) = 0;
  // Where session directories are made.
  virtual const std::filesystem::path& sessionBase() const = 0;
  // Session directories of earlier iterations go, so each copies again.
  virtual void clearSessions() = 0;
  // Bytes copied through the OS seam since counting was switched on.
  virtual std::uintmax_t copiedBytes() const = 0;
  virtual void countCopies(bool on) = 0;
};
// Removes the installation's directories; call before leaving main.
void releaseInstallation();

// The peak growth of the heap (operator new and delete of the whole process) between
// startPeak() and stopPeak().
void startPeak();
std::int64_t stopPeak();

// A fresh directory below the scratch directory.
std::filesystem::path freshDirectory(const std::string& name);
// A directory below the scratch directory, holding `count` files of `bytes` bytes named by
// `nameOf(i)`, written once per process; returns their paths.
std::vector<std::filesystem::path> writeFiles(const std::filesystem::path& directory, int count,
                                              std::size_t bytes,
                                              const std::function<std::string(int)>& nameOf);

// Repetitions of a benchmark; a median of fewer moves from run to run.
constexpr int kRepetitions = 21;
// For the upload share and its floor on the build tree's disk, seconds per iteration and
// without a goal.
constexpr int kSlowRepetitions = 7;

// Registers a benchmark: once in a smoke run, with `repetitions` otherwise (their medians
// go into the table).
benchmark::internal::Benchmark* add(const std::string& name,
                                    std::function<void(benchmark::State&)> body,
                                    int repetitions = kRepetitions);

void registerLogBenchmarks();
void registerClientBenchmarks();
void registerCollectionBenchmarks();
void registerMachineBenchmarks();

// A row of the table. Ratio: median of `measure` over median of `floor`, at most `goal`.
// RelativeGrowth: the growth from `floor` (the smaller size) to `measure` over the growth
// from `baseFloor` to `baseMeasure`, at most `goal`. Counter: the counter `counter` of `measure`,
// at most `goal` (or equal to `floor`'s counter when `equalTo` is set). Reference: a ratio shown
// beside the goals, with none of its own.
struct Row {
  enum class Kind { Ratio, RelativeGrowth, Counter, Reference };
  Kind kind;
  std::string label;
  std::string measure;
  std::string floor;
  double goal;
  std::string counter = {};
  std::string equalTo = {};
  std::string baseMeasure = {};
  std::string baseFloor = {};
};
Row relativeGrowth(std::string label, std::string large, std::string small, std::string baseLarge,
                   std::string baseSmall, double goal);
void addRow(Row row);
const std::vector<Row>& rows();

}  // namespace bench
