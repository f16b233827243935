// Bitmaps that hold a part of a larger board: whatever is drawn at board
// points into a view-sized bitmap lying at some origin must come out exactly
// as the same part of the drawing made on the whole board. Block copies,
// canvas drawing, pieces with their rims and wooden sides, the mural, the
// compositor and the screen copy are each checked that way, at views that
// cut shapes at every edge and reach the board's far edges.

#include <gtest/gtest.h>

#include <QRegion>

#include <functional>
#include <optional>
#include <vector>

#include "builtpuzzle.h"
#include "display/dirty.h"
#include "display/screen.h"
#include "pieces/mural.h"
#include "platform/canvas.h"
#include "platform/colors.h"
#include "platform/system.h"

namespace {

constexpr TColor Red = RGBColor(255, 0, 0), Lime = RGBColor(0, 255, 0), Blue = RGBColor(0, 0, 255);
constexpr TColor Yellow = RGBColor(255, 255, 0), Navy = RGBColor(0, 0, 128);

constexpr int BoardWidth = 64, BoardHeight = 48, ViewWidth = 25, ViewHeight = 19;
// Odd offsets for the mono bit positions; the last two reach the board's
// bottom and right edges, the one before both.
constexpr TPoint Origins[] = {{0, 0}, {1, 0}, {13, 7}, {39, 29}, {5, 29}, {39, 3}};

TColor Pattern(int x, int y) { return RGBColor(7 * x + 3 * y, 5 * y + x * x, 0x80 + (x ^ y)); }

// A bitmap at origin whose pixels show Pattern at their board points; on a
// mono bitmap every few pixels are white.
TBitmap Patterned(int width, int height, TPoint origin, TPixelFormat format = TPixelFormat::Bgr24) {
  TBitmap b(width, height, format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int bx = origin.X + x, by = origin.Y + y;
      b.SetPixel(x, y, format == TPixelFormat::Mono ? ((bx * 3 + by) % 5 < 2 ? clWhite : clBlack) : Pattern(bx, by));
    }
  b.SetOrigin(origin);
  return b;
}

// The colour of the bitmap's pixel (x, y) counted from its own top-left.
TColor OwnPixel(const TBitmap& b, int x, int y) {
  TBitmap unplaced = b;
  unplaced.SetOrigin({});
  return unplaced.Pixel(x, y);
}

// Compares every pixel of view with whole's at the same board point (whole
// lies at (0, 0)), or those inside within when given; returns how many of
// them the drawing changed.
int ExpectCropOf(const TBitmap& whole, const TBitmap& blankWhole, const TBitmap& view,
                 std::optional<TRect> within = {}) {
  EXPECT_EQ(whole.Origin(), TPoint{});
  TBitmap wholeRaw = whole, viewRaw = view, blankRaw = blankWhole;
  viewRaw.SetOrigin({});
  const TPoint o = view.Origin();
  int changed = 0;
  for (int y = 0; y < view.Height(); ++y)
    for (int x = 0; x < view.Width(); ++x) {
      if (within && !within->Contains({o.X + x, o.Y + y})) continue;
      const TColor want = wholeRaw.Pixel(o.X + x, o.Y + y);
      if (viewRaw.Pixel(x, y) != want) {
        ADD_FAILURE() << "board point " << o.X + x << "," << o.Y + y;
        return changed;
      }
      changed += want != blankRaw.Pixel(o.X + x, o.Y + y);
    }
  return changed;
}

// How many pixels of two bitmaps of one size differ.
int Differences(const TBitmap& a, const TBitmap& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += OwnPixel(a, x, y) != OwnPixel(b, x, y);
  return n;
}

// Draws on the whole board and on a view at every origin; each view must be
// the whole drawing's crop, and the drawing must change something in it.
void ExpectViewsAreCrops(const std::function<void(TBitmap&)>& draw, TPixelFormat format = TPixelFormat::Bgr24) {
  const TBitmap blank = Patterned(BoardWidth, BoardHeight, {}, format);
  TBitmap whole = blank;
  draw(whole);
  for (const TPoint o : Origins) {
    SCOPED_TRACE(testing::Message() << "view at " << o.X << "," << o.Y);
    TBitmap view = Patterned(ViewWidth, ViewHeight, o, format);
    draw(view);
    EXPECT_EQ(view.Origin(), o);
    EXPECT_GT(ExpectCropOf(whole, blank, view), 0);
  }
}

// 20 x 15 images for block copies: a colour picture with some white pixels,
// and a mono mask.
TBitmap Picture() {
  TBitmap b = Patterned(20, 15, {3, 40});
  b.SetOrigin({});
  for (int i = 0; i < 15; ++i) b.SetPixel(i, i, clWhite);
  return b;
}

TBitmap Mask() {
  TBitmap b(20, 15, TPixelFormat::Mono);
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x) b.SetPixel(x, y, (x - 10) * (x - 10) + (y - 7) * (y - 7) > 30 ? clWhite : clBlack);
  return b;
}

