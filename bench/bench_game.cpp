// The game on screen, each case against its goal: a 4000 x 3000 photo cut
// into 1,000 pieces (for the start-up also 5,000 and 10,000) and the demo
// gift, played through the game object on a headless 1920 x 1080 play area
// (repainting a rectangle of the board, resizing the board, rescaling the
// cut, getting the loose pieces into a tray) and started through the real
// main window on Qt's offscreen platform (the time to a playable board in
// this process and in fresh ones, and the player's peak memory), and played
// there with the mouse: a drag frame of a piece and of a group, lifting the
// whole puzzle, a drop that joins.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/moment.h"
#include "bench/offscreen.h"
#include "bench/photo.h"
#include "bench/playerstartup.h"
#include "bench/residentmemory.h"
#include "display/screen.h"
#include "game/jigsaw.h"
#include "game/picture.h"
#include "shell/playarea.h"
#include "tests/common/testgift.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

constexpr int BoardWidth = 1920, BoardHeight = 1080;
constexpr int PhotoWidth = 4000, PhotoHeight = 3000;
// Stands for a piece count where a case plays the demo gift the build makes.
constexpr int DemoGift = 0;

constexpr double RefreshGoalMs = 0.5;
constexpr double ResizeGoalMs = 20;
constexpr double RescaleGoalMs = 300;
constexpr double PlayableBoardGoalMs = 300;
constexpr double PeakMemoryGoalMb = 220;
// The cut of the mouse cases: the photo at this size fits the board whole.
constexpr int PlayScalePercent = 30;
constexpr double PieceFrameGoalMs = 1;
constexpr double GroupFrameGoalMs = 3;
constexpr double LiftGoalMs = 30;
constexpr double DropJoinGoalMs = 10;
constexpr double GetLoosePiecesGoalMs = 50;
// A zoom step's crisp board, by piece count; a pan frame; peak memory at the
// largest zoom, by piece count.
constexpr double ZoomCrispGoalMs1000 = 300, ZoomCrispGoalMs10000 = 600;
constexpr double PanFrameGoalMs = 8;
constexpr double ZoomPeakGoalMb1000 = 250, ZoomPeakGoalMb10000 = 300;
// The start-up goals are set for the 1,000-piece photo.
constexpr int GoalPieces = 1000;

// The demo gift, or a gift of the photo that asks for so many pieces, written
// to a temporary folder that goes with the object.
class TBenchGift {
 public:
  explicit TBenchGift(int pieces) {
    if (pieces == DemoGift) {
      path_ = QStringLiteral(TG_DEMO_GIFT);
      return;
    }
    path_ = folder_.filePath(QStringLiteral("photo-gift"));
    const QByteArray jpeg = EncodeJpeg(MakePicture(PhotoWidth, PhotoHeight), 90);
    if (!WriteTestGift(path_, TestTrailer(std::uint16_t(pieces), 20240601), jpeg))
      throw std::runtime_error("cannot write a gift to " + path_.toStdString());
  }

  const QString& Path() const { return path_; }

 private:
  QTemporaryDir folder_;
  QString path_;
};

// The game object on a play area without a window, started as the player
// starts it (gift, puzzle, new layout, board on the screen copy), then cut at
// scalePercent of the picture (0: as the first board fits the play area).
class THeadlessGame {
 public:
  THeadlessGame(const QString& giftPath, int scalePercent) : path_(giftPath) {
    window_.PlayAreaWidth = BoardWidth;
    window_.PlayAreaHeight = BoardHeight;
    screen_.Resize(BoardWidth, BoardHeight);
    screen_.SetPainter([this] { game_.PaintBoard(); });
    game_.LoadGift();
    game_.StartGame();
    if (scalePercent != 0 && scalePercent != game_.Record.ScalePercent) game_.SetScale(scalePercent);
    screen_.PaintInvalid();
  }

  TJigsaw& Game() { return game_; }

 private:
  QString path_;
  TWindowState window_;
  TGameRecords records_;
  TScreen screen_;
  TJigsaw game_{window_, records_, screen_, [this] { return path_; }};
};

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// name_ms is the median; name_min_ms and name_max_ms give the range.
void ReportSamples(benchmark::State& state, const std::string& name, const std::vector<double>& samples) {
  state.counters[name + "_ms"] = Median(samples);
  state.counters[name + "_min_ms"] = *std::min_element(samples.begin(), samples.end());
  state.counters[name + "_max_ms"] = *std::max_element(samples.begin(), samples.end());
}

// The goal beside what was measured; meets_<goal> stays 1 while every value
// reported against that goal meets it.
void ReportGoal(benchmark::State& state, double measured, const std::string& goalName, double goal) {
  state.counters[goalName] = goal;
  const std::string meets = "meets_" + goalName;
  const auto before = state.counters.find(meets);
  state.counters[meets] = (before == state.counters.end() || before->second.value != 0) && measured <= goal;
}

