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

// The add-in's settings, session directories and log in fresh directories, the native OS
// under a seam that counts copied bytes, and the simulated NX reset. Made on first use.
class Installation {
 public:
  static Installation& get();
  virtual ~Installation() = default;
  virtual const std::filesystem::path& scratch() const = 0;
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

// Registers a benchmark: once in a smoke run, with repetitions otherwise (their medians
// go into the table).
benchmark::internal::Benchmark* add(const std::string& name,
                                    std::function<void(benchmark::State&)> body);

void registerLogBenchmarks();
void registerClientBenchmarks();
void registerCollectionBenchmarks();
void registerMachineBenchmarks();

// A row of the table. Ratio: median of `measure` over median of `floor`, at most `goal`.
// Growth: median of `measure` at the larger size over the smaller, at most `goal`. Counter:
// the counter `counter` of `measure`, at most `goal` (or equal to `floor`'s counter when
// `equalTo` is set). Reference: a growth shown beside the goals, with none of its own.
struct Row {
  enum class Kind { Ratio, Growth, Counter, Reference };
  Kind kind;
  std::string label;
  std::string measure;
  std::string floor;
  double goal;
  std::string counter = {};
  std::string equalTo = {};
};
void addRow(Row row);
const std::vector<Row>& rows();

}  // namespace bench
