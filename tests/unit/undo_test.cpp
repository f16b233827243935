#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <random>

#include "platform/input.h"
#include "tests/common/testgame.h"

namespace {

// A 4 x 3 puzzle of 100-pixel cells laid out in a grid on a 960 x 720 board,
// played with the mouse; the board is noted after every action, as the main
// window does.
class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300));
    t_ = std::make_unique<TTestGame>(gift_, 960, 720);
    t_->window.TrayBar.Width = 960;
    t_->Start();
    SetInputSource([] { return TInputState{}; });
    // A grid, where every piece can be taken by its middle, is where these
    // games start and their undo ends.
    game().ArrangeInGrid(TArrangeSource::Board, false, false);
    game().History.Restart();
    game().NoteChanges();
  }
  void TearDown() override { SetInputSource({}); }

  TJigsaw& game() { return *t_->game; }
  TFormPiece& piece(int index) { return game().Pieces[std::size_t(index)]; }
  TPoint Grip(const TFormPiece& p) {
    for (int r = 0; r < p.Width / 2; ++r)
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          const int x = p.X + p.Width / 2 + dx, y = p.Y + p.Height / 2 + dy;
          if (game().TrayAt(x, y).PieceUnder(x, y, true) == &p) return {x, y};
        }
    return {-1, -1};
  }
  // Drags the piece by (dx, dy) as a hand does, then the window notes the
  // board. False when no point of the piece can be taken.
  bool Drag(TFormPiece& p, int dx, int dy) {
    const TPoint at = Grip(p);
    if (at.X < 0) return false;
    game().MouseDown(TJigsaw::LeftButton, at.X, at.Y);
    game().NoteChanges();
    EXPECT_FALSE(game().CanUndo());  // not while it floats
    game().MouseMove(at.X + dx / 2, at.Y + dy / 2);
    game().MouseMove(at.X + dx, at.Y + dy);
    game().MouseUp(at.X + dx, at.Y + dy);
    game().NoteChanges();
    return true;
  }
  bool BoardIsFresh() {
    TBitmap fresh(960, 720);
    game().View.Mural.Draw({0, 0, 960, 720}, fresh);
    game().DrawTrays(fresh, nullptr);
    t_->screen.PaintInvalid();
    return SameBitmap(fresh, game().View.BoardBitmap) && SameBitmap(game().View.BoardBitmap, t_->screen.Image());
  }

  QTemporaryDir dir_;
  QString gift_;
  std::unique_ptr<TTestGame> t_;
};

}  // namespace

TEST_F(UndoTest, AnUndoneJoinSplitsTheGroupAndRedoJoinsItAgain) {
  const TBoardState before = game().CaptureBoard();
  EXPECT_FALSE(game().CanUndo());
  TFormPiece& left = piece(0);
  TFormPiece& right = piece(1);
  const TPoint fits = TPieces::ExpectedPos(right, left);
  ASSERT_TRUE(Drag(right, fits.X - right.X + 3, fits.Y - right.Y - 2));
  ASSERT_TRUE(right.Joined);
  ASSERT_EQ(t_->records.Puzzle.SolvedCount, 2);
  // The status line counts the join at once, not at the clock's next tick.
  EXPECT_EQ(t_->window.SolvedStatus.Text(), QStringLiteral("Solved 2 of 12"));
  const TBoardState joined = game().CaptureBoard();
  EXPECT_TRUE(t_->window.Commands.Undo.Enabled());

  game().Undo();
  EXPECT_EQ(game().CaptureBoard(), before);
  EXPECT_FALSE(left.Joined);
  EXPECT_EQ(t_->records.Puzzle.SolvedCount, 0);
  EXPECT_TRUE(BoardIsFresh());
  EXPECT_FALSE(t_->window.Commands.Undo.Enabled());
  EXPECT_TRUE(t_->window.Commands.Redo.Enabled());

  game().Redo();
  EXPECT_EQ(game().CaptureBoard(), joined);
  EXPECT_EQ(t_->records.Puzzle.SolvedCount, 2);
  EXPECT_TRUE(BoardIsFresh());
  // A new change leaves nothing to redo.
  game().Undo();
  ASSERT_TRUE(Drag(piece(5), 30, 30));
  EXPECT_FALSE(game().CanRedo());
}

TEST_F(UndoTest, UndoingEveryStepOfAPlayedGameGivesBackItsStart) {
  TJigsaw& g = game();
  g.Config.Rotating = true;
  const TBoardState start = g.CaptureBoard();
  std::mt19937 random(7);
  int steps = 0;
  for (int move = 0; move < 200; ++move) {
    const TBoardState was = g.CaptureBoard();
    TFormPiece& p = piece(int(random() % 12));
    switch (random() % 8) {
      case 0:
      case 1:
      case 6:
      case 7:
        Drag(p, int(random() % 300) - 150, int(random() % 200) - 100);
        break;
      case 2:
        g.RotateGroup(p, 1 + int(random() % 3), true);
        break;
      case 3:
        g.Disarrange(TArrangeSource::Board, false);
        break;
      case 4:
        g.NewTray();
        break;
      default:
        if (g.Trays.size() > 1) {
          g.CurrentTray = g.Trays.back().get();
          if (random() % 2)
            g.GetLoosePieces(false);
          else
            g.DeleteTray();
        }
        break;
    }
    g.NoteChanges();
    steps += g.CaptureBoard() == was ? 0 : 1;
  }
  ASSERT_GT(steps, 100);
  const TBoardState played = g.CaptureBoard();
  int undone = 0;
  while (g.CanUndo()) {
    g.Undo();
    ++undone;
  }
  EXPECT_EQ(undone, steps);
  EXPECT_EQ(g.CaptureBoard(), start);
  EXPECT_EQ(g.Trays.size(), 1u);
  EXPECT_TRUE(BoardIsFresh());
  while (g.CanRedo()) g.Redo();
  EXPECT_EQ(g.CaptureBoard(), played);
  EXPECT_TRUE(BoardIsFresh());
}

