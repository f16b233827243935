// Pieces from a decoded picture: the whole build (cut, extraction and masks,
// image sheets with overlays, colour keys) step by step; a full redraw of a
// 1920 x 1080 board with every piece scattered over it; a quarter turn of
// every piece; and the memory the game holds once a 4000 x 3000 puzzle of
// 1,000 pieces is built.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "game/buildpieces.h"
#include "game/cut.h"
#include "pieces/colourkeys.h"
#include "pieces/mural.h"
#include "pieces/pieces.h"
#include "platform/random.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A smooth, photo-like picture: overlapping waves in each channel.
TBitmap MakePicture(int width, int height) {
  TBitmap picture(width, height);
  std::vector<double> waveX(std::size_t(width) * 3);
  for (int x = 0; x < width; ++x)
    for (int c = 0; c < 3; ++c) waveX[std::size_t(3 * x + c)] = std::sin(x * (0.004 + 0.003 * c) + c);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int c = 0; c < 3; ++c) {
      const double waveY = std::cos(y * (0.005 + 0.002 * c) + 2 * c);
      for (int x = 0; x < width; ++x)
        row[3 * x + c] = std::uint8_t(128 + 60 * waveX[std::size_t(3 * x + c)] + 60 * waveY);
    }
  }
  return picture;
}

// What the game holds for a puzzle: the record, the piece set with its
// picture, and the outline buffer.
struct TPuzzle {
  TPuzzleRecord Record;
  TPieceOptions Options;
  TPieces Pieces{Record, Options};
  std::vector<std::uint8_t> OutlineBuffer;
  std::int32_t LabelBufferSize = 0;

  // The grid is fitted to the decoded size; the cut is scalePercent of it.
  TPuzzle(int width, int height, int requested, std::int32_t outline, int scalePercent) {
    Options.OutlineStyle = outline;
    Record.ShapeStyle = 1;
    Record.Oddness = 5;
    Record.Seed = 20240601;
    Record.PieceCount = FitGrid(Record, requested, width, height);
    Record.CutWidth = std::uint16_t(width * scalePercent / 100);
    Record.CutHeight = std::uint16_t(height * scalePercent / 100);
    Pieces.Picture = MakePicture(Record.CutWidth, Record.CutHeight);
  }

  struct TSteps {
    Clock::duration Cut{}, Extract{}, Images{}, ColourKeys{};
  };

  TSteps Build() {
    TSteps steps;
    const auto t0 = Clock::now();
    Pieces.CreatePieces();
    SetRandSeed(Record.Seed);
    TCut cut = Cut(Record, false);
    const auto t1 = Clock::now();
    BuildPieces(cut, Pieces, OutlineBuffer, LabelBufferSize);
    const auto t2 = Clock::now();
    Pieces.BuildImages(OutlineBuffer);
    const auto t3 = Clock::now();
    ComputeColourKeys(Pieces, Pieces.Picture);
    const auto t4 = Clock::now();
    return {t1 - t0, t2 - t1, t3 - t2, t4 - t3};
  }
};

void BM_BuildPuzzle(benchmark::State& state) {
  TPuzzle puzzle(int(state.range(0)), int(state.range(1)), int(state.range(2)), std::int32_t(state.range(3)), 100);
  TPuzzle::TSteps total;
  Clock::duration overlays{};
  for (auto _ : state) {
    const TPuzzle::TSteps steps = puzzle.Build();
    state.SetIterationTime(std::chrono::duration<double>(steps.Cut + steps.Extract + steps.Images + steps.ColourKeys).count());
    total.Cut += steps.Cut;
    total.Extract += steps.Extract;
    total.Images += steps.Images;
    total.ColourKeys += steps.ColourKeys;
    // The overlays' share of the images step: they are built once more,
    // outside the measured build.
    state.PauseTiming();
    const auto t0 = Clock::now();
    puzzle.Pieces.BuildOverlays();
    overlays += Clock::now() - t0;
    state.ResumeTiming();
  }
  const double n = double(state.iterations());
  state.counters["pieces"] = puzzle.Record.PieceCount;
  state.counters["cut_ms"] = Milliseconds(total.Cut) / n;
  state.counters["extract_masks_ms"] = Milliseconds(total.Extract) / n;
  state.counters["images_ms"] = Milliseconds(total.Images) / n;
  state.counters["of_which_overlays_ms"] = Milliseconds(overlays) / n;
  state.counters["colour_keys_ms"] = Milliseconds(total.ColourKeys) / n;
  state.counters["build_without_keys_ms"] = Milliseconds(total.Cut + total.Extract + total.Images) / n;
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
BENCHMARK(BM_TurnAllPieces)->ArgName("outline")->Arg(OutlineCard)->Arg(OutlineWood)->Unit(benchmark::kMillisecond);

// Peak resident memory while a 4000 x 3000 puzzle of 1,000 pieces is built and
// held as the game holds it: the decoded picture kept for rescaling, the cut
// picture, the sheets, overlays and outline buffer, and a 1920 x 1080 board.
// The kernel's high-water mark is reset first (so that earlier benchmarks do
// not count); the process's own baseline (libraries, Qt) is included. The
// build here runs once, on memory the process has not used before, as at
// start-up; BM_BuildPuzzle's repeated builds measure a re-cut.
long ResidentKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(field);
  while (std::getline(status, line))
    if (line.compare(0, length, field) == 0) return std::stol(line.substr(length));
  return -1;
}

void BM_PeakMemory(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long before = ResidentKilobytes("VmRSS:");
    state.ResumeTiming();
    {
      TPuzzle puzzle(4000, 3000, 1000, std::int32_t(state.range(0)), 100);
      const TBitmap decoded = puzzle.Pieces.Picture;
      const TPuzzle::TSteps steps = puzzle.Build();
      state.counters["build_ms"] = Milliseconds(steps.Cut + steps.Extract + steps.Images + steps.ColourKeys);
      TBitmap board(1920, 1080);
      benchmark::DoNotOptimize(board.ScanLine(0));
      benchmark::DoNotOptimize(decoded.ScanLine(0));
      state.counters["held_mb"] = double(ResidentKilobytes("VmRSS:")) / 1024;
    }
    state.counters["peak_mb"] = double(ResidentKilobytes("VmHWM:")) / 1024;
    state.counters["baseline_mb"] = double(before) / 1024;
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