// Cases whose runs take long: a few, each timed by the case itself.
void FiveTimedRuns(benchmark::internal::Benchmark* b) {
  b->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
}
void OneTimedRun(benchmark::internal::Benchmark* b) {
  b->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

void ReportPuzzle(benchmark::State& state, const TJigsaw& game) {
  state.counters["pieces"] = game.Record.PieceCount;
  state.counters["cut_width"] = game.Record.CutWidth;
  state.counters["cut_height"] = game.Record.CutHeight;
}

// A 200 x 200 rectangle of the board around the piece nearest its centre.
TRect AreaAroundCentralPiece(const TJigsaw& game) {
  constexpr int Side = 200;
  const auto distance = [](const TFormPiece& p) {
    const int dx = p.X + p.Width / 2 - BoardWidth / 2, dy = p.Y + p.Height / 2 - BoardHeight / 2;
    return dx * dx + dy * dy;
  };
  const TFormPiece& central =
      *std::min_element(game.Pieces.begin(), game.Pieces.end(),
                        [&](const TFormPiece& a, const TFormPiece& b) { return distance(a) < distance(b); });
  const int left = std::clamp(central.X + central.Width / 2 - Side / 2, 0, BoardWidth - Side);
  const int top = std::clamp(central.Y + central.Height / 2 - Side / 2, 0, BoardHeight - Side);
  return Bounds(left, top, Side, Side);
}

// Redrawing a rectangle of the board from the mural and the pieces over it,
// as every move, drop and join does.
void BM_RefreshArea(benchmark::State& state, int pieces, int scalePercent) {
  const TBenchGift gift(pieces);
  THeadlessGame headless(gift.Path(), scalePercent);
  TJigsaw& game = headless.Game();
  const TRect area = AreaAroundCentralPiece(game);
  const auto start = Clock::now();
  for (auto _ : state) game.RefreshArea(area);
  const double ms = Milliseconds(Clock::now() - start) / double(state.iterations());
  ReportPuzzle(state, game);
  state.counters["pieces_in_area"] =
      double(std::count_if(game.Pieces.begin(), game.Pieces.end(),
                           [&](const TFormPiece& p) { return TPieces::PieceRect(p).Intersects(area); }));
  state.counters["refresh_ms"] = ms;
  ReportGoal(state, ms, "goal_ms", RefreshGoalMs);
}
BENCHMARK_CAPTURE(BM_RefreshArea, photo_1000_scale_30, 1000, 30)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RefreshArea, demo, DemoGift, 100)->Unit(benchmark::kMillisecond);

// The whole board rebuilt: the mural painted and drawn, the trays refitted,
// every piece drawn, the compositor's background taken. A resize to the
// same size skips only the new bitmaps; alternating takes them too.
void BM_ResizeBoard(benchmark::State& state, int pieces, int scalePercent, bool alternate) {
  constexpr int Shrink = 16;
  const TBenchGift gift(pieces);
  THeadlessGame headless(gift.Path(), scalePercent);
  TJigsaw& game = headless.Game();
  bool smaller = false;
  const auto start = Clock::now();
  for (auto _ : state) {
    smaller = alternate && !smaller;
    game.ResizeBoard(std::uint16_t(BoardWidth - (smaller ? Shrink : 0)),
                     std::uint16_t(BoardHeight - (smaller ? Shrink : 0)));
  }
  const double ms = Milliseconds(Clock::now() - start) / double(state.iterations());
  ReportPuzzle(state, game);
  state.counters["resize_ms"] = ms;
  ReportGoal(state, ms, "goal_ms", ResizeGoalMs);
}
BENCHMARK_CAPTURE(BM_ResizeBoard, photo_1000_scale_30_same_size, 1000, 30, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResizeBoard, photo_1000_scale_30_alternating, 1000, 30, true)
    ->Unit(benchmark::kMillisecond);
// At 100 %, the photo's own size, the pieces hold several boards' worth of
// pixels, piled on one another.
BENCHMARK_CAPTURE(BM_ResizeBoard, photo_1000_scale_100_same_size, 1000, 100, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResizeBoard, demo_same_size, DemoGift, 100, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResizeBoard, demo_alternating, DemoGift, 100, true)->Unit(benchmark::kMillisecond);

