// The machine's memory beside the measurements: a chase through a shuffled ring of cache
// lines takes, per step, the latency of wherever the ring fits. The growth goals walk models
// that cross these sizes.
#include <algorithm>
#include <cstddef>
#include <numeric>
#include <random>
#include <vector>

#include "bench/BenchSupport.h"

namespace bench {
namespace {

struct alignas(64) Line {
  std::size_t next;
};

void memoryChase(benchmark::State& state) {
  const std::size_t lines = static_cast<std::size_t>(state.range(0)) * 1024 / sizeof(Line);
  std::vector<std::size_t> order(lines);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::shuffle(order.begin(), order.end(), std::mt19937(1));
  std::vector<Line> ring(lines);
  for (std::size_t i = 0; i < lines; ++i) ring[order[i]].next = order[(i + 1) % lines];
  constexpr int kSteps = 1 << 16;
  std::size_t at = 0;
  for (auto _ : state) {
    for (int i = 0; i < kSteps; ++i) at = ring[at].next;
    benchmark::DoNotOptimize(at);
  }
}

}  // namespace

void registerMachineBenchmarks() {
  for (int64_t kilobytes : sizes({512, 4096, 65536})) {
    add("memory_chase", memoryChase)->Arg(kilobytes);
  }
  addRow({Row::Kind::Reference, "   the machine: a memory step in 4 MB vs in 512 KB",
          "memory_chase/4096", "memory_chase/512", 0});
  addRow({Row::Kind::Reference, "   the machine: a memory step in 64 MB vs in 4 MB",
          "memory_chase/65536", "memory_chase/4096", 0});
}

}  // namespace bench
