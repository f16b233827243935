#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "game/savedgame.h"
#include "pieces/mural.h"
#include "platform/input.h"
#include "tests/common/testgame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 1600 x 1200 picture of 48 pieces on a 480 x 360 play area: the first
// board cuts it small, so there is room to look closer.
class ZoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 1600, 1200, TestTrailer(48)));
    t_ = std::make_unique<TTestGame>(gift_);
    t_->Start();
  }
  TJigsaw& game() { return *t_->game; }
  Bytes Saved() {
    game().Record.ElapsedSeconds = 61;
    game().SaveGame();
    QFile file(TSavedGamePlace(gift_).Beside());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
  }
  static TBox& AddTray(TJigsaw& game, std::uint32_t number, TRect bounds) {
    TBox& tray = *game.Trays.emplace_back(std::make_unique<TBox>(game, number));
    tray.SetBounds(bounds);
    tray.TakeFrontNo();
    game.SortTrays(TBoxes::TTrayOrder::Stacking);
    return tray;
  }

  QTemporaryDir dir_;
  QString gift_;
  std::unique_ptr<TTestGame> t_;
};

}  // namespace

TEST_F(ZoomTest, ZoomingChangesNothingSavedAndTheWholeBoardComesBackPixelForPixel) {
  TJigsaw& g = game();
  const int whole = g.Record.ScalePercent;
  ASSERT_LT(whole, 50) << "the first board cuts the picture small";
  // A tray holding a piece, turned, at a place of its own inside it.
  TBox& tray = AddTray(g, 1, {41, 33, 241, 183});
  TFormPiece& held = g.PieceAt(5);
  g.RotateGroup(held, 1, false);
  held.X = tray.InnerRect().Left + 17;
  held.Y = tray.InnerRect().Top + 9;
  g.PickGroup(&held);
  g.DropMoving(&tray, false);
  g.NoteChanges();
  const Bytes before = Saved();
  const TBitmap board = g.View.BoardBitmap;
  const std::vector<TFormPiece> pieces = g.Pieces;

  g.ZoomAbout(0, 0, 2 * whole);
  ASSERT_TRUE(g.IsZoomed());
  EXPECT_EQ(g.Record.ScalePercent, 2 * whole);
  EXPECT_EQ(g.BoardSize().Width, 960);
  EXPECT_EQ(g.BoardSize().Height, 720);
  // The view stays the play area's size.
  EXPECT_EQ(g.ViewRect(), Bounds(0, 0, 480, 360));
  // Everything on the board lies twice as far from its corner, give or take
  // the rounding of a cut twice as large; the piece in the tray keeps its
  // place in proportion to the tray's inner area, whose frame stays as wide.
  EXPECT_EQ(tray.BoundsRect(), Bounds(82, 66, 400, 300));
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i == 5) continue;
    EXPECT_NEAR(g.Pieces[i].X, 2 * pieces[i].X, 3) << i;
    EXPECT_NEAR(g.Pieces[i].Y, 2 * pieces[i].Y, 3) << i;
  }
  const TRect inner = tray.InnerRect();
  const TRect innerBefore{41 + 8, 33 + 24, 241 - 8, 183 - 8};
  EXPECT_NEAR(double(held.X - inner.Left) / inner.Width(),
              double(pieces[5].X - innerBefore.Left) / innerBefore.Width(), 0.01);
  EXPECT_NEAR(double(held.Y - inner.Top) / inner.Height(),
              double(pieces[5].Y - innerBefore.Top) / innerBefore.Height(), 0.01);
  EXPECT_EQ(Saved(), before);

  g.ZoomAbout(0, 0, 3 * whole);
  EXPECT_EQ(Saved(), before);

  g.ZoomAbout(0, 0, whole);
  EXPECT_FALSE(g.IsZoomed());
  EXPECT_EQ(g.Record.ScalePercent, whole);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    EXPECT_EQ(g.Pieces[i].X, pieces[i].X) << i;
    EXPECT_EQ(g.Pieces[i].Y, pieces[i].Y) << i;
  }
  EXPECT_TRUE(SameBitmap(g.View.BoardBitmap, board));
  EXPECT_EQ(Saved(), before);
}