// Piece Size: a re-cut at 50 %, then at 150 %, of the decoded picture, with
// the board redrawn, from a game cut at 100 %.
void BM_SetScale(benchmark::State& state, int pieces) {
  const TBenchGift gift(pieces);
  THeadlessGame headless(gift.Path(), 100);
  TJigsaw& game = headless.Game();
  std::map<int, std::vector<double>> wall, cpu;
  for (auto _ : state) {
    Clock::duration both{};
    for (const int percent : {50, 150}) {
      const TMoment start = TMoment::Now();
      game.SetScale(percent);
      const TSpan took = TMoment::Now().Since(start);
      wall[percent].push_back(Milliseconds(took.Wall));
      cpu[percent].push_back(Milliseconds(took.Cpu));
      both += took.Wall;
    }
    state.SetIterationTime(std::chrono::duration<double>(both).count());
  }
  state.counters["pieces"] = game.Record.PieceCount;
  for (const int percent : {50, 150}) {
    const std::string name = "scale_" + std::to_string(percent);
    ReportSamples(state, name, wall[percent]);
    ReportSamples(state, name + "_cpu", cpu[percent]);
    ReportGoal(state, Median(wall[percent]), "goal_ms", RescaleGoalMs);
  }
}
BENCHMARK_CAPTURE(BM_SetScale, photo_1000, 1000)->Apply(FiveTimedRuns);
BENCHMARK_CAPTURE(BM_SetScale, demo, DemoGift)->Apply(FiveTimedRuns);

// From the first clock tick of the main window to its first paint of the
// board, decoding included, five times in this process: the later start-ups
// reuse memory the earlier ones freed.
void BM_PlayableBoard(benchmark::State& state, int pieces) {
  const TBenchGift gift(pieces);
  const TOffscreenApplication application;
  std::vector<double> wall, cpu;
  for (auto _ : state) {
    const TPlayerStartup startup(gift.Path());
    if (!startup.BoardTime()) {
      state.SkipWithError("no board came up");
      return;
    }
    wall.push_back(Milliseconds(startup.BoardTime()->Wall));
    cpu.push_back(Milliseconds(startup.BoardTime()->Cpu));
    state.SetIterationTime(std::chrono::duration<double>(startup.BoardTime()->Wall).count());
  }
  state.counters["first_ms"] = wall.front();
  ReportSamples(state, "board", wall);
  ReportSamples(state, "board_cpu", cpu);
  if (pieces == GoalPieces) ReportGoal(state, Median(wall), "goal_ms", PlayableBoardGoalMs);
}
BENCHMARK_CAPTURE(BM_PlayableBoard, photo_1000, 1000)->Apply(FiveTimedRuns);
BENCHMARK_CAPTURE(BM_PlayableBoard, photo_5000, 5000)->Apply(FiveTimedRuns);
BENCHMARK_CAPTURE(BM_PlayableBoard, photo_10000, 10000)->Apply(FiveTimedRuns);
BENCHMARK_CAPTURE(BM_PlayableBoard, demo, DemoGift)->Apply(FiveTimedRuns);

// What the start-up probe printed, by name; empty when it failed. Given a
// play area size, the window grows around a play area of that size; a
// display scale other than 1 is given to the probe as QT_SCALE_FACTOR.
std::map<std::string, double> RunStartupProbe(const QString& giftPath, QSize playArea, double displayScale) {
  QProcess probe;
  probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  if (displayScale != 1) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(displayScale));
    probe.setProcessEnvironment(environment);
  }
  QStringList arguments{giftPath};
  if (playArea.isValid()) arguments << QStringLiteral("%1x%2").arg(playArea.width()).arg(playArea.height());
  probe.start(QStringLiteral(TG_STARTUP_PROBE), arguments);
  if (!probe.waitForFinished(-1) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
    return {};
  std::map<std::string, double> values;
  for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
    const QList<QByteArray> field = line.split(' ');
    if (field.size() == 2) values[field[0].toStdString()] = field[1].toDouble();
  }
  return values;
}

// The same start-up, each in a process of its own as a user gets it, with
// the process's memory: held with the board up, and its peak; and the scale
// the game cut the first board at to fit its play area (the window's of
// full HD, or one of playArea's size). At a display scale of 2 the window of
// 1920 x 1080 fills a 3840 x 2160 screen, and the board has that screen's
// device pixels.
void BM_PlayerInFreshProcess(benchmark::State& state, int pieces, QSize playArea, double displayScale) {
  constexpr int Runs = 5;
  const TBenchGift gift(pieces);
  std::map<std::string, std::vector<double>> samples;
  for (auto _ : state) {
    for (int run = 0; run < Runs; ++run) {
      const std::map<std::string, double> values = RunStartupProbe(gift.Path(), playArea, displayScale);
      if (values.empty()) {
        state.SkipWithError("the start-up probe failed");
        return;
      }
      for (const auto& [name, value] : values) samples[name].push_back(value);
    }
    state.SetIterationTime(Median(samples["board_ms"]) / 1000);
  }
  ReportSamples(state, "board", samples["board_ms"]);
  ReportSamples(state, "board_cpu", samples["board_cpu_ms"]);
  for (const char* name : {"held_mb", "peak_mb", "board_width", "board_height", "scale_percent"})
    state.counters[name] = Median(samples[name]);
  state.counters["peak_max_mb"] = *std::max_element(samples["peak_mb"].begin(), samples["peak_mb"].end());
  if (pieces != GoalPieces) return;
  ReportGoal(state, Median(samples["board_ms"]), "goal_ms", PlayableBoardGoalMs);
  ReportGoal(state, Median(samples["peak_mb"]), "goal_mb", PeakMemoryGoalMb);
}
BENCHMARK_CAPTURE(BM_PlayerInFreshProcess, photo_1000, 1000, QSize(), 1.0)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_PlayerInFreshProcess, photo_1000_3840x2160_at_200, 1000, QSize(), 2.0)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_PlayerInFreshProcess, photo_5000, 5000, QSize(), 1.0)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_PlayerInFreshProcess, photo_10000, 10000, QSize(), 1.0)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_PlayerInFreshProcess, demo, DemoGift, QSize(), 1.0)->Apply(OneTimedRun);
// The first board cut to fit a play area of full HD.
BENCHMARK_CAPTURE(BM_PlayerInFreshProcess, photo_1000_fitted_board_1920x1080, 1000, QSize(BoardWidth, BoardHeight),
                  1.0)
    ->Apply(OneTimedRun);