class TRecordingScreen : public TScreen {
 public:
  QRegion Shown;

 protected:
  void Show(const QRegion& region, bool) override { Shown += region; }
};

class TScreenDepth {
 public:
  explicit TScreenDepth(int depth) {
    SetScreenDepthSource([depth] { return depth; });
  }
  ~TScreenDepth() { SetScreenDepthSource(nullptr); }
  TScreenDepth(const TScreenDepth&) = delete;
  TScreenDepth& operator=(const TScreenDepth&) = delete;
};

}  // namespace

TEST(Origin, BlockCopiesWithEveryOperationAreCropsOfTheWholeBoard) {
  const TBitmap picture = Picture(), mask = Mask();
  for (const TPixelFormat target : {TPixelFormat::Bgr24, TPixelFormat::Mono})
    for (const TBitmap* source : {&picture, &mask})
      for (const TRasterOp op : {TRasterOp::SrcCopy, TRasterOp::SrcAnd, TRasterOp::SrcPaint, TRasterOp::DstInvert}) {
        SCOPED_TRACE(testing::Message() << "target " << int(target) << " mono source " << (source == &mask)
                                        << " op " << int(op));
        ExpectViewsAreCrops(
            [&](TBitmap& b) {
              // Blocks cut by every edge of the board and of the views.
              for (const TPoint at : {TPoint{-5, -3}, {50, 40}, {10, 10}, {30, 2}, {20, 25}, {2, 33}})
                BitBlt(b, at.X, at.Y, 20, 15, *source, 0, 0, op);
              // Clips before the board's start and past its end.
              const TRect before{-10, -10, 30, 20}, past{40, 30, 1000, 1000};
              BitBlt(b, 20, 5, 20, 15, *source, 3, 2, op, &before);
              BitBlt(b, 33, 23, 30, 30, *source, 0, 0, op, &past);
              InvertRect(b, {11, -4, 29, 9});
            },
            target);
      }

  // A source lying elsewhere on its own plane is read at its own points.
  for (const TRasterOp op : {TRasterOp::SrcCopy, TRasterOp::SrcAnd, TRasterOp::SrcPaint}) {
    TBitmap placed = picture;
    placed.SetOrigin({100, -50});
    TBitmap fromPlaced = Patterned(40, 30, {}), fromUnplaced = fromPlaced;
    BitBlt(fromPlaced, -2, 4, 30, 30, placed, 97, -49, op);
    BitBlt(fromUnplaced, -2, 4, 30, 30, picture, -3, 1, op);
    EXPECT_EQ(ExpectCropOf(fromUnplaced, fromUnplaced, fromPlaced), 0);
    EXPECT_NE(fromPlaced.Pixel(5, 6), Pattern(5, 6));
  }
}

