// Pieces from a decoded picture: the build as the game makes it (the cut with
// the pieces and their images, then the colour keys; Cut alone over its
// shapes is bench_cut.cpp's); a full redraw of a 1920 x 1080 board with every
// piece scattered over it; a quarter turn of every piece; and the memory the
// game holds once a 4000 x 3000 puzzle of 1,000 pieces is built.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <vector>

#include "bench/photo.h"
#include "bench/residentmemory.h"
#include "game/cut.h"
#include "game/jigsaw.h"
#include "pieces/colourkeys.h"
#include "pieces/mural.h"
#include "pieces/pieces.h"
#include "platform/random.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// What the game holds for a puzzle: the record, the piece set with its cut
// picture, the decoded picture it is cut from, and the outline buffer.
struct TPuzzle {
  TPuzzleRecord Record;
  TPieceOptions Options;
  TPieces Pieces{Record, Options};
  TBitmap Decoded;
  std::vector<std::uint8_t> OutlineBuffer;

  // The grid is fitted to the decoded size; the cut is scalePercent of it.
  TPuzzle(int width, int height, int requested, std::int32_t outline, int scalePercent)
      : Decoded(MakePicture(width, height)) {
    Options.OutlineStyle = outline;
    Record.ShapeStyle = 1;
    Record.Oddness = 5;
    Record.Seed = 20240601;
    Record.PieceCount = FitGrid(Record, requested, width, height);
    Record.CutWidth = std::uint16_t(width * scalePercent / 100);
    Record.CutHeight = std::uint16_t(height * scalePercent / 100);
  }

  struct TSteps {
    Clock::duration Cutting{}, ColourKeys{};
  };

  // As the game builds a puzzle: the cut with the pieces and their images,
  // then the colour keys.
  TSteps Build() {
    const auto t0 = Clock::now();
    Pieces.CreatePieces();
    CutPuzzle(Pieces, Record, Decoded, OutlineBuffer, false);
    const auto t1 = Clock::now();
    ComputeColourKeys(Pieces, Pieces.Picture);
    const auto t2 = Clock::now();
    return {t1 - t0, t2 - t1};
  }
};

void BM_BuildPuzzle(benchmark::State& state) {
  TPuzzle puzzle(int(state.range(0)), int(state.range(1)), int(state.range(2)), std::int32_t(state.range(3)),
                 100);
  TPuzzle::TSteps total;
  Clock::duration labelMap{}, overlays{};
  for (auto _ : state) {
    const TPuzzle::TSteps steps = puzzle.Build();
    state.SetIterationTime(std::chrono::duration<double>(steps.Cutting + steps.ColourKeys).count());
    total.Cutting += steps.Cutting;
    total.ColourKeys += steps.ColourKeys;
    // The shares of the label map and of the overlays in the cut: each is
    // made once more, outside the measured build.
    state.PauseTiming();
    const auto t0 = Clock::now();
    SetRandSeed(puzzle.Record.Seed);
    benchmark::DoNotOptimize(Cut(puzzle.Record, false).Labels().data());
    const auto t1 = Clock::now();
    puzzle.Pieces.BuildOverlays();
    const auto t2 = Clock::now();
    labelMap += t1 - t0;
    overlays += t2 - t1;
    state.ResumeTiming();
  }
  const double n = double(state.iterations());
  state.counters["pieces"] = puzzle.Record.PieceCount;
  state.counters["cut_puzzle_ms"] = Milliseconds(total.Cutting) / n;
  state.counters["of_which_label_map_ms"] = Milliseconds(labelMap) / n;
  state.counters["of_which_overlays_ms"] = Milliseconds(overlays) / n;
  state.counters["colour_keys_ms"] = Milliseconds(total.ColourKeys) / n;
  state.counters["cell"] = puzzle.Record.CellWidth;
}

void BuildSizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"width", "height", "pieces", "outline"});
  for (const std::int64_t outline : {OutlineCard, OutlineWood}) {
    b->Args({1024, 768, 500, outline});
    b->Args({4000, 3000, 1000, outline});
  }
}
BENCHMARK(BM_BuildPuzzle)->Apply(BuildSizes)->UseManualTime()->Unit(benchmark::kMillisecond);