// Counts the play area's paints and notes when the latest began, which
// splits a mouse event's time into the game's part and the toolkit's copy of
// the screen copy to the window.
class TPaintWatch : public QObject {
 public:
  explicit TPaintWatch(QWidget& widget) : widget_(widget) { widget_.installEventFilter(this); }
  ~TPaintWatch() override { widget_.removeEventFilter(this); }
  TPaintWatch(const TPaintWatch&) = delete;
  TPaintWatch& operator=(const TPaintWatch&) = delete;

  int Count() const { return count_; }
  const TMoment& LastStart() const { return lastStart_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++count_;
      lastStart_ = TMoment::Now();
    }
    return false;
  }

 private:
  QWidget& widget_;
  int count_ = 0;
  TMoment lastStart_{};
};

// What one mouse event cost: from sending it to the play area to the end of
// the paint it asked for, and the part until that paint began.
struct TEventTime {
  TSpan Total;
  TSpan UntilPaint;
};

// The player's main window on a gift with a play area of the board's size
// and the cut at PlayScalePercent, played with mouse events sent to the play
// area as the window system sends them.
class TPlayerAtPlay {
 public:
  explicit TPlayerAtPlay(const QString& giftPath) : startup_(giftPath), watch_(Area()) {
    TMainForm& form = startup_.Form();
    form.resize(form.width() + BoardWidth - Area().width(), form.height() + BoardHeight - Area().height());
    Settle();
    if (Ready()) Game().SetScale(PlayScalePercent);
    Settle();
  }

  // The board is up at the board's size and the game plays.
  bool Ready() {
    const TMainForm& form = startup_.Form();
    return startup_.BoardTime() && form.BoardLive() &&
           Area().width() == BoardWidth && Area().height() == BoardHeight;
  }
  TJigsaw& Game() { return *startup_.Form().Game; }

  // Empty when no paint followed the event.
  std::optional<TEventTime> Press(TPoint at) {
    return Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  }
  std::optional<TEventTime> MoveTo(TPoint at) {
    return Send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
  }
  std::optional<TEventTime> Release(TPoint at) {
    return Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  }

  // Handles whatever is still queued, the paints of a changed board among
  // them, so that the next timed event starts from a quiet window.
  static void Settle() { QCoreApplication::processEvents(QEventLoop::AllEvents, 1000); }

 private:
  TPlayArea& Area() { return *startup_.Form().PaintBox1; }

  std::optional<TEventTime> Send(QEvent::Type type, TPoint at, Qt::MouseButton button,
                                 Qt::MouseButtons held) {
    constexpr auto PaintTimeout = std::chrono::seconds(5);
    const QPointF local(at.X, at.Y);
    QMouseEvent event(type, local, Area().mapToGlobal(local), button, held, Qt::NoModifier);
    const int paintsBefore = watch_.Count();
    const TMoment start = TMoment::Now();
    QCoreApplication::sendEvent(&Area(), &event);
    // A move reaches the game through the event queue, and every paint is
    // queued after what asked for it.
    while (watch_.Count() == paintsBefore) {
      if (TMoment::Now().Since(start).Wall > PaintTimeout) return std::nullopt;
      QCoreApplication::processEvents();
    }
    return TEventTime{TMoment::Now().Since(start), watch_.LastStart().Since(start)};
  }

  TPlayerStartup startup_;
  TPaintWatch watch_;
};

// A point where the piece lies on top on the board, nearest its middle; none
// when other pieces cover all of it.
std::optional<TPoint> GripPoint(const TJigsaw& game, const TFormPiece& piece) {
  const TPoint middle{piece.X + piece.Width / 2, piece.Y + piece.Height / 2};
  for (int r = 0; r <= std::max(piece.Width, piece.Height) / 2; ++r)
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; dx += (std::abs(dy) == r ? 1 : 2 * r)) {
        const TPoint at{middle.X + dx, middle.Y + dy};
        if (game.BoardTray().PieceUnder(at.X, at.Y, true) == &piece) return at;
      }
  return std::nullopt;
}