namespace {

// Presses on a point of the board, moves in a few steps by (dx, dy) and
// lets go, as a hand does.
void DragFrom(TJigsaw& g, TPoint from, int dx, int dy) {
  g.MouseDown(TJigsaw::LeftButton, from.X, from.Y);
  for (int step = 1; step <= 4; ++step) g.MouseMove(from.X + dx * step / 4, from.Y + dy * step / 4);
  g.MouseUp(from.X + dx, from.Y + dy);
  g.NoteChanges();
}

}  // namespace

TEST_F(ZoomTest, ThePieceUnderThePointerStaysThereAsTheViewZoomsAboutIt) {
  TJigsaw& g = game();
  SetInputSource([] { return TInputState{}; });
  const int whole = g.Record.ScalePercent;
  TFormPiece& p = g.PieceAt(20);
  const TPoint pointer = PointOnPiece(g, p);
  // Where on the piece the pointer is, as a share of its size.
  const double across = double(pointer.X - p.X) / p.Width, down = double(pointer.Y - p.Y) / p.Height;
  TPoint onView = pointer;
  TPoint onBoard = pointer;
  for (const int percent : {whole * 5 / 4, whole * 2}) {
    g.ZoomAbout(onBoard.X, onBoard.Y, percent);
    ASSERT_EQ(g.ZoomPercent(), percent);
    const TRect view = g.ViewRect();
    // The same place on the piece is under the same point of the view.
    const double x = p.X + across * p.Width - view.Left, y = p.Y + down * p.Height - view.Top;
    EXPECT_NEAR(x, onView.X, 1.0) << percent;
    EXPECT_NEAR(y, onView.Y, 1.0) << percent;
    onBoard = {onView.X + view.Left, onView.Y + view.Top};
    EXPECT_EQ(g.TrayAt(onBoard.X, onBoard.Y).PieceUnder(onBoard.X, onBoard.Y, true), &p);
  }
  // The steps of the wheel run from the whole board to the largest zoom and
  // back, and stop at both ends.
  g.ShowWholeBoard();
  EXPECT_FALSE(g.IsZoomed());
  EXPECT_FALSE(g.CanZoomOut());
  for (int i = 0; i < 40 && g.CanZoomIn(); ++i) g.ZoomStep(1);
  EXPECT_EQ(g.ZoomPercent(), g.LargestZoom());
  EXPECT_GE(g.LargestZoom(), 100);
  g.ZoomStep(1);
  EXPECT_EQ(g.ZoomPercent(), g.LargestZoom());
  for (int i = 0; i < 40 && g.CanZoomOut(); ++i) g.ZoomStep(-1);
  EXPECT_EQ(g.ZoomPercent(), whole);
  // Auto-solve works on the pieces a zoom would cut anew: no zoom meanwhile.
  g.AutoSolve();
  EXPECT_FALSE(g.CanZoomIn());
  g.ZoomStep(1);
  EXPECT_EQ(g.ZoomPercent(), whole);
  g.StopAutoSolve();
  EXPECT_TRUE(g.CanZoomIn());
  SetInputSource({});
}

TEST_F(ZoomTest, UndoAndRedoCrossZoomsAndAJoinWorksAtTwiceTheSize) {
  TJigsaw& g = game();
  SetInputSource([] { return TInputState{}; });
  const int whole = g.Record.ScalePercent;
  // A closed tray, which covers no piece while its place goes with the zoom.
  TBox& tray = AddTray(g, 1, {300, 200, 460, 340});
  tray.ToggleOpen();
  g.NoteChanges();
  const Bytes first = Saved();

  // A move on the whole board, then one at twice the size.
  TFormPiece& a = g.PieceAt(0);
  DragFrom(g, PointOnPiece(g, a), 30, 20);
  const Bytes afterA = Saved();
  ASSERT_NE(afterA, first);

  g.ZoomAbout(a.X, a.Y, 2 * whole);
  EXPECT_FALSE(g.History.CanRedo());
  EXPECT_EQ(Saved(), afterA) << "a zoom is no step";
  // The right neighbour of piece 0 dragged to its place beside it joins it.
  TFormPiece& b = g.PieceAt(1);
  g.ScrollIntoView(g.PieceRect(a));
  const TPoint grip = PointOnPiece(g, b);
  DragFrom(g, grip, a.X + (b.HomeX - a.HomeX) - b.X, a.Y + (b.HomeY - a.HomeY) - b.Y);
  EXPECT_TRUE(a.Joined && b.Joined && a.Group == b.Group);
  EXPECT_EQ(b.X - a.X, b.HomeX - a.HomeX);
  const Bytes afterJoin = Saved();

  g.Undo();
  EXPECT_FALSE(b.Joined);
  EXPECT_EQ(Saved(), afterA);
  g.ShowWholeBoard();
  g.Undo();
  EXPECT_EQ(Saved(), first);
  g.ZoomAbout(0, 0, 3 * whole);
  ASSERT_EQ(g.ZoomPercent(), 3 * whole);
  g.Redo();
  EXPECT_EQ(Saved(), afterA);
  g.Redo();
  EXPECT_EQ(Saved(), afterJoin);
  EXPECT_TRUE(a.Joined && b.Joined && a.Group == b.Group);
  EXPECT_EQ(b.X - a.X, b.HomeX - a.HomeX);
  // Every piece lies where three times the size puts it, as a zoom there
  // from the whole board does.
  std::vector<TPoint> redone;
  for (const TFormPiece& p : g.Pieces) redone.push_back({p.X, p.Y});
  const TRect trayRedone = tray.BoundsRect();
  g.ShowWholeBoard();
  g.ZoomAbout(0, 0, 3 * whole);
  for (const TFormPiece& p : g.Pieces) EXPECT_EQ(redone[std::size_t(p.Index)], (TPoint{p.X, p.Y})) << p.Index;
  EXPECT_EQ(tray.BoundsRect(), trayRedone);
  SetInputSource({});
}

