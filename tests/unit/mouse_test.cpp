#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <vector>

#include "platform/cursors.h"
#include "platform/input.h"
#include "platform/utility.h"
#include "tests/common/testgame.h"

namespace {

// The keys as the tests hold them.
class THeldKeys {
 public:
  THeldKeys(bool shift, bool ctrl) { SetInputSource([shift, ctrl] { return TInputState{shift, ctrl, false}; }); }
  ~THeldKeys() { SetInputSource({}); }
};

struct TPopupSeen {
  TPopup Popup;
  TPoint At;
};

// A 4 x 3 puzzle of 100-pixel cells, laid out in a grid on a board large
// enough that no two pieces overlap, so every piece can be taken by its
// middle.
class MouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300));
    t_ = std::make_unique<TTestGame>(gift_, 960, 720);
    t_->Start();
    game().ArrangeInGrid(TArrangeSource::Board, false, false);
    t_->screen.PaintInvalid();
    QObject::connect(&t_->window, &TWindowState::PopupRequested, [this](TPopup popup, int x, int y) {
      popups_.push_back({popup, {x, y}});
    });
    SetInputSource([] { return TInputState{}; });
  }
  void TearDown() override { SetInputSource({}); }

  TJigsaw& game() { return *t_->game; }
  TFormPiece& piece(int index) { return game().Pieces[std::size_t(index)]; }
  // A point on the piece itself near its middle, where a hand takes it.
  TPoint Middle(const TFormPiece& p) {
    const TPoint at = PointOnPiece(game(), p);
    EXPECT_EQ(&p, game().TrayAt(at.X, at.Y).PieceUnder(at.X, at.Y, true)) << "no point on piece " << p.Index;
    return at;
  }

  // Presses on the piece's middle, moves in a few steps by (dx, dy) and lets
  // go, as a hand does.
  void Drag(TFormPiece& p, int dx, int dy) { DragFrom(Middle(p), dx, dy); }
  void DragFrom(TPoint from, int dx, int dy) {
    game().MouseDown(TJigsaw::LeftButton, from.X, from.Y);
    for (int step = 1; step <= 4; ++step) game().MouseMove(from.X + dx * step / 4, from.Y + dy * step / 4);
    game().MouseUp(from.X + dx, from.Y + dy);
  }

  // The board as a fresh redraw would make it: nothing left of any drag.
  bool BoardIsClean() {
    TBitmap fresh(960, 720);
    game().View.Mural.Draw({0, 0, 960, 720}, fresh);
    game().DrawTrays(fresh, nullptr);
    t_->screen.PaintInvalid();
    return SameBitmap(fresh, game().View.BoardBitmap) && SameBitmap(game().View.BoardBitmap, t_->screen.Image()) &&
           SameBitmap(game().View.BoardBitmap, game().View.Compositor.Background());
  }

  QTemporaryDir dir_;
  QString gift_;
  std::unique_ptr<TTestGame> t_;
  std::vector<TPopupSeen> popups_;
};

}  // namespace