// The first count pieces in home order.
TPieceList FirstPieces(TJigsaw& game, int count) {
  TPieceList list;
  for (int i = 0; i < count; ++i) list.push_back(&game.PieceAt(i));
  return list;
}

// The first count pieces in home order made one group by the game's joins,
// each piece onto its left neighbour or, at a row's start, the one above;
// the group then lies in the middle of the board over the other pieces, its
// place stored as a drop stores it.
void AssembleGroup(TJigsaw& game, int count) {
  const int columns = game.Record.Columns;
  TRect changed;
  for (int i = 1; i < count; ++i) {
    TFormPiece& piece = game.PieceAt(i);
    TFormPiece& inGroup = game.PieceAt(i % columns != 0 ? i - 1 : i - columns);
    // Only the first join finds its neighbour loose: that one comes to the
    // piece instead.
    if (inGroup.Joined)
      game.JoinPieces(piece, inGroup, changed);
    else
      game.JoinPieces(inGroup, piece, changed);
  }
  const TPieceList group = FirstPieces(game, count);
  TRect bounds;
  for (const TFormPiece* p : group) bounds = bounds.Union(TPieces::PieceRect(*p));
  TBox& board = game.BoardTray();
  const TRect area = board.BoundsRect();
  TPieces::OffsetPieces(group, (area.Left + area.Right - bounds.Left - bounds.Right) / 2,
                        (area.Top + area.Bottom - bounds.Top - bounds.Bottom) / 2);
  game.BringToFront(group);
  board.SortPieces(TSortOrder::Stacking);
  game.StoreGroupNormalised(board.Pieces, board.InnerRect());
  game.RefreshArea(area);
}

// Besides the median and the range: the time nine samples in ten stay within.
void ReportTail(benchmark::State& state, const std::string& name, std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  state.counters[name + "_p90_ms"] = samples[std::size_t(0.9 * double(samples.size() - 1))];
}

// The mouse events' times under name: total wall and CPU time, and the wall
// time before and after the paint began; the goal is for the median.
void ReportEventTimes(benchmark::State& state, const std::string& name, const std::vector<TEventTime>& times,
                      double goalMs) {
  std::vector<double> wall, cpu, untilPaint, paint;
  for (const TEventTime& t : times) {
    wall.push_back(Milliseconds(t.Total.Wall));
    cpu.push_back(Milliseconds(t.Total.Cpu));
    untilPaint.push_back(Milliseconds(t.UntilPaint.Wall));
    paint.push_back(Milliseconds(t.Total.Wall - t.UntilPaint.Wall));
  }
  ReportSamples(state, name, wall);
  ReportTail(state, name, wall);
  ReportSamples(state, name + "_cpu", cpu);
  ReportSamples(state, name + "_until_paint", untilPaint);
  ReportSamples(state, name + "_paint", paint);
  ReportGoal(state, Median(wall), "goal_ms", goalMs);
  state.SetIterationTime(Median(wall) / 1000);
}

