// A stretched copy of a 4000 x 3000 picture to half and to one and a half
// times its size, as a re-cut at another scale stretches the picture.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "platform/canvas.h"

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;

// Colour washes with fine grain, so that no row or column repeats.
TBitmap Picture() {
  TBitmap picture(Width, Height);
  std::uint32_t grain = 12345;
  for (int y = 0; y < Height; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < 3 * Width; ++x) {
      grain = grain * 1664525u + 1013904223u;
      row[x] = std::uint8_t((x / 3 + y) / 28 + (grain >> 28));
    }
  }
  return picture;
}

void BM_StretchDraw(benchmark::State& state) {
  const TBitmap picture = Picture();
  const int width = int(Width * state.range(0) / 100);
  const int height = int(Height * state.range(0) / 100);
  TBitmap stretched(width, height);
  for (auto _ : state) {
    TCanvas(stretched).StretchDraw({0, 0, width, height}, picture);
    benchmark::DoNotOptimize(stretched.ScanLine(height - 1));
  }
}
BENCHMARK(BM_StretchDraw)->ArgName("percent")->Arg(50)->Arg(150)->Unit(benchmark::kMillisecond);

}  // namespace