TEST_F(ZoomTest, CheatsAndNewTraysComeIntoView) {
  TJigsaw& g = game();
  SetInputSource([] { return TInputState{}; });
  g.ZoomAbout(0, 0, 3 * g.WholeBoardScale());
  const TRect board{0, 0, g.BoardSize().Width, g.BoardSize().Height};
  const auto inView = [&](const TFormPiece& p) { return g.ViewRect().Contains({p.X + p.Width / 2, p.Y + p.Height / 2}); };
  // Each corner of the board in turn, with the pieces fetched elsewhere: the
  // place they join at is shown.
  for (const TPoint corner : {TPoint{board.Right, board.Bottom}, TPoint{0, board.Bottom}, TPoint{board.Right, 0}}) {
    g.ScrollTo(corner.X, corner.Y);
    TFormPiece& a = g.PieceAt(5);
    g.Gesture.PopupPiece = &a;
    g.Gesture.NeighbourPiece = g.NeighbourToward(a, {a.X + a.Width - 4, a.Y + a.Height / 2});
    ASSERT_NE(g.Gesture.NeighbourPiece, nullptr);
    TFormPiece* b = g.Gesture.NeighbourPiece;
    g.FetchNeighbor();
    g.RunAnimationsToEnd();
    EXPECT_TRUE(inView(a) && inView(*b)) << corner.X << "," << corner.Y;
    EXPECT_TRUE(a.Group == b->Group);
    g.Undo();
  }
  // A new tray is as large as on the whole board, three times over, and
  // shows from its corner.
  const TRect wholeTray = [&] {
    g.ShowWholeBoard();
    const TRect bounds = g.NewTray().BoundsRect();
    g.RunAnimationsToEnd();
    g.DeleteTray();
    return bounds;
  }();
  g.ZoomAbout(0, 0, 3 * g.WholeBoardScale());
  g.ScrollTo(board.Right, board.Bottom);
  TBox& tray = g.NewTray();
  g.RunAnimationsToEnd();
  EXPECT_EQ(tray.Width, 3 * wholeTray.Width());
  EXPECT_EQ(tray.Height, 3 * wholeTray.Height());
  EXPECT_TRUE(g.ViewRect().Contains({tray.X, tray.Y}));
  // Its button stays where the play area shows it as the view moves, for
  // the tray to open and close from there.
  const TRect button = tray.ButtonRect();
  const TRect view = g.ViewRect();
  g.ScrollTo(0, 0);
  EXPECT_EQ(tray.ButtonRect(), button.Offset(-view.Left, -view.Top));
  SetInputSource({});
}