// One frame of a drag: a mouse move of a few pixels with the floating image
// put back on the board, stamped at its new place and flushed, and the
// toolkit's copy of those rectangles to the window. A loose piece near the
// board's middle (groupPieces 1) or a group of groupPieces circles around
// where it was taken.
void BM_DragFrame(benchmark::State& state, int pieces, int groupPieces, double goalMs, int zoomPercent = 0) {
  constexpr int Frames = 256, FramesPerCircle = 32, Radius = 40;
  const TBenchGift gift(pieces);
  const TOffscreenApplication application;
  TPlayerAtPlay player(gift.Path());
  if (!player.Ready()) {
    state.SkipWithError("no board came up");
    return;
  }
  TJigsaw& game = player.Game();
  if (groupPieces > 1) AssembleGroup(game, groupPieces);
  // Zoomed, the view shows the middle of the board.
  const bool zoomed = zoomPercent != 0;
  if (zoomed) game.ZoomAbout(BoardWidth / 2, BoardHeight / 2, zoomPercent);
  TPlayerAtPlay::Settle();
  const TRect view = game.ViewRect();

  // The taken piece: of the group, its member nearest the group's middle;
  // of the loose pieces, the one nearest the view's middle that shows.
  std::vector<const TFormPiece*> candidates;
  TRect bounds;
  for (int i = 0; i < (groupPieces > 1 ? groupPieces : game.Record.PieceCount); ++i) {
    candidates.push_back(&game.PieceAt(i));
    bounds = bounds.Union(TPieces::PieceRect(game.PieceAt(i)));
  }
  const TPoint middle = groupPieces > 1 && !zoomed
                            ? TPoint{(bounds.Left + bounds.Right) / 2, (bounds.Top + bounds.Bottom) / 2}
                            : TPoint{(view.Left + view.Right) / 2, (view.Top + view.Bottom) / 2};
  const auto distance = [&](const TFormPiece* p) {
    const int dx = p->X + p->Width / 2 - middle.X, dy = p->Y + p->Height / 2 - middle.Y;
    return dx * dx + dy * dy;
  };
  std::sort(candidates.begin(), candidates.end(),
            [&](const TFormPiece* a, const TFormPiece* b) { return distance(a) < distance(b); });
  std::optional<TPoint> grip;
  for (auto it = candidates.begin(); it != candidates.end() && !grip; ++it) grip = GripPoint(game, **it);
  if (!grip) {
    state.SkipWithError("no piece to take");
    return;
  }
  // The mouse is over the play area, which shows the board from the view's
  // corner, each pixel magnified past the largest cut.
  const double magnification = game.Screen.Magnification();
  grip = TPoint{int((grip->X - view.Left) * magnification), int((grip->Y - view.Top) * magnification)};

  std::vector<TEventTime> frames;
  for (auto _ : state) {
    if (!player.Press(*grip) || game.Gesture.MouseState != TJigsaw::DraggingPieces ||
        int(game.Gesture.Moving.size()) != groupPieces) {
      state.SkipWithError("the press took up something else");
      return;
    }
    for (int frame = 1; frame <= Frames; ++frame) {
      const double angle = 2 * std::numbers::pi * frame / FramesPerCircle;
      const TPoint at{grip->X + int(std::lround(Radius * (std::cos(angle) - 1))),
                      grip->Y + int(std::lround(Radius * std::sin(angle)))};
      const std::optional<TEventTime> time = player.MoveTo(at);
      if (!time) {
        state.SkipWithError("a move was not painted");
        return;
      }
      frames.push_back(*time);
    }
    player.Release(*grip);
    ReportEventTimes(state, "frame", frames, goalMs);
  }
  ReportPuzzle(state, game);
  state.counters["group_pieces"] = groupPieces;
  state.counters["image_width"] = game.View.DragImage.Width();
  state.counters["image_height"] = game.View.DragImage.Height();
}
BENCHMARK_CAPTURE(BM_DragFrame, photo_1000_piece, 1000, 1, PieceFrameGoalMs)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_5000_piece, 5000, 1, PieceFrameGoalMs)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_10000_piece, 10000, 1, PieceFrameGoalMs)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_1000_group_500, 1000, 500, GroupFrameGoalMs)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_5000_group_500, 5000, 500, GroupFrameGoalMs)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_10000_group_500, 10000, 500, GroupFrameGoalMs)->Apply(OneTimedRun);
// The same zoomed to the photo's own size, and to the largest zoom, which
// magnifies it three times.
BENCHMARK_CAPTURE(BM_DragFrame, photo_1000_piece_zoom_100, 1000, 1, PieceFrameGoalMs, 100)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_10000_piece_zoom_100, 10000, 1, PieceFrameGoalMs, 100)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_1000_group_500_zoom_100, 1000, 500, GroupFrameGoalMs, 100)
    ->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_10000_group_500_zoom_100, 10000, 500, GroupFrameGoalMs, 100)
    ->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_1000_piece_zoom_300, 1000, 1, PieceFrameGoalMs, 300)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_10000_piece_zoom_300, 10000, 1, PieceFrameGoalMs, 300)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_1000_group_500_zoom_300, 1000, 500, GroupFrameGoalMs, 300)
    ->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DragFrame, photo_10000_group_500_zoom_300, 10000, 500, GroupFrameGoalMs, 300)
    ->Apply(OneTimedRun);

// The press on the whole puzzle, assembled in one group: the group brought
// to the front, drawn into the floating image with its mask and shadow,
// hidden, the board redrawn under it, and the window painted. Each lift is
// dropped again where it was taken.
void BM_LiftPuzzle(benchmark::State& state, int pieces) {
  constexpr int Lifts = 10;
  const TBenchGift gift(pieces);
  const TOffscreenApplication application;
  TPlayerAtPlay player(gift.Path());
  if (!player.Ready()) {
    state.SkipWithError("no board came up");
    return;
  }
  TJigsaw& game = player.Game();
  AssembleGroup(game, game.Record.PieceCount);
  TPlayerAtPlay::Settle();
  const TFormPiece& middle = game.PieceAt(game.Record.PieceCount / 2 + game.Record.Columns / 2);
  const std::optional<TPoint> grip = GripPoint(game, middle);
  if (!grip) {
    state.SkipWithError("no point to take the puzzle by");
    return;
  }
  std::vector<TEventTime> lifts;
  for (auto _ : state) {
    for (int lift = 0; lift < Lifts; ++lift) {
      const std::optional<TEventTime> time = player.Press(*grip);
      if (!time || int(game.Gesture.Moving.size()) != game.Record.PieceCount) {
        state.SkipWithError("the press did not lift the puzzle");
        return;
      }
      lifts.push_back(*time);
      player.Release(*grip);
      TPlayerAtPlay::Settle();
    }
    ReportEventTimes(state, "lift", lifts, LiftGoalMs);
  }
  ReportPuzzle(state, game);
  state.counters["image_width"] = game.View.DragImage.Width();
  state.counters["image_height"] = game.View.DragImage.Height();
}
BENCHMARK_CAPTURE(BM_LiftPuzzle, photo_1000, 1000)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_LiftPuzzle, photo_5000, 5000)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_LiftPuzzle, photo_10000, 10000)->Apply(OneTimedRun);

