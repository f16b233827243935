// The saved game of a 4000 x 3000 photo cut into 1,000 and into 10,000
// pieces, played through the game object on a headless 1920 x 1080 play
// area: saving it (the file composed, written beside the gift, flushed to
// disk and renamed over the old one), and resuming it (from reading the file
// to the board painted, the re-cut included) against the time a new game of
// the same gift takes to a playable board.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/moment.h"
#include "bench/photo.h"
#include "display/screen.h"
#include "game/jigsaw.h"
#include "game/picture.h"
#include "game/savedgame.h"
#include "tests/common/testgift.h"

namespace {

constexpr int BoardWidth = 1920, BoardHeight = 1080;
constexpr int PhotoWidth = 4000, PhotoHeight = 3000;
constexpr double SaveGoalMs = 20;
// A resumed game may take this much longer than a new one.
constexpr double ResumeAllowanceMs = 20;

double Milliseconds(std::chrono::nanoseconds d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double MedianOf(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// A gift of the photo asking for so many pieces, in a folder of its own
// where its saved game goes too.
class TPhotoGift {
 public:
  explicit TPhotoGift(int pieces) : path_(folder_.filePath(QStringLiteral("photo"))) {
    if (!WriteTestGift(path_, TestTrailer(std::uint16_t(pieces), 20240601),
                       EncodeJpeg(MakePicture(PhotoWidth, PhotoHeight), 90)))
      throw std::runtime_error("cannot write a gift to " + path_.toStdString());
  }
  const QString& Path() const { return path_; }

 private:
  QTemporaryDir folder_;
  QString path_;
};

// One start of the game object on the gift, as the main window's first tick
// makes it; the build (gift, picture, cut) and the layout (resumed or new,
// board drawn and painted) are timed apart.
class TStart {
 public:
  explicit TStart(const QString& gift) : gift_(gift) {
    window_.PlayAreaWidth = BoardWidth;
    window_.PlayAreaHeight = BoardHeight;
    screen_.Resize(BoardWidth, BoardHeight);
    screen_.SetPainter([this] { game_.PaintBoard(); });
    const TMoment start = TMoment::Now();
    game_.LoadGift();
    game_.BuildPuzzle();
    Built = TMoment::Now().Since(start);
  }

  // True when the saved game was resumed.
  bool LayOut() {
    const TMoment start = TMoment::Now();
    const bool resumed = game_.BeginPlay();
    screen_.PaintInvalid();
    LaidOut = TMoment::Now().Since(start);
    return resumed;
  }

  TJigsaw& Game() { return game_; }
  TSpan Built{};
  TSpan LaidOut{};

 private:
  QString gift_;
  TWindowState window_;
  TGameRecords records_;
  TScreen screen_;
  TJigsaw game_{window_, records_, screen_, [this] { return gift_; }};
};

void ReportGoal(benchmark::State& state, double measured, double goal) {
  state.counters["goal_ms"] = goal;
  state.counters["meets_goal"] = measured <= goal;
}

// A played game saved over its previous save, again and again.
void BM_SaveGame(benchmark::State& state, int pieces) {
  const TPhotoGift gift(pieces);
  TStart start(gift.Path());
  start.LayOut();
  TJigsaw& game = start.Game();
  game.ArrangeInGrid(TArrangeSource::Board, true, true);
  game.SaveGame();
  std::vector<double> wall, cpu;
  for (auto _ : state) {
    const TMoment before = TMoment::Now();
    game.SaveGame();
    const TSpan took = TMoment::Now().Since(before);
    wall.push_back(Milliseconds(took.Wall));
    cpu.push_back(Milliseconds(took.Cpu));
    state.SetIterationTime(std::chrono::duration<double>(took.Wall).count());
  }
  state.counters["pieces"] = game.Record.PieceCount;
  state.counters["save_ms"] = MedianOf(wall);
  state.counters["save_max_ms"] = *std::max_element(wall.begin(), wall.end());
  state.counters["save_cpu_ms"] = MedianOf(cpu);
  ReportGoal(state, MedianOf(wall), SaveGoalMs);
}
BENCHMARK_CAPTURE(BM_SaveGame, photo_1000, 1000)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveGame, photo_10000, 10000)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The clock's tick that writes the recovery file after a change: the file
// composed, written to the state folder, flushed and renamed over the last.
constexpr double RecoveryGoalMs = 10;

void BM_RecoveryWrite(benchmark::State& state, int pieces) {
  const TPhotoGift gift(pieces);
  const QTemporaryDir state_folder;
  qputenv("XDG_STATE_HOME", QFile::encodeName(state_folder.path()));
  TStart start(gift.Path());
  start.LayOut();
  TJigsaw& game = start.Game();
  auto now = std::chrono::steady_clock::time_point() + std::chrono::hours(1);
  game.Recovery = TRecovery([&now] { return now; });
  game.Tick();
  std::vector<double> wall;
  bool grid = false;
  for (auto _ : state) {
    // Each write follows a change and comes an interval after the last.
    grid = !grid;
    if (grid)
      game.ArrangeInGrid(TArrangeSource::Board, true, true);
    else
      game.ArrangeAtEdge(TArrangeSource::Board, true, true);
    now += TRecovery::Interval;
    const TMoment before = TMoment::Now();
    game.Tick();
    const TSpan took = TMoment::Now().Since(before);
    wall.push_back(Milliseconds(took.Wall));
    state.SetIterationTime(std::chrono::duration<double>(took.Wall).count());
  }
  if (!QFile::exists(TSavedGamePlace(gift.Path()).Recovery())) state.SkipWithError("no recovery file was written");
  qunsetenv("XDG_STATE_HOME");
  state.counters["pieces"] = game.Record.PieceCount;
  state.counters["recovery_ms"] = MedianOf(wall);
  state.counters["recovery_max_ms"] = *std::max_element(wall.begin(), wall.end());
  ReportGoal(state, MedianOf(wall), RecoveryGoalMs);
}
BENCHMARK_CAPTURE(BM_RecoveryWrite, photo_1000, 1000)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Undo of one drag, the board redrawn where it changed; and the memory that
// 200 such steps keep.
constexpr double UndoGoalMs = 5;
constexpr double UndoMemoryGoalMb = 10;

// Drags whatever lies at the middle of the i-th piece's place a little way,
// as a hand does, and lets the window note the board.
void DragOnce(TJigsaw& game, int i) {
  const TFormPiece& p = game.Pieces[std::size_t(i) % game.Pieces.size()];
  const int x = p.X + p.Width / 2, y = p.Y + p.Height / 2;
  game.MouseDown(TJigsaw::LeftButton, x, y);
  game.MouseMove(x + 17, y + 11);
  game.MouseUp(x + 17, y + 11);
  game.NoteChanges();
}

void BM_UndoStep(benchmark::State& state, int pieces) {
  const TPhotoGift gift(pieces);
  TStart start(gift.Path());
  start.LayOut();
  TJigsaw& game = start.Game();
  game.NoteChanges();
  for (int i = 0; i < int(TUndoHistory::Depth); ++i) DragOnce(game, i * 7);
  state.counters["steps_mb"] = double(game.History.StepBytes()) / (1024.0 * 1024.0);
  state.counters["memory_goal_mb"] = UndoMemoryGoalMb;
  std::vector<double> wall;
  for (auto _ : state) {
    if (!game.CanUndo()) {
      state.PauseTiming();
      while (game.CanRedo()) game.Redo();
      state.ResumeTiming();
    }
    const TMoment before = TMoment::Now();
    game.Undo();
    const TSpan took = TMoment::Now().Since(before);
    wall.push_back(Milliseconds(took.Wall));
    state.SetIterationTime(std::chrono::duration<double>(took.Wall).count());
  }
  state.counters["pieces"] = game.Record.PieceCount;
  state.counters["undo_ms"] = MedianOf(wall);
  state.counters["undo_max_ms"] = *std::max_element(wall.begin(), wall.end());
  ReportGoal(state, MedianOf(wall), UndoGoalMs);
}
BENCHMARK_CAPTURE(BM_UndoStep, photo_1000, 1000)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UndoStep, photo_10000, 10000)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// Each round: a new game of the gift to a playable board (its build and its
// layout), then a start that resumes the game saved before, timed from
// reading the file to the painted board.
void BM_ResumeGame(benchmark::State& state, int pieces) {
  const TPhotoGift gift(pieces);
  {
    TStart played(gift.Path());
    played.LayOut();
    played.Game().ArrangeInGrid(TArrangeSource::Board, true, true);
    played.Game().SaveGame();
  }
  const QString saved = gift.Path() + QStringLiteral(".sav");
  const QString aside = saved + QStringLiteral(".kept");
  std::vector<double> newGame, resume, resumedStart;
  for (auto _ : state) {
    QFile::rename(saved, aside);
    {
      TStart fresh(gift.Path());
      if (fresh.LayOut()) {
        state.SkipWithError("a new game found a saved game");
        return;
      }
      newGame.push_back(Milliseconds(fresh.Built.Wall + fresh.LaidOut.Wall));
    }
    QFile::rename(aside, saved);
    TStart again(gift.Path());
    if (!again.LayOut()) {
      state.SkipWithError("the saved game was not resumed");
      return;
    }
    resume.push_back(Milliseconds(again.LaidOut.Wall));
    resumedStart.push_back(Milliseconds(again.Built.Wall + again.LaidOut.Wall));
    state.SetIterationTime(std::chrono::duration<double>(again.LaidOut.Wall).count());
  }
  const double newGameMs = MedianOf(newGame);
  state.counters["pieces"] = pieces;
  state.counters["new_game_ms"] = newGameMs;
  state.counters["resume_ms"] = MedianOf(resume);
  state.counters["resume_max_ms"] = *std::max_element(resume.begin(), resume.end());
  state.counters["resumed_start_ms"] = MedianOf(resumedStart);
  ReportGoal(state, MedianOf(resume), newGameMs + ResumeAllowanceMs);
}
BENCHMARK_CAPTURE(BM_ResumeGame, photo_1000, 1000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResumeGame, photo_10000, 10000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
