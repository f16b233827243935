// Cutting a picture: the label map, every edge and the gap fill, against one
// plain pass that reads each byte of a map of the same size with its four
// neighbours (the least any gap fill must do), measured in the same run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <span>

#include "game/cut.h"
#include "pieces/edges.h"
#include "platform/random.h"

namespace {

// Sums every inner byte with its four neighbours.
std::uint64_t NeighbourPass(std::span<const std::uint8_t> map, int width, int height) {
  std::uint64_t sum = 0;
  const std::size_t w = std::size_t(width);
  for (int y = 1; y < height - 1; ++y) {
    const std::uint8_t* row = map.data() + std::size_t(y) * w;
    for (std::size_t x = 1; x + 1 < w; ++x)
      sum += unsigned(row[x]) + row[x - 1] + row[x + 1] + row[x - w] + row[x + w];
  }
  return sum;
}

void BM_Cut(benchmark::State& state) {
  TPuzzleRecord record;
  record.PieceCount = FitGrid(record, int(state.range(2)), int(state.range(0)), int(state.range(1)));
  record.ShapeStyle = std::int32_t(state.range(3));
  record.Oddness = 5;
  record.Seed = 20240601;

  using Clock = std::chrono::steady_clock;
  Clock::duration cutting{}, passing{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    SetRandSeed(record.Seed);
    TCut cut = Cut(record, false);
    benchmark::DoNotOptimize(cut.Labels().data());
    benchmark::ClobberMemory();
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(NeighbourPass(cut.Labels(), cut.Width(), cut.Height()));
    const auto t2 = Clock::now();
    cutting += t1 - t0;
    passing += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double iterations = double(state.iterations());
  state.counters["pieces"] = record.PieceCount;
  state.counters["baseline_ms"] = std::chrono::duration<double, std::milli>(passing).count() / iterations;
  state.counters["ratio_to_baseline"] = double(cutting.count()) / double(passing.count());
}

void CutSizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"width", "height", "pieces", "style"});
  for (int style = int(TShapeStyle::Classic); style <= int(TShapeStyle::Mix); ++style) {
    b->Args({1024, 768, 500, style});
    b->Args({4000, 3000, 1000, style});
    b->Args({4000, 3000, 5000, style});
  }
}
BENCHMARK(BM_Cut)->Apply(CutSizes)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