TEST_F(MouseTest, APieceDroppedWithinAQuarterCellJoinsItsNeighbour) {
  TFormPiece& left = piece(0);
  TFormPiece& right = piece(1);
  const int q = t_->records.Puzzle.CellHeight / 4;
  ASSERT_GT(q, 2);
  const TPoint home = TPieces::ExpectedPos(right, left);

  // Just outside on the right and below: nothing joins, and the pieces lie
  // where they were dropped.
  for (const TPoint miss : {TPoint{q, 0}, TPoint{0, q}, TPoint{-q - 1, 0}}) {
    Drag(right, home.X + miss.X - right.X, home.Y + miss.Y - right.Y);
    EXPECT_FALSE(right.Joined) << miss.X << "," << miss.Y;
    EXPECT_EQ(right.X, home.X + miss.X);
    EXPECT_EQ(game().Gesture.MouseState, TJigsaw::Idle);
    EXPECT_TRUE(BoardIsClean());
  }
  // Inside (left and top inclusive): the loose neighbour moves onto the
  // dropped piece.
  Drag(right, home.X - q - right.X, home.Y + q - 1 - right.Y);
  EXPECT_TRUE(right.Joined);
  EXPECT_TRUE(left.Joined);
  EXPECT_EQ(left.Group, right.Group);
  EXPECT_EQ(right.X, home.X - q);
  EXPECT_EQ(TPieces::ExpectedPos(right, left), (TPoint{right.X, right.Y}));
  EXPECT_EQ(t_->records.Puzzle.SolvedCount, 2);
  EXPECT_TRUE(BoardIsClean());
  EXPECT_EQ(t_->screen.Cursor(), crDefault);

  // The group moves as one, and its third piece joins onto it: a neighbour
  // that is already joined pulls the dropped piece.
  TFormPiece& below = piece(4);
  const TPoint under = TPieces::ExpectedPos(below, left);
  Drag(below, under.X + 2 - below.X, under.Y - 1 - below.Y);
  EXPECT_EQ(below.Group, left.Group);
  EXPECT_EQ(TPieces::ExpectedPos(below, left), (TPoint{below.X, below.Y}));
  EXPECT_EQ(t_->records.Puzzle.SolvedCount, 3);
  const TPoint before{left.X, left.Y};
  Drag(below, 37, 21);
  EXPECT_EQ(left.X, before.X + 37);
  EXPECT_EQ(right.Y, TPieces::ExpectedPos(right, left).Y);
  EXPECT_TRUE(BoardIsClean());

  // Taking one piece of the group to show it raised leaves the rest.
  game().PickPiece(right);
  EXPECT_EQ(game().Gesture.Moving.size(), 1u);
  EXPECT_TRUE(right.Hidden);
  EXPECT_FALSE(left.Hidden);
  game().PutBack();
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, NoJoinAcrossTurnsOrTrays) {
  TFormPiece& left = piece(0);
  TFormPiece& right = piece(1);
  game().Config.Rotating = true;
  {
    // Ctrl+left turns a quarter counter-clockwise.
    THeldKeys ctrl(false, true);
    const TPoint at = Middle(right);
    game().MouseDown(TJigsaw::LeftButton, at.X, at.Y);
    game().MouseUp(at.X, at.Y);
  }
  EXPECT_EQ(right.Rotation, 3);
  EXPECT_EQ(game().Gesture.MouseState, TJigsaw::Idle);
  EXPECT_TRUE(BoardIsClean());
  TPoint home = TPieces::ExpectedPos(right, left);
  Drag(right, home.X - right.X, home.Y - right.Y);
  EXPECT_FALSE(right.Joined);

  // Turned back, but in a tray of its own.
  game().RotateGroup(right, 1, false);
  EXPECT_EQ(right.Rotation, 0);
  game().Trays.push_back(std::make_unique<TBox>(game(), 1));
  TBox& tray = *game().Trays.back();
  tray.SetBounds({500, 400, 900, 700});
  game().RefreshArea(tray.BoundsRect());
  Drag(right, 650 - Middle(right).X, 550 - Middle(right).Y);
  EXPECT_EQ(right.Tray, 1);
  EXPECT_TRUE(tray.Button->Full());
  // At the tray's left edge, so that its neighbour's place lies on the
  // board beside the tray.
  const TRect inner = tray.InnerRect();
  Drag(right, inner.Left + 2 - right.X, inner.Top + 40 - right.Y);
  ASSERT_EQ(right.Tray, 1);
  home = TPieces::ExpectedPos(left, right);
  Drag(left, home.X - left.X, home.Y - left.Y);
  ASSERT_LT(home.X + left.Width / 2, tray.X);
  EXPECT_EQ(left.Tray, 0);
  EXPECT_FALSE(left.Joined);
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, TheSmallestGroupJoinsFirst) {
  // A piece whose upper neighbour lies in a group of five and whose left
  // neighbour lies in a group of two, the two groups a pixel apart: the
  // group of two takes it first, then all go onto the group of five, which
  // does not move.
  TJigsaw& g = game();
  const int columns = t_->records.Puzzle.Columns;
  const int p = columns + 1, up = 1, leftOf = columns;
  auto group = [&](std::vector<int> members, std::int32_t id) {
    for (int m : members) {
      TFormPiece& q = piece(m);
      q.Group = id;
      q.Joined = true;
      if (m != members[0]) TPieces::AlignTo(q, piece(members[0]));
    }
  };
  group({up, 0, 2, 3, columns + 3}, 500);
  const TPoint fits = TPieces::ExpectedPos(piece(leftOf), piece(up));
  piece(leftOf).X = fits.X + 1;
  piece(leftOf).Y = fits.Y + 1;
  group({leftOf, 2 * columns}, 501);
  for (auto& tray : g.Trays) tray->SortPieces(TSortOrder::Stacking);
  g.RefreshArea({0, 0, 960, 720});
  ASSERT_EQ(g.GroupSize(piece(up)), 5);
  ASSERT_EQ(g.GroupSize(piece(leftOf)), 2);
  const TPoint fivePlace{piece(up).X, piece(up).Y};
  const TPoint target = TPieces::ExpectedPos(piece(p), piece(up));
  Drag(piece(p), target.X - piece(p).X, target.Y - piece(p).Y);
  EXPECT_EQ(piece(p).Group, piece(up).Group);
  EXPECT_EQ(piece(leftOf).Group, piece(up).Group);
  EXPECT_EQ((TPoint{piece(up).X, piece(up).Y}), fivePlace);
  EXPECT_EQ(TPieces::ExpectedPos(piece(leftOf), piece(up)), (TPoint{piece(leftOf).X, piece(leftOf).Y}));
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, ABandLiftsLoosePiecesThatMoveTogetherWithoutJoining) {
  TFormPiece& a = piece(0);
  TFormPiece& b = piece(1);
  // Exactly around the first two pieces of the top row, from right to left.
  const TRect around = TPieces::PieceRect(a).Union(TPieces::PieceRect(b));
  const TPoint start{around.Right + 2, around.Bottom + 2};
  ASSERT_EQ(&game().TrayAt(start.X, start.Y), &game().BoardTray());
  ASSERT_EQ(game().BoardTray().PieceUnder(start.X, start.Y, true), nullptr);
  game().MouseDown(TJigsaw::LeftButton, start.X, start.Y);
  EXPECT_EQ(game().Gesture.MouseState, TJigsaw::Banding);
  game().MouseMove(around.Left + 40, around.Top + 30);
  game().MouseMove(around.Left, around.Top);
  game().MouseUp(around.Left, around.Top);
  EXPECT_EQ(game().Gesture.MouseState, TJigsaw::Selected);
  ASSERT_EQ(game().Gesture.Moving.size(), 2u);

  // Dragged together far past the bottom-right corner: the selection stops
  // half a cell beyond the board, and nothing joins when it is dropped.
  // Each loose piece is a group of its own: dropped, one that lies wholly
  // outside the board shrunk by half a cell comes in as a resume would bring
  // it, until half a cell of it is on the board: both pieces lie wholly
  // below that area and come up to half a cell above the bottom edge, and
  // the right-hand one, wholly right of it too, comes in to half a cell left
  // of the right edge.
  const TPoint grip = Middle(a);
  game().MouseDown(TJigsaw::LeftButton, grip.X, grip.Y);
  EXPECT_EQ(game().Gesture.MouseState, TJigsaw::DraggingSelection);
  EXPECT_EQ(t_->screen.Cursor(), crClosedHand);
  game().MouseMove(grip.X + 3000, grip.Y + 3000);
  const int half = t_->records.Puzzle.CellWidth / 2;
  const int halfDown = t_->records.Puzzle.CellHeight / 2;
  EXPECT_EQ(game().Gesture.MoveRect.Right, 960 + half);
  TFormPiece& left = a.X < b.X ? a : b;
  TFormPiece& right = a.X < b.X ? b : a;
  const int leftX = game().Gesture.MoveRect.Left + left.X - around.Left;
  ASSERT_LT(leftX + left.Width, 960 - half);
  ASSERT_GT(game().Gesture.MoveRect.Top, 720 - halfDown);
  ASSERT_GT(game().Gesture.MoveRect.Left + right.X - around.Left, 960 - half);
  game().MouseUp(grip.X + 3000, grip.Y + 3000);
  EXPECT_EQ((TPoint{left.X, left.Y}), (TPoint{leftX, 720 - halfDown}));
  EXPECT_EQ((TPoint{right.X, right.Y}), (TPoint{960 - half, 720 - halfDown}));
  EXPECT_FALSE(a.Joined);
  EXPECT_EQ(t_->records.Puzzle.SolvedCount, 0);
  EXPECT_TRUE(BoardIsClean());

  // A selection is put back by a press beside it, which lifts nothing.
  const TRect again = TPieces::PieceRect(piece(2));
  DragFrom({again.Right + 3, again.Bottom + 3}, -again.Width() - 6, -again.Height() - 6);
  ASSERT_EQ(game().Gesture.MouseState, TJigsaw::Selected);
  const TPoint other = Middle(piece(5));
  game().MouseDown(TJigsaw::LeftButton, other.X, other.Y);
  EXPECT_EQ(game().Gesture.MouseState, TJigsaw::Idle);
  EXPECT_TRUE(game().Gesture.Moving.empty());
  EXPECT_FALSE(piece(5).Hidden);
  EXPECT_FALSE(piece(2).Hidden);
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, RightButtonPopupsAndTheAlternativeMode) {
  TFormPiece& p = piece(3);
  const TPoint at = Middle(p);
  game().MouseDown(TJigsaw::RightButton, at.X, at.Y);
  ASSERT_EQ(popups_.size(), 1u);
  EXPECT_EQ(popups_[0].Popup, TPopup::Piece);
  EXPECT_EQ(game().Gesture.PopupPiece, &p);
  EXPECT_TRUE(p.Hidden);  // shown raised while the popup is open
  game().PopupClosed();
  EXPECT_FALSE(p.Hidden);
  EXPECT_TRUE(BoardIsClean());

  game().MouseDown(TJigsaw::RightButton, 950, 710);
  ASSERT_EQ(popups_.size(), 2u);
  EXPECT_EQ(popups_[1].Popup, TPopup::Play);
  EXPECT_EQ(popups_[1].At, (TPoint{950, 710}));

  // Alternative: a right click turns clockwise when rotation is on, Ctrl
  // gives the popup; with rotation off the popup as before.
  t_->window.MouseMode = 1;
  game().Config.Rotating = true;
  game().MouseDown(TJigsaw::RightButton, at.X, at.Y);
  EXPECT_EQ(p.Rotation, 1);
  EXPECT_EQ(popups_.size(), 2u);
  {
    THeldKeys ctrl(false, true);
    game().MouseDown(TJigsaw::RightButton, Middle(p).X, Middle(p).Y);
    EXPECT_EQ(popups_.size(), 3u);
    game().PopupClosed();
  }
  game().Config.Rotating = false;
  game().MouseDown(TJigsaw::RightButton, Middle(p).X, Middle(p).Y);
  EXPECT_EQ(popups_.size(), 4u);
  EXPECT_EQ(popups_.back().Popup, TPopup::Piece);
  game().PopupClosed();

  // Shift with cheating off is a plain click; during an auto-solve plain
  // presses do nothing, and right clicks still work.
  game().Config.CheatingAllowed = false;
  {
    THeldKeys shift(true, false);
    const TPoint q = Middle(piece(6));
    game().MouseDown(TJigsaw::LeftButton, q.X, q.Y);
    EXPECT_EQ(game().Gesture.MouseState, TJigsaw::DraggingPieces);
    game().MouseUp(q.X, q.Y);
  }
  game().AutoSolving = true;
  const TPoint r = Middle(piece(7));
  game().MouseDown(TJigsaw::LeftButton, r.X, r.Y);
  EXPECT_EQ(game().Gesture.MouseState, TJigsaw::Idle);
  game().MouseDown(TJigsaw::RightButton, r.X, r.Y);
  EXPECT_EQ(popups_.size(), 5u);
  game().PopupClosed();
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, TraysAreDraggedResizedAndClosedByTheirBox) {
  TJigsaw& g = game();
  g.Trays.push_back(std::make_unique<TBox>(g, 1));
  TBox& tray = *g.Trays.back();
  tray.SetBounds({300, 200, 500, 350});
  g.RefreshArea(tray.BoundsRect());

  // By the title bar to a new place.
  g.MouseDown(TJigsaw::LeftButton, 350, 210);
  EXPECT_EQ(g.Gesture.MouseState, TJigsaw::DraggingTray);
  EXPECT_EQ(t_->screen.Cursor(), crSizeAll);
  g.MouseMove(380, 250);
  g.MouseMove(400, 260);
  g.MouseUp(400, 260);
  EXPECT_EQ(tray.BoundsRect(), (TRect{350, 250, 550, 400}));
  EXPECT_TRUE(BoardIsClean());

  // By its right edge, leftwards past the smallest width.
  g.MouseMove(548, 320);
  EXPECT_EQ(g.Gesture.MouseState, TJigsaw::OverEdge);
  EXPECT_EQ(t_->screen.Cursor(), crSizeWE);
  g.MouseDown(TJigsaw::LeftButton, 548, 320);
  EXPECT_EQ(g.Gesture.MouseState, TJigsaw::Resizing);
  g.MouseMove(420, 320);
  g.MouseUp(420, 320);
  EXPECT_EQ(tray.BoundsRect(), (TRect{350, 250, 450, 400}));
  EXPECT_TRUE(BoardIsClean());

  // The minimize box: moving off before letting go cancels, letting go on
  // it closes the tray into its button.
  g.MouseMove(10, 10);
  const TRect box = tray.CloseBoxRect();
  g.MouseDown(TJigsaw::LeftButton, box.Left + 5, box.Top + 5);
  EXPECT_EQ(g.Gesture.MouseState, TJigsaw::PressingCloseBox);
  EXPECT_TRUE(tray.ClosePressed);
  g.MouseMove(box.Left - 30, box.Top + 5);
  EXPECT_EQ(g.Gesture.MouseState, TJigsaw::Idle);
  g.MouseUp(box.Left - 30, box.Top + 5);
  EXPECT_TRUE(tray.Open);
  g.MouseDown(TJigsaw::LeftButton, box.Left + 5, box.Top + 5);
  g.MouseUp(box.Left + 5, box.Top + 5);
  EXPECT_FALSE(tray.Open);
  EXPECT_FALSE(tray.Button->Down());
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, ALostMouseDropsWhatFloatsWhereItIs) {
  TFormPiece& right = piece(1);
  const TPoint home = TPieces::ExpectedPos(right, piece(0));
  const TPoint at = Middle(right);
  game().MouseDown(TJigsaw::LeftButton, at.X, at.Y);
  game().MouseMove(at.X + home.X - right.X, at.Y + home.Y - right.Y);
  game().CancelGesture();
  EXPECT_EQ(game().Gesture.MouseState, TJigsaw::Idle);
  EXPECT_FALSE(right.Hidden);
  EXPECT_FALSE(right.Joined);
  EXPECT_EQ((TPoint{right.X, right.Y}), home);
  EXPECT_TRUE(BoardIsClean());

  // A band that loses the mouse leaves no lines on the screen.
  game().MouseDown(TJigsaw::LeftButton, 950, 710);
  game().MouseMove(900, 650);
  game().CancelGesture();
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, ShadowsAndSlides) {
  game().Config.Shadows = true;
  game().PickPiece(piece(0));
  EXPECT_EQ(game().View.ShadowSize, 10);  // 100-pixel cells: a tenth
  game().PutBack();

  // A slide ends at its end point unless a button is down and it may be
  // interrupted.
  game().PickPiece(piece(0));
  const TPoint from = game().GetMovePos();
  game().AnimateTo(from.X, from.Y, false, 9, from.X + 90, from.Y + 40);
  game().RunAnimationsToEnd();
  EXPECT_EQ(game().GetMovePos(), (TPoint{from.X + 90, from.Y + 40}));
  SetInputSource([] { return TInputState{false, false, false, true}; });
  game().AnimateTo(from.X, from.Y, false, 9, from.X + 60, from.Y + 60);
  game().RunAnimationsToEnd();
  EXPECT_EQ(game().GetMovePos(), (TPoint{from.X + 60, from.Y + 60}));
  // It stops at its first frame, at most that frame's steps along.
  game().AnimateTo(from.X + 60, from.Y + 60, true, 9, from.X + 200, from.Y + 100);
  game().RunAnimationsToEnd();
  EXPECT_LE(game().GetMovePos().X - (from.X + 60), 9);
  EXPECT_GE(game().GetMovePos().X, from.X + 60);
  SetInputSource([] { return TInputState{}; });
  game().PutBack();
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, TheWholePuzzleAsOneGroupGoesAnywhereTheBoardAllows) {
  // Assembled, with shadows and wooden sides: the largest image a lift makes.
  game().SetOutlineStyle(OutlineWood);
  t_->screen.PaintInvalid();
  game().Config.Shadows = true;
  for (TFormPiece& p : game().Pieces) {
    p.Group = 900;
    p.Joined = true;
    TPieces::AlignTo(p, piece(0));
  }
  game().BoardTray().SortPieces(TSortOrder::Stacking);
  game().RefreshArea({0, 0, 960, 720});
  const TPoint grip = Middle(piece(5));
  const TPoint start{piece(0).X, piece(0).Y};
  // Far past every corner: some piece always keeps half a cell on the board.
  game().MouseDown(TJigsaw::LeftButton, grip.X, grip.Y);
  ASSERT_EQ(game().Gesture.Moving.size(), game().Pieces.size());
  game().MouseMove(grip.X + 5, grip.Y + 5);
  for (const TPoint to : {TPoint{-5000, -5000}, TPoint{5000, -5000}, TPoint{5000, 5000}, TPoint{-5000, 5000}}) {
    game().MouseMove(to.X, to.Y);
    bool inside = false;
    const TRect board = game().BoardTray().BoundsRect().Inflate(-game().Puzzle().CellWidth / 2 + 1,
                                                                 -game().Puzzle().CellHeight / 2 + 1);
    for (const TFormPiece* p : game().Gesture.Moving)
      inside = inside || TPieces::PieceRect(*p)
                             .Offset(game().Gesture.MoveRect.Left - game().Gesture.OriginX,
                                     game().Gesture.MoveRect.Top - game().Gesture.OriginY)
                             .Intersects(board);
    EXPECT_TRUE(inside) << to.X << "," << to.Y;
  }
  game().MouseUp(-5000, 5000);
  EXPECT_NE((TPoint{piece(0).X, piece(0).Y}), start);
  EXPECT_EQ(TPieces::ExpectedPos(piece(1), piece(0)), (TPoint{piece(1).X, piece(1).Y}));
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, ThePiecePopupsCommands) {
  TFormPiece& left = piece(0);
  TFormPiece& right = piece(1);
  const TPoint home = TPieces::ExpectedPos(right, left);
  Drag(right, home.X - right.X, home.Y - right.Y);
  ASSERT_TRUE(right.Joined);
  auto popupOn = [&](TFormPiece& p) {
    const TPoint at = Middle(p);
    game().MouseDown(TJigsaw::RightButton, at.X, at.Y);
    game().PreparePiecePopup();
    game().PopupClosed();
  };

  // Unlock takes the piece out of its group; the count follows.
  popupOn(right);
  EXPECT_EQ(game().Gesture.PopupPiece, &right);
  EXPECT_TRUE(t_->window.Commands.Unlock.Enabled());
  game().Unlock();
  EXPECT_FALSE(right.Joined);
  EXPECT_EQ(t_->records.Puzzle.SolvedCount, 0);
  EXPECT_TRUE(BoardIsClean());
  // A loose piece has nothing to unlock: the item is disabled and the
  // board stays as it is.
  popupOn(right);
  EXPECT_FALSE(t_->window.Commands.Unlock.Enabled());
  const TBoardState loose = game().CaptureBoard();
  game().Unlock();
  EXPECT_EQ(game().CaptureBoard(), loose);

  // Send to Back puts the group under every other.
  popupOn(piece(6));
  game().SendToBack();
  EXPECT_EQ(piece(6).Group, 0);
  EXPECT_EQ(game().BoardTray().Pieces.front(), &piece(6));
  EXPECT_TRUE(BoardIsClean());

  // Turned by the popup, then the right way up again as a counted cheat that
  // joins what then fits.
  game().Config.Rotating = true;
  game().Config.CheatingAllowed = true;
  popupOn(right);
  EXPECT_FALSE(t_->window.Commands.RightWayUp2.Enabled());
  EXPECT_TRUE(t_->window.Commands.ShowNeighbor.Enabled());
  game().RotatePiece(1);
  EXPECT_EQ(right.Rotation, 1);
  popupOn(right);
  EXPECT_TRUE(t_->window.Commands.RightWayUp2.Enabled());
  game().RightWayUpPiece();
  EXPECT_EQ(right.Rotation, 0);
  EXPECT_TRUE(right.Joined);
  EXPECT_EQ(t_->records.Puzzle.CheatCount, 1);
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, CheatsFetchShowAndHintNeighbours) {
  TJigsaw& g = game();
  g.Config.CheatingAllowed = true;
  const std::vector<TFormPiece> before = t_->Records();
  {
    // Shift+left on a piece fetches the neighbour the pointer is nearest:
    // it slides over and joins, and the cheat is counted.
    THeldKeys shift(true, false);
    TFormPiece& left = piece(0);
    const TPoint at{left.X + left.Width - 4, Middle(left).Y};
    ASSERT_EQ(g.BoardTray().PieceUnder(at.X, at.Y, false), &left);
    g.MouseDown(TJigsaw::LeftButton, at.X, at.Y);
    g.MouseUp(at.X, at.Y);
    g.RunAnimationsToEnd();
    ASSERT_NE(g.Gesture.NeighbourPiece, nullptr);
    EXPECT_TRUE(g.Gesture.NeighbourPiece->Joined);
    EXPECT_EQ(TPieces::ExpectedPos(*g.Gesture.NeighbourPiece, left),
              (TPoint{g.Gesture.NeighbourPiece->X, g.Gesture.NeighbourPiece->Y}));
    EXPECT_EQ(left.X, before[0].X);
    EXPECT_EQ(t_->records.Puzzle.SolvedCount, 2);
    EXPECT_EQ(t_->records.Puzzle.CheatCount, 1);
    EXPECT_EQ(g.Gesture.MouseState, TJigsaw::Idle);
    EXPECT_TRUE(BoardIsClean());
  }
  // Showing a neighbour and a hint flash pieces and move nothing; the
  // shadow option is as it was.
  g.Config.Shadows = false;
  const std::vector<TFormPiece> joined = t_->Records();
  g.Gesture.PopupPiece = &piece(5);
  g.Gesture.NeighbourPiece = &piece(6);
  g.ShowNeighbor();
  g.Hint();
  g.RunAnimationsToEnd();
  EXPECT_EQ(t_->records.Puzzle.CheatCount, 3);
  EXPECT_FALSE(g.Config.Shadows);
  for (std::size_t i = 0; i < joined.size(); ++i) EXPECT_EQ(g.Pieces[i].X, joined[i].X);
  EXPECT_TRUE(BoardIsClean());

  // No hint on a solved puzzle, and it is not counted.
  t_->records.Puzzle.SolvedCount = t_->records.Puzzle.PieceCount;
  g.Hint();
  EXPECT_EQ(t_->records.Puzzle.CheatCount, 3);
}

