// Drawing a piece's overlays and its masked image onto the board, each set
// against a plain copy of the same 256 x 256 cell of 24-bit pixels measured
// in the same run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "display/sprite.h"
#include "platform/bitmap.h"

namespace {

constexpr int Cell = 256;
constexpr int BoardSize = 512;
constexpr int CellX = 100, CellY = 120;

// A jigsaw-piece-like blob: a square body with a round tab on each side.
bool InsidePiece(int x, int y) {
  auto inCircle = [&](double cx, double cy, double r) { return std::hypot(x - cx, y - cy) <= r; };
  const bool body = x >= 48 && x < 208 && y >= 48 && y < 208;
  return body || inCircle(128, 28, 26) || inCircle(228, 128, 26) || inCircle(128, 228, 26) ||
         inCircle(28, 128, 26);
}

// The rim: 3 pixels inside the outline, light where the outside lies up or
// left, dark elsewhere.
std::vector<std::uint8_t> RimImage() {
  std::vector<std::uint8_t> rim(std::size_t(Cell) * Cell, 0);
  for (int y = 0; y < Cell; ++y)
    for (int x = 0; x < Cell; ++x) {
      if (!InsidePiece(x, y)) continue;
      for (int d = 1; d <= 3; ++d) {
        if (!InsidePiece(x - d, y) || !InsidePiece(x, y - d)) {
          rim[std::size_t(y) * Cell + x] = 50;
          break;
        }
        if (!InsidePiece(x + d, y) || !InsidePiece(x, y + d)) {
          rim[std::size_t(y) * Cell + x] = 186;
          break;
        }
      }
    }
  return rim;
}

TBitmap Board() {
  TBitmap board(BoardSize, BoardSize);
  for (int y = 0; y < BoardSize; ++y)
    for (int x = 0; x < BoardSize; ++x) board.SetPixel(x, y, RGBColor(x & 0xFF, y & 0xFF, 90));
  return board;
}

// Copies the cell's rows from source onto the board: the baseline.
void CopyCell(TBitmap& board, const TBitmap& source) {
  for (int y = 0; y < Cell; ++y)
    std::memcpy(board.ScanLine(CellY + y) + 3 * CellX, source.ScanLine(y), 3 * Cell);
}

// Runs draw and the baseline copy alternately, reports the draw's time and
// the ratio of the two.
template <class Draw>
void TimeAgainstMemcpy(benchmark::State& state, TBitmap& board, Draw draw) {
  const TBitmap source = Board();
  using Clock = std::chrono::steady_clock;
  Clock::duration drawing{}, copying{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    draw();
    benchmark::ClobberMemory();
    const auto t1 = Clock::now();
    CopyCell(board, source);
    benchmark::ClobberMemory();
    const auto t2 = Clock::now();
    drawing += t1 - t0;
    copying += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double iterations = double(state.iterations());
  state.counters["memcpy_ns"] =
      std::chrono::duration<double, std::nano>(copying).count() / iterations;
  state.counters["ratio_to_memcpy"] = double(drawing.count()) / double(copying.count());
}

void BM_DrawRunsRim(benchmark::State& state) {
  const TSprite sprite(true, 0);
  const std::vector<std::uint8_t> rim = RimImage();
  std::vector<std::uint8_t> block;
  sprite.Encode(Cell, Cell, block, rim, Cell);
  TBitmap board = Board();
  const TRect clip = board.BoundsRect();
  TimeAgainstMemcpy(state, board,
                    [&] { sprite.DrawRuns(block, board, &clip, CellX, CellY, Cell, Cell); });
  state.counters["block_bytes"] = double(block.size());
}
BENCHMARK(BM_DrawRunsRim)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_MaskAndImage(benchmark::State& state) {
  // Mask white outside the piece, image black outside it: AND clears the
  // piece's place, OR paints it.
  TBitmap mask(Cell, Cell, TPixelFormat::Mono);
  TBitmap image(Cell, Cell);
  for (int y = 0; y < Cell; ++y)
    for (int x = 0; x < Cell; ++x) {
      if (InsidePiece(x, y))
        image.SetPixel(x, y, RGBColor(200 - x / 2, 60 + y / 2, 120));
      else
        mask.SetPixel(x, y, 0xFFFFFF);
    }
  TBitmap board = Board();
  TimeAgainstMemcpy(state, board, [&] {
    BitBlt(board, CellX, CellY, Cell, Cell, mask, 0, 0, TRasterOp::SrcAnd);
    BitBlt(board, CellX, CellY, Cell, Cell, image, 0, 0, TRasterOp::SrcPaint);
  });
}
BENCHMARK(BM_MaskAndImage)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