TEST(Origin, CanvasDrawingIsACropOfTheWholeBoard) {
  const TBitmap picture = Picture(), mask = Mask();
  const auto draw = [&](TBitmap& b) {
    TCanvas canvas(b);
    canvas.Brush.Color = RGBColor(200, 30, 90);
    canvas.FillRect({-4, 10, 30, 70});
    canvas.Pen = TPen{RGBColor(10, 220, 40), 3, TPenMode::Copy};
    canvas.Rectangle(8, 4, 50, 40);
    canvas.Pen = TPen{Blue, 5, TPenMode::Copy, true};
    canvas.Brush.Clear = true;
    canvas.Rectangle(30, 20, 75, 60);
    canvas.Pen = TPen{RGBColor(90, 90, 250), 2, TPenMode::NotXor};
    const TPoint zigzag[] = {{-6, 2}, {20, 30}, {45, 12}, {70, 44}, {12, 47}};
    canvas.Polyline(zigzag);
    canvas.MoveTo(40, -3);
    canvas.LineTo(40, 60);
    canvas.SetClipRect({-20, 12, 45, 100});
    canvas.Font.Color = Yellow;
    canvas.Brush = TBrush{Navy, false};
    canvas.TextOut(3, 14, QStringLiteral("Origin Wg"));
    canvas.ClearClipRect();
    canvas.SetPixel(24, 18, clWhite);
    canvas.Draw(40, -3, picture);
    canvas.CopyMode = TRasterOp::SrcAnd;
    canvas.Draw(-7, 28, mask);
    canvas.StretchDraw({-10, 30, 20, 50}, picture);
    canvas.CopyMode = TRasterOp::SrcCopy;
    canvas.StretchDraw({30, 20, 70, 61}, picture);
  };
  ExpectViewsAreCrops(draw);
  ExpectViewsAreCrops(draw, TPixelFormat::Mono);

  // A NOT-XOR frame drawn twice on a view leaves it as it was; the clip and
  // the flood fill are board points too.
  for (const TPoint o : Origins) {
    const TBitmap blank = Patterned(ViewWidth, ViewHeight, o);
    TBitmap view = blank;
    TCanvas canvas(view);
    canvas.Pen = TPen{RGBColor(1, 2, 250), 3, TPenMode::NotXor};
    canvas.Brush.Clear = true;
    for (int twice = 0; twice < 2; ++twice) {
      canvas.Rectangle(o.X - 4, o.Y + 2, o.X + 20, o.Y + 30);
      EXPECT_EQ(Differences(view, blank) == 0, twice == 1);
    }
    canvas.Pen = TPen{Red, 1, TPenMode::Copy};
    canvas.Brush = TBrush{Lime, false};
    canvas.SetClipRect({o.X + 2, o.Y + 2, o.X + 20, o.Y + 15});
    canvas.FillRect({o.X - 10, o.Y - 10, o.X + 100, o.Y + 100});
    canvas.ClearClipRect();
    canvas.Rectangle(o.X + 4, o.Y + 4, o.X + 12, o.Y + 10);
    canvas.Brush.Color = Blue;
    canvas.FloodFill(o.X + 6, o.Y + 6, Red);
    for (int y = 0; y < ViewHeight; ++y)
      for (int x = 0; x < ViewWidth; ++x) {
        const bool frame = x >= 4 && x < 12 && y >= 4 && y < 10;
        const bool inside = x > 4 && x < 11 && y > 4 && y < 9;
        const bool clipped = x >= 2 && x < 20 && y >= 2 && y < 15;
        const TColor want = inside ? Blue : frame ? Red : clipped ? Lime : Pattern(o.X + x, o.Y + y);
        ASSERT_EQ(OwnPixel(view, x, y), want) << x << "," << y;
        ASSERT_EQ(view.Pixel(o.X + x, o.Y + y), want);
      }
  }
}

TEST(Origin, PiecesRimsAndSidesAreCropsOfTheWholeBoard) {
  for (const std::int32_t outline : {OutlineCard, OutlineWood}) {
    SCOPED_TRACE(outline);
    TBuiltPuzzle puzzle(160, 120, 24, 5, 5, 31, outline);
    TPieces& pieces = puzzle.Pieces;
    SetRandSeed(9);
    for (TFormPiece& p : pieces.Pieces) {
      p.X = int(Random(200)) - 20;
      p.Y = int(Random(150)) - 20;
      p.Group = p.Index;
    }
    const TPieceList all = pieces.AllPieces();
    const TRect clip{-30, 20, 150, 400};
    const TBitmap blank = Patterned(220, 170, {});
    for (const TRect* c : {static_cast<const TRect*>(nullptr), &clip}) {
      TBitmap whole = blank;
      pieces.DrawPieceList(all, whole, c);
      for (const TPoint o : {TPoint{0, 0}, TPoint{7, 3}, TPoint{130, 100}, TPoint{61, 0}, TPoint{0, 100}}) {
        SCOPED_TRACE(testing::Message() << "view at " << o.X << "," << o.Y << (c ? " clipped" : ""));
        TBitmap view = Patterned(90, 70, o);
        pieces.DrawPieceList(all, view, c);
        // Overlays leave a bitmap's last column and row alone, as they leave
        // the whole board's: a view short of the board's far edges differs
        // there from the whole drawing, and nowhere else.
        const TRect last = view.BoundsRect();
        int differing = 0;
        for (int y = last.Top; y < last.Bottom; ++y)
          for (int x = last.Left; x < last.Right; ++x) differing += view.Pixel(x, y) != whole.Pixel(x, y);
        const TRect lastColumn{last.Right - 1, last.Top, last.Right, last.Bottom};
        const TRect lastRow{last.Left, last.Bottom - 1, last.Right, last.Bottom};
        int atTheEdges = 0;
        for (int y = last.Top; y < last.Bottom; ++y)
          for (int x = last.Left; x < last.Right; ++x)
            if (lastColumn.Contains({x, y}) || lastRow.Contains({x, y})) atTheEdges += view.Pixel(x, y) != whole.Pixel(x, y);
        EXPECT_EQ(differing, atTheEdges);
        if (o == TPoint{130, 100}) EXPECT_EQ(differing, 0);  // the board's own last column and row
        EXPECT_GT(ExpectCropOf(whole, blank, view, TRect{last.Left, last.Top, last.Right - 1, last.Bottom - 1}), 200);
      }
    }
  }
}