TEST_F(MouseTest, AutoSolveAssemblesThePictureCentredOnTheBoard) {
  TJigsaw& g = game();
  TPuzzleRecord& record = t_->records.Puzzle;
  g.Window.Solve.Speed = 10;
  std::vector<int> gauge;
  QObject::connect(&g.Window.Solve, &TSolveProgress::Changed, [&] { gauge.push_back(g.Window.Solve.Percent()); });
  int completions = 0;
  QObject::connect(&g.Window, &TWindowState::CompletionShown, [&] { ++completions; });
  // The clock ticks between the moves, while auto-solve holds the window.
  int pumps = 0;
  g.AutoSolve();
  g.RunAnimationsToEnd([&] {
    ++pumps;
    EXPECT_TRUE(g.Gesture.Moving.empty());
    g.Tick();
  });
  EXPECT_FALSE(g.IsAutoSolving());
  EXPECT_EQ(record.SolvedCount, 12);
  EXPECT_EQ(record.CheatCount, 1);
  EXPECT_EQ(record.AutoSolveUsed, 1);
  // Eleven joins of the 4 x 3 pieces take eleven rounds at most, each letting
  // events run once, and the first twice more.
  EXPECT_GE(pumps, 13);
  // The first piece went to where the finished picture, centred on the
  // 960 x 720 board, has it, and every other piece joined onto it.
  for (const TFormPiece& p : g.Pieces) {
    EXPECT_EQ(p.Group, g.Pieces[0].Group);
    EXPECT_EQ(p.Rotation, 0);
    EXPECT_EQ(TPoint(p.X, p.Y), (TPoint{280 + p.HomeX, 210 + p.HomeY})) << p.Index;
  }
  // The gauge starts at 0, only grows, and is told only of a change.
  ASSERT_FALSE(gauge.empty());
  EXPECT_EQ(gauge.front(), 0);
  EXPECT_TRUE(std::is_sorted(gauge.begin(), gauge.end()));
  EXPECT_EQ(std::adjacent_find(gauge.begin(), gauge.end()), gauge.end());
  EXPECT_LT(gauge.back(), 100);
  EXPECT_TRUE(BoardIsClean());
  // The congratulations wait for the first tick after auto-solve.
  EXPECT_EQ(completions, 0);
  g.Tick();
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(record.Completed, 1);
}

