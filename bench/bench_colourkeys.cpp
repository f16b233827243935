// Colour sort keys of a 4000 x 3000 puzzle of 1,000, 5,000 and 10,000 pieces
// cut as the player cuts it: the average colours and the colour chain.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "game/buildpieces.h"
#include "game/cut.h"
#include "pieces/colourkeys.h"
#include "pieces/pieces.h"
#include "platform/random.h"

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;

// A landscape: a smooth sky over the upper third, whose pieces have nearly
// equal colours, and a detailed ground with colour washes and grain below.
TBitmap Landscape() {
  TBitmap picture(Width, Height);
  std::uint32_t grain = 12345;
  for (int y = 0; y < Height; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < Width; ++x) {
      std::uint8_t* bgr = row + 3 * x;
      if (y < Height / 3) {
        bgr[0] = std::uint8_t(230 - y / 40);
        bgr[1] = std::uint8_t(170 - y / 60);
        bgr[2] = std::uint8_t(110 - y / 80 + x / 1000);
        continue;
      }
      grain = grain * 1664525u + 1013904223u;
      const int noise = int(grain >> 27) - 16;
      const double u = x / 300.0, v = y / 250.0;
      bgr[0] = std::uint8_t(std::clamp(int(90 + 70 * std::sin(u + 0.7 * v)) + noise, 0, 255));
      bgr[1] = std::uint8_t(std::clamp(int(120 + 90 * std::cos(1.3 * v - 0.4 * u)) + noise, 0, 255));
      bgr[2] = std::uint8_t(std::clamp(int(110 + 100 * std::sin(0.5 * u * v)) + noise, 0, 255));
    }
  }
  return picture;
}

void BM_ColourKeys(benchmark::State& state) {
  TPuzzleRecord record;
  TPieceOptions options;
  TPieces pieces(record, options);
  record.ShapeStyle = 1;
  record.Oddness = 5;
  record.Seed = 20240601;
  record.PieceCount = FitGrid(record, int(state.range(0)), Width, Height);
  pieces.Picture = Landscape();
  pieces.CreatePieces();
  SetRandSeed(record.Seed);
  TCut cut = Cut(record, false);
  std::vector<std::uint8_t> outlineBuffer;
  std::int32_t labelBufferSize = 0;
  BuildPieces(cut, pieces, outlineBuffer, labelBufferSize);
  for (auto _ : state) {
    ComputeColourKeys(pieces, pieces.Picture);
    benchmark::DoNotOptimize(pieces.Pieces.back().ColourKey);
  }
  state.counters["pieces"] = record.PieceCount;
  const auto ranked = std::count_if(pieces.Pieces.begin(), pieces.Pieces.end(),
                                    [](const TFormPiece& p) { return p.ColourKey >= ColourRankBase; });
  state.counters["on_chain"] = double(ranked);
}
BENCHMARK(BM_ColourKeys)->ArgName("pieces")->Arg(1000)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