// The release of a loose piece a pixel off its place beside its loose right
// neighbour: the piece back on the board, the neighbour snapped onto it, the
// tray re-sorted, the places stored and the changed rectangle redrawn and
// painted. Every drop takes another pair, spread over the puzzle.
void BM_DropJoin(benchmark::State& state, int pieces) {
  constexpr int Drops = 20, Steps = 4;
  const TBenchGift gift(pieces);
  const TOffscreenApplication application;
  TPlayerAtPlay player(gift.Path());
  if (!player.Ready()) {
    state.SkipWithError("no board came up");
    return;
  }
  TJigsaw& game = player.Game();
  const int columns = game.Record.Columns, count = game.Record.PieceCount;
  // Inside by a cell, so that nothing keeps the piece from its place.
  const TRect inside = game.BoardTray().InnerRect().Inflate(-game.Record.CellWidth, -game.Record.CellHeight);
  std::vector<TEventTime> drops;
  for (auto _ : state) {
    for (int drop = 0; drop < Drops; ++drop) {
      std::optional<TEventTime> time;
      for (int k = drop * count / Drops; k + 1 < count && !time; ++k) {
        TFormPiece& piece = game.PieceAt(k);
        TFormPiece& neighbour = game.PieceAt(k + 1);
        if ((k + 1) % columns == 0 || piece.Joined || neighbour.Joined) continue;
        const TPoint home = TPieces::ExpectedPos(piece, neighbour);
        const TRect target = Bounds(home.X + 1, home.Y + 1, piece.Width, piece.Height);
        const std::optional<TPoint> grip = GripPoint(game, piece);
        if (!grip || target.Union(inside) != inside) continue;
        const TPoint to{grip->X + target.Left - piece.X, grip->Y + target.Top - piece.Y};
        player.Press(*grip);
        for (int step = 1; step <= Steps; ++step)
          player.MoveTo(
              {grip->X + (to.X - grip->X) * step / Steps, grip->Y + (to.Y - grip->Y) * step / Steps});
        time = player.Release(to);
        if (!time || !piece.Joined || neighbour.Group != piece.Group) {
          state.SkipWithError("a drop beside its neighbour did not join");
          return;
        }
      }
      if (!time) {
        state.SkipWithError("too few loose pairs to drop");
        return;
      }
      drops.push_back(*time);
      TPlayerAtPlay::Settle();
    }
    ReportEventTimes(state, "drop", drops, DropJoinGoalMs);
  }
  ReportPuzzle(state, game);
}
BENCHMARK_CAPTURE(BM_DropJoin, photo_1000, 1000)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DropJoin, photo_5000, 5000)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_DropJoin, photo_10000, 10000)->Apply(OneTimedRun);

// Get loose pieces of a new tray, every piece of the board loose: the pieces
// moved into the tray, the tray grown to hold them, laid out in a grid, their
// places stored, and the board and the tray redrawn. Between the runs, and
// not timed, the pieces go back to their places on the board and the empty
// tray opens again at its first size.
void BM_GetLoosePieces(benchmark::State& state, int pieces, int scalePercent) {
  const TBenchGift gift(pieces);
  const TOffscreenApplication application;
  THeadlessGame headless(gift.Path(), scalePercent);
  TJigsaw& game = headless.Game();
  TBox& tray = game.NewTray();
  game.RunAnimationsToEnd();
  // The tray is the one its popup was opened on.
  game.CurrentTray = &tray;
  const TRect firstBounds = tray.BoundsRect();
  std::vector<TPoint> scattered;
  for (const TFormPiece& p : game.Pieces) scattered.push_back({p.X, p.Y});
  TBox& board = game.BoardTray();
  std::vector<double> wall, cpu;
  for (auto _ : state) {
    const TMoment start = TMoment::Now();
    game.GetLoosePieces(false);
    const TSpan took = TMoment::Now().Since(start);
    wall.push_back(Milliseconds(took.Wall));
    cpu.push_back(Milliseconds(took.Cpu));
    state.SetIterationTime(std::chrono::duration<double>(took.Wall).count());
    if (int(tray.Pieces.size()) != game.Record.PieceCount || !tray.Open) {
      state.SkipWithError("the tray did not get every loose piece");
      return;
    }
    state.counters["tray_width"] = tray.Width;
    state.counters["tray_height"] = tray.Height;
    game.DropTrayPieces();
    auto place = scattered.begin();
    for (TFormPiece& p : game.Pieces) {
      TFormPiece* const piece[] = {&p};
      TPieces::OffsetPieces(piece, place->X - p.X, place->Y - p.Y);
      ++place;
    }
    board.SortPieces(TSortOrder::Stacking);
    game.StoreGroupNormalised(board.Pieces, board.InnerRect());
    game.RefreshArea(board.BoundsRect());
    tray.SetBounds(firstBounds);
    tray.ToggleOpen();
    game.RunAnimationsToEnd();
  }
  ReportPuzzle(state, game);
  ReportSamples(state, "get_loose", wall);
  ReportSamples(state, "get_loose_cpu", cpu);
  ReportGoal(state, Median(wall), "goal_ms", GetLoosePiecesGoalMs);
}
// At 30 % the cut fits the board whole; at 100 % it is the photo's own size.
BENCHMARK_CAPTURE(BM_GetLoosePieces, photo_1000_scale_30, 1000, 30)->Apply(FiveTimedRuns);
BENCHMARK_CAPTURE(BM_GetLoosePieces, photo_1000_scale_100, 1000, 100)->Apply(FiveTimedRuns);