TEST_F(MouseTest, AutoSolveStopsAfterTheMoveItIsMakingAndPausesWhileTheButtonIsHeld) {
  TJigsaw& g = game();
  TPuzzleRecord& record = t_->records.Puzzle;
  g.Window.Solve.Speed = 10;
  // Stopped at the very first chance: the round still ends with its fetch.
  g.AutoSolve();
  g.RunAnimationsToEnd([&] { g.StopAutoSolve(); });
  EXPECT_FALSE(g.IsAutoSolving());
  EXPECT_EQ(record.SolvedCount, 2);
  EXPECT_EQ(record.CheatCount, 1);
  EXPECT_TRUE(BoardIsClean());

  // With the left button held the pieces stay apart, and the slide of the
  // first piece stops at once where it is.
  SetInputSource([] { return TInputState{false, false, true, true}; });
  const std::vector<TFormPiece> before = t_->Records();
  int rounds = 0;
  g.AutoSolve();
  g.RunAnimationsToEnd([&] {
    if (++rounds == 6) g.StopAutoSolve();
  });
  EXPECT_EQ(record.SolvedCount, 2);
  EXPECT_EQ(record.CheatCount, 2);
  int moved = 0;
  for (std::size_t i = 0; i < before.size(); ++i) moved += g.Pieces[i].X != before[i].X || g.Pieces[i].Y != before[i].Y;
  EXPECT_LE(moved, 2);  // at most the first piece's group, a frame along
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, WhatMovesComesToRestBeforeACommandOrAPress) {
  TJigsaw& g = game();
  g.Config.CheatingAllowed = true;
  g.Config.Shadows = false;
  TFormPiece& left = piece(0);
  const TPoint grip = Middle(piece(7));

  // A hint returns at once; its first piece is raised by the first step,
  // with its shadow, and the option is as it was between the frames.
  g.Hint();
  EXPECT_TRUE(g.IsAnimating());
  EXPECT_TRUE(g.Gesture.Moving.empty());
  ASSERT_TRUE(g.Animator.Advance());
  ASSERT_EQ(g.Gesture.Moving.size(), 1u);
  EXPECT_GT(g.Gesture.MoveRect.Width(), g.Gesture.Moving.front()->Width);
  EXPECT_FALSE(g.Config.Shadows);
  // A press puts the piece back first, then picks up what lies under it.
  g.MouseDown(TJigsaw::LeftButton, grip.X, grip.Y);
  EXPECT_FALSE(g.IsAnimating());
  EXPECT_EQ(g.Gesture.MouseState, TJigsaw::DraggingPieces);
  EXPECT_EQ(g.Gesture.Moving, TPieceList{&piece(7)});
  g.MouseUp(grip.X, grip.Y);
  EXPECT_TRUE(BoardIsClean());

  // A neighbour fetched half way when a command comes: it ends where it
  // fits, joined, as the slide's last frame would have had it.
  g.Gesture.PopupPiece = &left;
  g.Gesture.NeighbourPiece = g.NeighbourToward(left, {left.X + left.Width - 4, Middle(left).Y});
  ASSERT_NE(g.Gesture.NeighbourPiece, nullptr);
  TFormPiece& fetched = *g.Gesture.NeighbourPiece;
  g.FetchNeighbor();
  for (int i = 0; i < 3; ++i) g.Animator.Advance();
  ASSERT_FALSE(g.Gesture.Moving.empty());
  g.SettleAnimations();
  EXPECT_FALSE(g.IsAnimating());
  EXPECT_TRUE(g.Gesture.Moving.empty());
  EXPECT_TRUE(fetched.Joined);
  EXPECT_EQ(TPieces::ExpectedPos(fetched, left), (TPoint{fetched.X, fetched.Y}));
  EXPECT_TRUE(BoardIsClean());
  // Noted as one step, as a command's end is.
  EXPECT_TRUE(g.CanUndo());

  // A tray zooming out of its button when a press comes: the zoom is over,
  // nothing of it stays on the screen, and the board is painted again.
  TBox& tray = g.NewTray();
  for (int i = 0; i < 5; ++i) g.Animator.Advance();
  EXPECT_TRUE(t_->screen.Held());
  g.MouseDown(TJigsaw::RightButton, 950, 700);
  EXPECT_FALSE(t_->screen.Held());
  EXPECT_FALSE(g.IsAnimating());
  g.PopupClosed();
  EXPECT_TRUE(BoardIsClean());
  g.CurrentTray = &tray;
  g.DeleteTray();
  g.RunAnimationsToEnd();

  // Auto-solve's slide stops where it stands at a press, which is otherwise
  // ignored; auto-solve goes on to the end.
  g.Window.Solve.Speed = 1;
  g.AutoSolve();
  while (g.Gesture.Moving.empty()) ASSERT_TRUE(g.Animator.Advance());
  for (int i = 0; i < 5; ++i) g.Animator.Advance();
  TFormPiece& sliding = *g.Gesture.Moving.front();
  const TPoint shown{sliding.X + g.Gesture.MoveRect.Left - g.Gesture.OriginX,
                     sliding.Y + g.Gesture.MoveRect.Top - g.Gesture.OriginY};
  g.MouseDown(TJigsaw::LeftButton, 5, 5);
  EXPECT_TRUE(g.Gesture.Moving.empty());
  EXPECT_EQ(g.Gesture.MouseState, TJigsaw::Idle);
  EXPECT_EQ((TPoint{sliding.X, sliding.Y}), shown);
  EXPECT_TRUE(g.IsAutoSolving());
  g.MouseUp(5, 5);
  g.Window.Solve.Speed = 10;
  g.RunAnimationsToEnd();
  EXPECT_FALSE(g.IsAutoSolving());
  EXPECT_EQ(t_->records.Puzzle.SolvedCount, t_->records.Puzzle.PieceCount);
  EXPECT_TRUE(BoardIsClean());
}