TEST(Origin, AViewOfTheMuralIsTheCropOfTheWholeBoardsGradient) {
  for (const int depth : {32, 16}) {
    SCOPED_TRACE(depth);
    const TScreenDepth screen(depth);
    const TColor colour = RGBColor(201, 77, 140);
    TMural whole;
    whole.SetSize(5, 300);
    whole.Paint(colour);
    // Placed at the top of a board as high as itself: the same gradient.
    TMural placed;
    placed.SetSize(5, 300);
    placed.Place({}, 300);
    placed.Paint(colour);
    EXPECT_EQ(ExpectCropOf(whole.Image(), whole.Image(), placed.Image()), 0);

    for (const TPoint o : {TPoint{0, 0}, TPoint{2, 1}, TPoint{0, 117}, TPoint{3, 251}}) {
      SCOPED_TRACE(o.Y);
      TMural view;
      view.Place(o, 300);
      view.SetSize(2, 49);  // the place outlives a new size
      view.Paint(colour);
      ASSERT_EQ(view.Image().Origin(), o);
      EXPECT_EQ(ExpectCropOf(whole.Image(), TBitmap(5, 300), view.Image()), 2 * 49);
      // Drawn onto a board bitmap lying elsewhere: the same board points.
      TBitmap board = Patterned(4, 60, {1, o.Y - 5});
      view.Draw({-10, o.Y - 20, 3, o.Y + 40}, board);
      for (int y = o.Y - 5; y < o.Y + 55; ++y)
        for (int x = 1; x < 5; ++x) {
          const bool drawn = x >= o.X && x < o.X + 2 && x < 3 && y >= o.Y && y < o.Y + 40;
          ASSERT_EQ(board.Pixel(x, y), drawn ? whole.Image().Pixel(x, y) : Pattern(x, y)) << x << "," << y;
        }
    }
  }
  // Rows above the board keep its top colour and rows far below stay black.
  const TScreenDepth screen(24);
  TMural beyond;
  beyond.SetSize(1, 3);
  beyond.Place({0, -2}, 10);
  beyond.Paint(clWhite);
  EXPECT_EQ(beyond.Image().Pixel(0, -2), clWhite);
  beyond.Place({0, 30}, 10);
  beyond.Paint(clWhite);
  EXPECT_EQ(beyond.Image().Pixel(0, 30), clBlack);
}