TEST_F(ZoomTest, TheViewShowsItsPartOfTheWholeZoomedBoardAndOnlyThatIsHeld) {
  TJigsaw& g = game();
  TBox& tray = AddTray(g, 1, {100, 80, 300, 230});
  g.RefreshArea(tray.BoundsRect().Inflate(12, 12));
  g.ZoomAbout(0, 0, 3 * g.WholeBoardScale());
  const TSize board = g.BoardSize();
  // The zoomed board drawn whole, as a board bitmap of its size would hold it.
  TBitmap whole(board.Width, board.Height);
  TMural mural;
  mural.SetSize(board.Width, board.Height);
  mural.Paint(g.Window.Color());
  mural.Draw(whole.BoundsRect(), whole);
  g.DrawTrays(whole, nullptr);
  const auto showsItsPart = [&](const TBitmap& view) {
    const TRect part = g.ViewRect();
    for (int y = part.Top; y < part.Bottom; ++y)
      for (int x = part.Left; x < part.Right; ++x)
        if (view.Pixel(x, y) != whole.Pixel(x, y)) {
          ADD_FAILURE() << "differs at " << x << "," << y << " of the view from " << part.Left << "," << part.Top;
          return false;
        }
    return true;
  };
  // Views across the tray's edges, the pieces' and the board's far corner.
  for (const TPoint from : {TPoint{250, 190}, TPoint{333, 517}, TPoint{board.Width, board.Height}}) {
    g.ScrollTo(from.X, from.Y);
    t_->screen.PaintInvalid();
    EXPECT_TRUE(showsItsPart(g.View.BoardBitmap));
    EXPECT_TRUE(showsItsPart(t_->screen.Image()));
    // Only the view's pixels are held, whatever the zoom.
    EXPECT_LE(g.View.BoardBitmap.Width(), 481);
    EXPECT_LE(g.View.Compositor.Background().Height(), 361);
  }
}

TEST_F(ZoomTest, ABandAndATrayDraggedAcrossAScrollLeaveTheViewClean) {
  TJigsaw& g = game();
  SetInputSource([] { return TInputState{}; });
  TBox& tray = AddTray(g, 1, {20, 20, 140, 110});
  g.RefreshArea(tray.BoundsRect().Inflate(12, 12));
  g.ZoomAbout(0, 0, 2 * g.WholeBoardScale());
  const auto viewIsClean = [&] {
    t_->screen.PaintInvalid();
    TBitmap fresh(g.View.BoardBitmap.Width(), g.View.BoardBitmap.Height());
    fresh.SetOrigin(g.ViewRect().TopLeft());
    g.View.Mural.Draw(fresh.BoundsRect(), fresh);
    g.DrawTrays(fresh, nullptr);
    const TRect view = g.ViewRect();
    for (int y = view.Top; y < view.Bottom; ++y)
      for (int x = view.Left; x < view.Right; ++x)
        if (fresh.Pixel(x, y) != g.View.BoardBitmap.Pixel(x, y) || fresh.Pixel(x, y) != t_->screen.Image().Pixel(x, y))
          return false;
    return true;
  };
  // A band from a free place of the board, the view scrolled under it as
  // the edge scrolls it, and on: the band follows, and only it goes.
  TPoint start{-1, -1};
  for (int y = 150; y < 350 && start.X < 0; y += 4)
    for (int x = 150; x < 450 && start.X < 0; x += 4)
      if (&g.TrayAt(x, y) == &g.BoardTray() && !g.BoardTray().PieceUnder(x, y, true)) start = {x, y};
  ASSERT_GE(start.X, 0);
  g.MouseDown(TJigsaw::LeftButton, start.X, start.Y);
  ASSERT_EQ(g.Gesture.MouseState, TJigsaw::Banding);
  // The window paints between the events.
  const auto paint = [&] { t_->screen.PaintInvalid(); };
  g.MouseMove(start.X + 100, start.Y + 80);
  paint();
  g.ScrollBy(120, 90);
  paint();
  g.MouseMove(start.X + 220, start.Y + 170);
  paint();
  EXPECT_EQ(g.Band.X2, start.X + 220);
  g.MouseUp(start.X + 220, start.Y + 170);
  g.CancelSelection();
  EXPECT_TRUE(viewIsClean());

  // The tray taken by its frame past the view's edge as the view scrolls.
  g.ScrollTo(0, 0);
  const TPoint frame{tray.X + tray.Width / 2, tray.Y + 3};
  const TRect before = tray.BoundsRect();
  g.MouseDown(TJigsaw::LeftButton, frame.X, frame.Y);
  ASSERT_EQ(g.Gesture.MouseState, TJigsaw::DraggingTray);
  g.MouseMove(frame.X + 200, frame.Y + 100);
  paint();
  g.ScrollBy(300, 200);
  paint();
  g.MouseMove(frame.X + 500, frame.Y + 300);
  paint();
  g.MouseUp(frame.X + 500, frame.Y + 300);
  EXPECT_EQ(tray.BoundsRect(), before.Offset(500, 300));
  EXPECT_TRUE(viewIsClean());
  SetInputSource({});
}