TEST_F(MouseTest, HeldKeysExplainTheMouseOnTheStatusLine) {
  struct TRecorder : TStatusLine {
    void SetStatusText(const QString& text) override { Text = text; }
    QString Text = QStringLiteral("unset");
  } line;
  SetStatusLine(&line);
  TJigsaw& g = game();
  auto hint = [&](TShiftState shift, bool cheating, bool rotating, std::uint8_t mode) {
    g.Config.CheatingAllowed = cheating;
    g.Config.Rotating = rotating;
    g.Window.MouseMode = mode;
    g.ShowModifierHint(shift);
    return line.Text;
  };
  EXPECT_EQ(hint(ssShift, true, false, 0), "Mouse: Left=Fetch neighbor, Right=Show neighbor");
  EXPECT_EQ(hint(ssShift, false, true, 1), "Cheating is currently disabled");
  EXPECT_EQ(hint(ssCtrl, true, true, 1), "Mouse: Left=Rotate left, Right=Popup menu");
  EXPECT_EQ(hint(ssCtrl, true, true, 0), "Mouse: Left=Rotate left, Right=Rotate right");
  EXPECT_EQ(hint(ssCtrl, true, false, 1), "Mouse: Right=Popup menu");
  EXPECT_EQ(hint(ssCtrl, true, false, 0), "Rotation is currently disabled");
  // Only exactly one of the two keys, with no button, explains anything.
  EXPECT_EQ(hint(ssShift | ssCtrl, true, true, 0), "");
  EXPECT_EQ(hint(ssShift | ssLeft, true, true, 0), "");
  EXPECT_EQ(hint(ssCtrl | ssAlt, true, true, 0), "");
  // Before the game plays nothing is said.
  line.Text = QStringLiteral("unset");
  g.SetState(TJigsaw::NotStarted);
  g.ShowModifierHint(ssShift);
  EXPECT_EQ(line.Text, "unset");
  SetStatusLine(nullptr);
}
