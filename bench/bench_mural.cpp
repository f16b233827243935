// The board background: a full repaint of the mural at 1920 x 1080, as after
// a resize or a change of the board colour, and the block copy of the whole
// mural into the board bitmap that starts every full redraw.

#include <benchmark/benchmark.h>

#include "pieces/mural.h"
#include "platform/system.h"

namespace {

constexpr int BoardWidth = 1920;
constexpr int BoardHeight = 1080;
constexpr TColor BoardColor = 0x00A06040;

void MuralPaint(benchmark::State& state, int screenDepth) {
  SetScreenDepthSource([screenDepth] { return screenDepth; });
  TMural mural;
  mural.SetSize(BoardWidth, BoardHeight);
  for (auto _ : state) {
    mural.Paint(BoardColor);
    benchmark::DoNotOptimize(mural.Image().ScanLine(BoardHeight - 1));
  }
  SetScreenDepthSource(nullptr);
  state.SetBytesProcessed(state.iterations() * std::int64_t(BoardWidth) * BoardHeight * 3);
}

void BM_MuralPaint(benchmark::State& state) { MuralPaint(state, 32); }
// 16-bit screens take every row colour through the dither.
void BM_MuralPaintDithered(benchmark::State& state) { MuralPaint(state, 16); }

void BM_MuralDrawWholeBoard(benchmark::State& state) {
  TMural mural;
  mural.SetSize(BoardWidth, BoardHeight);
  mural.Paint(BoardColor);
  TBitmap board(BoardWidth, BoardHeight, TPixelFormat::Bgr24);
  for (auto _ : state) {
    mural.Draw({0, 0, BoardWidth, BoardHeight}, board);
    benchmark::DoNotOptimize(board.ScanLine(BoardHeight - 1));
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(BoardWidth) * BoardHeight * 3);
}

}  // namespace

BENCHMARK(BM_MuralPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MuralPaintDithered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MuralDrawWholeBoard)->Unit(benchmark::kMillisecond);