TEST(Origin, TheCompositorOnAViewGivesTheCropOfTheWholeBoardsFrames) {
  const TBitmap picture = Picture(), mask = Mask();
  // Two frames of a drag over the board and the screen; returns the board,
  // and leaves on the screen what the flushes copied and showed.
  const auto drag = [&](TBitmap& board, TRecordingScreen& screen) {
    TDirty dirty;
    // A first Init at another place of the same size: the second must move
    // the background along.
    const TPoint o = board.Origin();
    board.SetOrigin({o.X + 5, o.Y - 3});
    dirty.Init(board);
    board.SetOrigin(o);
    dirty.Init(board);
    EXPECT_EQ(dirty.Background().Origin(), o);
    screen.Resize(board.Width(), board.Height());
    screen.SetOrigin(o);
    screen.Image().Fill(clBlack);
    screen.Shown = QRegion();
    const TRect cell = Bounds(0, 0, 20, 15);
    for (const TPoint at : {TPoint{-6, 10}, TPoint{20, 12}, TPoint{50, 40}}) dirty.DrawMasked(Bounds(at.X, at.Y, 20, 15), picture, cell, mask);
    dirty.DrawOpaque(Bounds(30, -4, 20, 15), picture, cell);
    dirty.Flush(screen);
    dirty.Erase();
    for (const TPoint at : {TPoint{-2, 12}, TPoint{24, 14}, TPoint{48, 37}}) dirty.DrawMasked(Bounds(at.X, at.Y, 20, 15), picture, cell, mask);
    dirty.Flush(screen);
    dirty.Erase();
    for (const TPoint at : {TPoint{-3, -2}, TPoint{10, 30}, TPoint{40, 30}, TPoint{34, 2}})
      dirty.DrawMasked(Bounds(at.X, at.Y, 20, 15), picture, cell, mask);
    dirty.Flush(screen);
  };
  const TBitmap blank = Patterned(BoardWidth, BoardHeight, {});
  TBitmap whole = blank;
  TRecordingScreen wholeScreen;
  drag(whole, wholeScreen);
  const TBitmap blackBoard(BoardWidth, BoardHeight);
  for (const TPoint o : Origins) {
    SCOPED_TRACE(testing::Message() << "view at " << o.X << "," << o.Y);
    TBitmap view = Patterned(ViewWidth, ViewHeight, o);
    TRecordingScreen screen;
    drag(view, screen);
    EXPECT_GT(ExpectCropOf(whole, blank, view), 0);
    EXPECT_GT(ExpectCropOf(wholeScreen.Image(), blackBoard, screen.Image()), 0);
    // What is shown is the whole screen's shown region inside the view, in
    // the view's own pixels.
    const QRegion inView = wholeScreen.Shown.intersected(QRect(o.X, o.Y, ViewWidth, ViewHeight)).translated(-o.X, -o.Y);
    EXPECT_EQ(screen.Shown, inView);
  }
}

TEST(Origin, TheScreenTakesBoardPointsAndKeepsItsRegionsInPixels) {
  TRecordingScreen screen;
  screen.SetOrigin({100, 40});
  screen.Resize(30, 20);  // a new size keeps the place
  EXPECT_EQ(screen.Origin(), (TPoint{100, 40}));
  EXPECT_EQ(screen.ClientRect(), Bounds(100, 40, 30, 20));
  EXPECT_EQ(screen.InvalidRegion(), QRegion(0, 0, 30, 20));
  EXPECT_EQ(screen.Shown, QRegion(0, 0, 30, 20));

  // The board, whole and at (0, 0), paints the copy at the copy's points;
  // then a view of the board lying where the copy does paints the same.
  const TBitmap board = Patterned(200, 100, {});
  screen.PaintFrom(board);
  EXPECT_TRUE(screen.InvalidRegion().isEmpty());
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(OwnPixel(screen.Image(), x, y), Pattern(100 + x, 40 + y));

  screen.Image().Fill(clBlack);
  screen.Shown = QRegion();
  screen.Invalidate({90, 50, 110, 70});  // reaches past the left and bottom
  screen.Invalidate({0, 0, 50, 50});     // nothing of it is in view
  EXPECT_EQ(screen.InvalidRegion(), QRegion(0, 10, 10, 10));
  EXPECT_EQ(screen.Shown, QRegion(0, 10, 10, 10));
  const TBitmap view = Patterned(30, 20, {100, 40});
  screen.PaintFrom(view);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x)
      ASSERT_EQ(screen.Image().Pixel(100 + x, 40 + y), x < 10 && y >= 10 ? Pattern(100 + x, 40 + y) : clBlack);

  screen.Shown = QRegion();
  screen.Present({125, 35, 140, 45});
  EXPECT_EQ(screen.Shown, QRegion(25, 0, 5, 5));
  screen.Invalidate({110, 45, 112, 46});
  screen.FillInvalid(Red);
  EXPECT_EQ(screen.Image().Pixel(110, 45), Red);
  EXPECT_EQ(OwnPixel(screen.Image(), 10, 5), Red);
  EXPECT_EQ(screen.Image().Pixel(112, 45), clBlack);

  // A new place invalidates everything, in pixels.
  screen.Shown = QRegion();
  screen.SetOrigin({-7, 3});
  EXPECT_EQ(screen.ClientRect(), Bounds(-7, 3, 30, 20));
  EXPECT_EQ(screen.InvalidRegion(), QRegion(0, 0, 30, 20));
  EXPECT_EQ(screen.Shown, QRegion(0, 0, 30, 20));
}