TEST_F(UndoTest, ArrangeInGridIsUndoneAndTheHistoryKeepsTwoHundredSteps) {
  TJigsaw& g = game();
  // An undone disarrangement leaves no trace: its shuffle goes with it, and
  // the grid lays the pieces out in their old order again.
  const TBoardState grid = g.CaptureBoard();
  const auto places = [&] {
    std::vector<TPoint> at;
    for (const TFormPiece& p : g.Pieces) at.push_back({p.X, p.Y});
    return at;
  };
  const std::vector<TPoint> gridPlaces = places();
  g.Disarrange(TArrangeSource::Board, false);
  g.NoteChanges();
  g.Undo();
  g.ArrangeInGrid(TArrangeSource::Board, false, false);
  g.NoteChanges();
  EXPECT_EQ(places(), gridPlaces);
  EXPECT_EQ(g.CaptureBoard(), grid);

  g.Disarrange(TArrangeSource::Board, false);
  g.NoteChanges();
  const TBoardState scattered = g.CaptureBoard();
  g.ArrangeInGrid(TArrangeSource::Board, true, true);
  g.NoteChanges();
  g.Undo();
  EXPECT_EQ(g.CaptureBoard(), scattered);
  // A new piece size is undone with a cut at the old one.
  g.SetScale(150);
  g.NoteChanges();
  g.Undo();
  EXPECT_EQ(g.Record.ScalePercent, 100);
  EXPECT_EQ(g.Record.CutWidth, 400);
  EXPECT_EQ(g.CaptureBoard(), scattered);
  EXPECT_TRUE(BoardIsFresh());

  for (int i = 0; i < 250; ++i) {
    g.Disarrange(TArrangeSource::Board, false);
    g.NoteChanges();
  }
  int undone = 0;
  while (g.CanUndo()) {
    g.Undo();
    ++undone;
  }
  EXPECT_EQ(undone, 200);
}

TEST_F(UndoTest, SavingIsNoStep) {
  // The game is saved while the opening splash waits, the clock's recovery
  // writes every few seconds: none makes a step to undo.
  game().SaveGame();
  game().NoteChanges();
  EXPECT_FALSE(game().CanUndo());
}

TEST_F(UndoTest, ANewPieceSizeOrShapeIsUndoneWithItsShapeAndOddness) {
  TJigsaw& g = game();
  const TBoardState start = g.CaptureBoard();
  const TBitmap board = g.View.BoardBitmap;
  ASSERT_EQ(g.Record.Oddness, 5);
  ASSERT_EQ(g.Record.ShapeStyle, 1);

  // The piece size dialog's Apply: a shape, an oddness and a size together.
  g.SetShape(9, 4);
  g.SetScale(150);
  g.NoteChanges();
  const TBoardState recut = g.CaptureBoard();
  g.Undo();
  g.NoteChanges();
  EXPECT_EQ(g.Record.ScalePercent, 100);
  EXPECT_EQ(g.Record.Oddness, 5);
  EXPECT_EQ(g.Record.ShapeStyle, 1);
  EXPECT_EQ(g.CaptureBoard(), start);
  EXPECT_TRUE(SameBitmap(g.View.BoardBitmap, board));
  EXPECT_TRUE(BoardIsFresh());
  g.Redo();
  EXPECT_EQ(g.CaptureBoard(), recut);
  EXPECT_EQ(g.Record.Oddness, 9);
  g.Undo();

  // A new shape at the same size is a step of its own, which Ctrl+Z takes
  // back before anything else.
  g.SetShape(0, 3);
  g.SetScale(100);
  g.NoteChanges();
  EXPECT_FALSE(SameBitmap(g.View.BoardBitmap, board));
  ASSERT_TRUE(g.CanUndo());
  g.Undo();
  EXPECT_EQ(g.Record.Oddness, 5);
  EXPECT_EQ(g.Record.ShapeStyle, 1);
  EXPECT_TRUE(SameBitmap(g.View.BoardBitmap, board));
  EXPECT_EQ(g.CaptureBoard(), start);
}

TEST(UndoStart, TheFirstMoveOfAStartedGameIsUndoneToItsStart) {
  // Started as the player starts, the new layout is where undo ends: the
  // first move is a step, and undoing it gives back the board as it began.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString gift = dir.filePath(QStringLiteral("gift"));
  ASSERT_TRUE(WriteTestGift(gift, 400, 300));
  TTestGame t(gift, 960, 720);
  EXPECT_FALSE(t.Start());
  SetInputSource([] { return TInputState{}; });
  TJigsaw& g = *t.game;
  EXPECT_FALSE(g.CanUndo());
  const TBoardState start = g.CaptureBoard();
  const TFormPiece& top = *g.BoardTray().Pieces.back();
  const TPoint at = PointOnPiece(g, top);
  g.MouseDown(TJigsaw::LeftButton, at.X, at.Y);
  g.MouseMove(at.X + 30, at.Y + 20);
  g.MouseUp(at.X + 30, at.Y + 20);
  g.NoteChanges();
  ASSERT_TRUE(g.CanUndo());
  EXPECT_NE(g.CaptureBoard(), start);
  g.Undo();
  EXPECT_EQ(g.CaptureBoard(), start);
  EXPECT_FALSE(g.CanUndo());
  SetInputSource({});
}