// The wheel's zoom steps from the first board, fitted to the play area, in
// to the largest zoom and out again, each the crisp board cut anew about the
// view's middle; the peak memory of the process from the first board on.
void BM_ZoomSteps(benchmark::State& state, int pieces) {
  const TBenchGift gift(pieces);
  THeadlessGame headless(gift.Path(), 0);
  TJigsaw& game = headless.Game();
  const double held = ResidentMegabytes("VmRSS:");
  ResetPeakResident();
  std::vector<double> in, out;
  for (auto _ : state) {
    Clock::duration all{};
    while (game.CanZoomIn()) {
      const auto start = Clock::now();
      game.ZoomStep(1);
      all += Clock::now() - start;
      in.push_back(Milliseconds(Clock::now() - start));
    }
    state.counters["largest_zoom"] = game.ZoomPercent();
    while (game.CanZoomOut()) {
      const auto start = Clock::now();
      game.ZoomStep(-1);
      all += Clock::now() - start;
      out.push_back(Milliseconds(Clock::now() - start));
    }
    state.SetIterationTime(std::chrono::duration<double>(all).count());
  }
  ReportPuzzle(state, game);
  state.counters["whole_board_scale"] = game.ZoomPercent();
  const double goal = pieces >= 10000 ? ZoomCrispGoalMs10000 : ZoomCrispGoalMs1000;
  ReportSamples(state, "step_in", in);
  ReportSamples(state, "step_out", out);
  ReportGoal(state, *std::max_element(in.begin(), in.end()), "goal_ms", goal);
  ReportGoal(state, *std::max_element(out.begin(), out.end()), "goal_ms", goal);
  state.counters["held_before_mb"] = held;
  const double peak = ResidentMegabytes("VmHWM:");
  state.counters["peak_mb"] = peak;
  ReportGoal(state, peak, "goal_mb", pieces >= 10000 ? ZoomPeakGoalMb10000 : ZoomPeakGoalMb1000);
}
BENCHMARK_CAPTURE(BM_ZoomSteps, photo_1000, 1000)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_ZoomSteps, photo_10000, 10000)->Apply(OneTimedRun);

// At the largest cut, the photo's own size, where the view holds the most
// pieces' pixels, the view moved by an eighth of its width or height round
// the board: what comes into view drawn, the rest moved along, and the
// screen copy painted.
void BM_PanFrame(benchmark::State& state, int pieces) {
  const TBenchGift gift(pieces);
  THeadlessGame headless(gift.Path(), 0);
  TJigsaw& game = headless.Game();
  game.ZoomAbout(BoardWidth / 2, BoardHeight / 2, game.LargestCut());
  const TRect view = game.ViewRect();
  const TPoint steps[] = {{view.Width() / 8, 0}, {0, view.Height() / 8}, {-view.Width() / 8, 0}, {0, -view.Height() / 8}};
  std::vector<double> frames;
  for (auto _ : state) {
    for (const TPoint step : steps)
      for (int i = 0; i < 8; ++i) {
        const auto start = Clock::now();
        game.ScrollBy(step.X, step.Y);
        game.Screen.PaintInvalid();
        frames.push_back(Milliseconds(Clock::now() - start));
      }
    state.SetIterationTime(Median(frames) / 1000);
  }
  ReportPuzzle(state, game);
  state.counters["zoom"] = game.ZoomPercent();
  ReportSamples(state, "pan", frames);
  ReportTail(state, "pan", frames);
  ReportGoal(state, Median(frames), "goal_ms", PanFrameGoalMs);
}
BENCHMARK_CAPTURE(BM_PanFrame, photo_1000, 1000)->Apply(OneTimedRun);
BENCHMARK_CAPTURE(BM_PanFrame, photo_10000, 10000)->Apply(OneTimedRun);

}  // namespace