// A full redraw of a 1920 x 1080 board: the mural, then every piece in
// stacking order, scattered at random, each its own group.
void BM_DrawBoard(benchmark::State& state) {
  constexpr int BoardWidth = 1920, BoardHeight = 1080;
  TPuzzle puzzle(int(state.range(0)), int(state.range(1)), int(state.range(2)), std::int32_t(state.range(3)),
                 int(state.range(4)));
  puzzle.Build();
  SetRandSeed(7);
  for (TFormPiece& p : puzzle.Pieces.Pieces) {
    p.X = int(Random(std::uint32_t(BoardWidth - p.Width)));
    p.Y = int(Random(std::uint32_t(BoardHeight - p.Height - puzzle.Pieces.Thickness)));
    p.Group = p.Index;
  }
  const TPieceList all = puzzle.Pieces.AllPieces();
  TMural mural;
  mural.SetSize(BoardWidth, BoardHeight);
  mural.Paint(0x00A06040);
  TBitmap board(BoardWidth, BoardHeight);
  for (auto _ : state) {
    mural.Draw({0, 0, BoardWidth, BoardHeight}, board);
    puzzle.Pieces.DrawPieceList(all, board, nullptr);
    benchmark::DoNotOptimize(board.ScanLine(BoardHeight - 1));
  }
  state.counters["pieces"] = puzzle.Record.PieceCount;
  state.counters["cell"] = puzzle.Record.CellWidth;
}
BENCHMARK(BM_DrawBoard)
    ->ArgNames({"width", "height", "pieces", "outline", "scale"})
    ->Args({1024, 768, 500, OutlineCard, 100})
    ->Args({1024, 768, 500, OutlineWood, 100})
    ->Args({4000, 3000, 1000, OutlineCard, 40})
    ->Args({4000, 3000, 1000, OutlineWood, 40})
    ->Unit(benchmark::kMillisecond);

// One quarter turn of every piece, as Right Way Up or a re-cut of a turned
// game does it: images, masks and overlays of 1,000 cells.
void BM_TurnAllPieces(benchmark::State& state) {
  TPuzzle puzzle(4000, 3000, 1000, std::int32_t(state.range(0)), 100);
  puzzle.Build();
  const TPieceList all = puzzle.Pieces.AllPieces();
  for (auto _ : state) puzzle.Pieces.RotatePieces(all, 1, true);
  state.counters["pieces"] = puzzle.Record.PieceCount;
}
BENCHMARK(BM_TurnAllPieces)
    ->ArgName("outline")
    ->Arg(OutlineCard)
    ->Arg(OutlineWood)
    ->Unit(benchmark::kMillisecond);

// Peak resident memory while a 4000 x 3000 puzzle of 1,000 pieces is built and
// held as the game holds it: the decoded picture kept for rescaling, the cut
// picture, the sheets, overlays and outline buffer, and a 1920 x 1080 board.
// The kernel's high-water mark is reset first (so that earlier benchmarks do
// not count); the process's own baseline (libraries, Qt) is included. The
// build here runs once, on memory the process has not used before, as at
// start-up; BM_BuildPuzzle's repeated builds measure a re-cut.
void BM_PeakMemory(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    ResetPeakResident();
    const double before = ResidentMegabytes("VmRSS:");
    state.ResumeTiming();
    {
      TPuzzle puzzle(4000, 3000, 1000, std::int32_t(state.range(0)), 100);
      const TPuzzle::TSteps steps = puzzle.Build();
      state.counters["build_ms"] = Milliseconds(steps.Cutting + steps.ColourKeys);
      TBitmap board(1920, 1080);
      benchmark::DoNotOptimize(board.ScanLine(0));
      state.counters["held_mb"] = ResidentMegabytes("VmRSS:");
    }
    state.counters["peak_mb"] = ResidentMegabytes("VmHWM:");
    state.counters["baseline_mb"] = before;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["ru_maxrss_mb"] = double(usage.ru_maxrss) / 1024;
  }
}
BENCHMARK(BM_PeakMemory)
    ->ArgName("outline")
    ->Arg(OutlineCard)
    ->Arg(OutlineWood)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