TEST_F(ZoomTest, PastTheLargestCutTheViewMagnifiesAndNothingSavedChanges) {
  TJigsaw& g = game();
  SetInputSource([] { return TInputState{}; });
  const Bytes before = Saved();
  // Cut past its own size as far as a large photo's pixels; magnified on.
  const int cut = g.LargestCut();
  ASSERT_GT(cut, 100);
  ASSERT_LT(cut, 300);
  EXPECT_EQ(g.LargestZoom(), 300);
  g.ZoomAbout(200, 150, cut);
  const TRect cutView = g.ViewRect();
  // The board point shown at the pointer, unmagnified.
  const TPoint shown{200, 150};
  const TPoint under{cutView.Left + shown.X, cutView.Top + shown.Y};
  g.ZoomAbout(under.X, under.Y, 300);
  EXPECT_EQ(g.ZoomPercent(), 300);
  EXPECT_EQ(g.Record.ScalePercent, cut) << "no cut past the largest";
  const double magnification = 300.0 / cut;
  EXPECT_DOUBLE_EQ(t_->screen.Magnification(), magnification);
  // The screen copy has the view's pixels, each shown larger on the play
  // area, which keeps its size.
  const TRect view = g.ViewRect();
  EXPECT_EQ(view.Width(), int(std::lround(480 / magnification)));
  EXPECT_EQ(t_->screen.Width(), view.Width());
  EXPECT_EQ(t_->screen.PlayAreaWidth(), 480);
  EXPECT_EQ(g.BoardSize().Width, 480 * cut / g.WholeBoardScale());
  // The board point stays where the play area shows it.
  EXPECT_NEAR((under.X - view.Left) * magnification, shown.X, magnification);
  EXPECT_NEAR((under.Y - view.Top) * magnification, shown.Y, magnification);
  t_->screen.PaintInvalid();
  for (const TPoint at : {view.TopLeft(), TPoint{view.Right - 1, view.Bottom - 1}, under})
    EXPECT_EQ(t_->screen.Image().Pixel(at.X, at.Y), g.View.BoardBitmap.Pixel(at.X, at.Y));
  EXPECT_EQ(Saved(), before);
  g.ZoomStep(-1);
  EXPECT_LT(g.ZoomPercent(), 300);
  g.ShowWholeBoard();
  EXPECT_DOUBLE_EQ(t_->screen.Magnification(), 1.0);
  EXPECT_EQ(t_->screen.Width(), 480);
  EXPECT_EQ(Saved(), before);
  SetInputSource({});
}

TEST_F(ZoomTest, ANewWindowSizeKeepsTheViewsCentreAndTheZoom) {
  TJigsaw& g = game();
  SetInputSource([] { return TInputState{}; });
  const Bytes before = Saved();
  for (const int percent : {3 * g.WholeBoardScale(), 300}) {
    g.ZoomAbout(0, 0, percent);
    g.ScrollTo(g.BoardSize().Width / 3, g.BoardSize().Height / 2);
    const TRect view = g.ViewRect();
    const double cx = (view.Left + view.Width() / 2.0) / g.BoardSize().Width;
    const double cy = (view.Top + view.Height() / 2.0) / g.BoardSize().Height;
    // The window grows as the play area does in the player: the screen copy
    // first, then the board.
    t_->screen.Resize(600, 400);
    g.ResizeBoard(600, 400);
    EXPECT_EQ(g.ZoomPercent(), percent);
    EXPECT_EQ(g.ViewRect().Width(), t_->screen.Width());
    EXPECT_EQ(t_->screen.PlayAreaWidth(), 600);
    const TRect resized = g.ViewRect();
    // Within a pixel of the view's centre.
    EXPECT_NEAR(resized.Left + resized.Width() / 2.0, cx * g.BoardSize().Width, 1.0) << percent;
    EXPECT_NEAR(resized.Top + resized.Height() / 2.0, cy * g.BoardSize().Height, 1.0) << percent;
    // Back to the first size, and to the whole board: as it was.
    t_->screen.Resize(480, 360);
    g.ResizeBoard(480, 360);
    g.ShowWholeBoard();
    EXPECT_EQ(Saved(), before) << percent;
  }
  SetInputSource({});
}
