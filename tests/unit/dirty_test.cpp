#include "display/dirty.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/colors.h"

namespace {

// A screen that records every rectangle it is asked to show.
class TRecordingScreen : public TScreen {
 public:
  std::vector<TRect> Shown;

 protected:
  void Show(const QRegion& region, bool) override {
    for (const QRect& r : region) Shown.push_back(Bounds(r.x(), r.y(), r.width(), r.height()));
  }
};

// No pixel of one pattern repeats along a row or column, and the two
// patterns differ everywhere.
TColor Board(int x, int y) { return RGBColor(x * 5, y * 7, 0x40 + x + y); }
TColor Sprite(int x, int y) { return RGBColor(0xC0 + x, 0x20 + y, 0x01); }

TBitmap Painted(int w, int h, TColor (*colour)(int, int)) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, colour(x, y));
  return b;
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.Format() != b.Format()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

int Merge(std::vector<TRect> first, std::vector<TRect> second, std::array<TRect, TDirty::MaxMerged>& merged) {
  const int n = TDirty::MergeRects(first.data(), int(first.size()), merged, 0);
  return TDirty::MergeRects(second.data(), int(second.size()), merged, n);
}

// A board of 120 x 80, its compositor and a screen of the same size filled
// with one colour, so that every pixel the flush copies can be told apart.
struct DirtyFrame : ::testing::Test {
  static constexpr TColor ScreenColour = 0x123456;
  TBitmap board = Painted(120, 80, Board);
  TBitmap image = Painted(20, 20, Sprite);
  TDirty dirty;
  TRecordingScreen screen;

  void SetUp() override {
    dirty.Init(board);
    screen.Resize(board.Width(), board.Height());
    screen.Image().Fill(ScreenColour);
    screen.Shown.clear();
  }
  void Draw(int x, int y) { dirty.DrawOpaque(Bounds(x, y, 20, 20), image, Bounds(0, 0, 20, 20)); }
  // The screen holds the board exactly inside the rectangles, its own colour
  // elsewhere.
  void ExpectScreenCopied(const std::vector<TRect>& copied) {
    for (int y = 0; y < board.Height(); ++y)
      for (int x = 0; x < board.Width(); ++x) {
        bool inside = false;
        for (const TRect& r : copied) inside = inside || r.Contains({x, y});
        ASSERT_EQ(screen.Image().Pixel(x, y), inside ? board.Pixel(x, y) : ScreenColour) << x << "," << y;
      }
  }
};

}  // namespace

TEST(DirtyMerge, OverlapMergesTouchingAndDisjointDoNot) {
  std::array<TRect, TDirty::MaxMerged> merged;
  // A move by a few pixels: one entry, the union.
  EXPECT_EQ(Merge({{10, 10, 30, 30}}, {{14, 12, 34, 32}}, merged), 1);
  EXPECT_EQ(merged[0], (TRect{10, 10, 34, 32}));
  // A jump far away: both stay as they are.
  EXPECT_EQ(Merge({{10, 10, 30, 30}}, {{100, 60, 120, 80}}, merged), 2);
  EXPECT_EQ(merged[0], (TRect{10, 10, 30, 30}));
  EXPECT_EQ(merged[1], (TRect{100, 60, 120, 80}));
  // Sharing an edge or a corner is not intersecting; an empty rectangle
  // intersects nothing and is appended as it is.
  EXPECT_EQ(Merge({{0, 0, 10, 10}}, {{10, 0, 20, 10}, {0, 10, 10, 20}, {10, 10, 20, 20}, {5, 5, 5, 9}}, merged), 5);
  EXPECT_EQ(merged[1], (TRect{10, 0, 20, 10}));
  EXPECT_EQ(merged[4], (TRect{5, 5, 5, 9}));
}

TEST(DirtyMerge, ARectangleSwallowsEveryEntryItMeetsIntoTheFirstWithoutASecondPass) {
  std::array<TRect, TDirty::MaxMerged> merged;
  // C overlaps A and B: A grows to A u B u C, B is dead but keeps its slot.
  const TRect a{0, 0, 10, 10}, b{20, 0, 30, 10}, c{5, 2, 25, 8};
  EXPECT_EQ(Merge({a, b}, {c}, merged), 2);
  EXPECT_EQ(merged[0], (TRect{0, 0, 30, 10}));
  EXPECT_EQ(merged[1].Left, TDirty::DeadMark);
  EXPECT_EQ(merged[1], (TRect{TDirty::DeadMark, 0, 30, 10}));
  // A further rectangle over B's old place goes into A; the dead slot counts.
  const TRect d{22, 4, 28, 6}, e{50, 50, 60, 60};
  EXPECT_EQ(TDirty::MergeRects(&d, 1, merged, 2), 2);
  EXPECT_EQ(TDirty::MergeRects(&e, 1, merged, 2), 3);
  EXPECT_EQ(merged[2], e);

  // R meets only A; A u R now overlaps B, but A is not tested again.
  EXPECT_EQ(Merge({{0, 0, 10, 10}, {12, 0, 20, 3}}, {{5, 5, 15, 10}}, merged), 2);
  EXPECT_EQ(merged[0], (TRect{0, 0, 15, 10}));
  EXPECT_EQ(merged[1], (TRect{12, 0, 20, 3}));
  // Within one list too: the second rectangle meets the grown first entry.
  EXPECT_EQ(Merge({}, {{0, 0, 10, 10}, {20, 0, 30, 10}, {8, 0, 22, 5}}, merged), 2);
  EXPECT_EQ(merged[0], (TRect{0, 0, 30, 10}));
  EXPECT_EQ(merged[1], (TRect{TDirty::DeadMark, 0, 30, 10}));
}

TEST_F(DirtyFrame, InitAndSaveBackgroundTakeDeepCopies) {
  board.SetPixel(1, 1, clWhite);
  dirty.Count = 3;
  dirty.PrevCount = 2;
  dirty.Init(board);  // a second Init at the same size refreshes the copy
  EXPECT_EQ(dirty.Count, 0);
  EXPECT_EQ(dirty.PrevCount, 0);
  EXPECT_EQ(dirty.Target(), &board);
  EXPECT_TRUE(SamePixels(dirty.Background(), board));

  const TBitmap before = Painted(120, 80, Board);
  board.Fill(clBlack);  // the background does not share the board's pixels
  const TRect saved{30, 20, 40, 25};
  dirty.SaveBackground(saved);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) {
      const TColor expected = saved.Contains({x, y}) ? clBlack : x == 1 && y == 1 ? clWhite : before.Pixel(x, y);
      ASSERT_EQ(dirty.Background().Pixel(x, y), expected) << x << "," << y;
    }

  TBitmap mono(33, 9, TPixelFormat::Mono);
  mono.SetPixel(32, 8, clWhite);
  dirty.Init(mono);  // size and format follow the target
  EXPECT_TRUE(SamePixels(dirty.Background(), mono));
}

TEST_F(DirtyFrame, EraseRestoresTheBackgroundAndMakesTheFramePrevious) {
  const TBitmap clean = Painted(120, 80, Board);
  Draw(10, 10);
  Draw(20, 15);
  Draw(110, 70);  // clipped to the board, recorded as given
  ASSERT_EQ(dirty.Count, 3);
  EXPECT_EQ(board.Pixel(25, 20), Sprite(5, 5));
  EXPECT_EQ(board.Pixel(119, 79), Sprite(9, 9));
  dirty.Erase();
  EXPECT_TRUE(SamePixels(board, clean));
  EXPECT_EQ(dirty.Count, 0);
  EXPECT_EQ(dirty.PrevCount, 3);
  EXPECT_EQ(dirty.PrevRects[1], Bounds(20, 15, 20, 20));
  EXPECT_EQ(dirty.PrevRects[2], Bounds(110, 70, 20, 20));
}

TEST_F(DirtyFrame, DrawMaskedStampsTheImageThroughItsMask) {
  // A piece: a 6 x 4 block with a notch, black outside; the mask is white
  // where the board shows through.
  TBitmap piece(8, 6), mask(8, 6, TPixelFormat::Mono);
  mask.Fill(clWhite);
  auto inShape = [](int x, int y) { return x >= 1 && x < 7 && y >= 1 && y < 5 && !(x == 3 && y == 1); };
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x)
      if (inShape(x, y)) {
        piece.SetPixel(x, y, Sprite(x, y));
        mask.SetPixel(x, y, clBlack);
      }
  dirty.DrawMasked(Bounds(50, 40, 8, 6), piece, Bounds(0, 0, 8, 6), mask);
  ASSERT_EQ(dirty.Count, 1);
  EXPECT_EQ(dirty.Rects[0], Bounds(50, 40, 8, 6));
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool image = x >= 50 && y >= 40 && inShape(x - 50, y - 40);
      ASSERT_EQ(board.Pixel(x, y), image ? Sprite(x - 50, y - 40) : Board(x, y)) << x << "," << y;
    }
  dirty.Erase();
  EXPECT_TRUE(SamePixels(board, dirty.Background()));
}

TEST_F(DirtyFrame, TheSeventeenthDrawOfAFrameIsRefused) {
  for (int i = 0; i < TDirty::MaxRects; ++i) Draw(i * 2, i);
  const TBitmap full = board;
  const auto rects = dirty.Rects;
  TBitmap mask(20, 20, TPixelFormat::Mono);  // black: the image would show everywhere
  dirty.DrawMasked(Bounds(90, 50, 20, 20), image, Bounds(0, 0, 20, 20), mask);
  Draw(90, 50);
  EXPECT_EQ(dirty.Count, 16);
  EXPECT_EQ(dirty.Rects, rects);
  EXPECT_TRUE(SamePixels(board, full));
  EXPECT_EQ(board.Pixel(100, 60), Board(100, 60));
}

TEST_F(DirtyFrame, FlushCopiesExactlyTheMergedRectanglesOfBothFrames) {
  // Lift: one draw, one copy.
  Draw(10, 10);
  dirty.Flush(screen);
  EXPECT_EQ(screen.Shown, (std::vector<TRect>{Bounds(10, 10, 20, 20)}));
  ExpectScreenCopied({Bounds(10, 10, 20, 20)});

  // A small move: the union of old and new, once.
  screen.Shown.clear();
  dirty.Erase();
  Draw(13, 12);
  dirty.Flush(screen);
  EXPECT_EQ(screen.Shown, (std::vector<TRect>{{10, 10, 33, 32}}));
  ExpectScreenCopied({{10, 10, 33, 32}});
  EXPECT_EQ(screen.Image().Pixel(10, 10), Board(10, 10));  // the old place is clean again
  EXPECT_EQ(screen.Image().Pixel(13, 12), Sprite(0, 0));

  // A jump far away: two copies.
  screen.Shown.clear();
  screen.Image().Fill(ScreenColour);
  dirty.Erase();
  Draw(80, 50);
  dirty.Flush(screen);
  EXPECT_EQ(screen.Shown, (std::vector<TRect>{Bounds(13, 12, 20, 20), Bounds(80, 50, 20, 20)}));
  ExpectScreenCopied({Bounds(13, 12, 20, 20), Bounds(80, 50, 20, 20)});

  // Frames sharing only an edge: two copies.
  screen.Shown.clear();
  dirty.Erase();
  Draw(60, 50);
  dirty.Flush(screen);
  EXPECT_EQ(screen.Shown, (std::vector<TRect>{Bounds(80, 50, 20, 20), Bounds(60, 50, 20, 20)}));
}

TEST_F(DirtyFrame, FlushOfTheABCCaseCopiesOnlyTheGrownRectangle) {
  const TRect a = Bounds(0, 0, 20, 20), b = Bounds(40, 0, 20, 20), c = Bounds(10, 5, 40, 10);
  Draw(0, 0);
  Draw(40, 0);
  dirty.Erase();
  dirty.DrawOpaque(c, image, Bounds(0, 0, 40, 10));  // clipped to the image's 20 columns
  dirty.Flush(screen);
  EXPECT_EQ(screen.Shown, (std::vector<TRect>{a.Union(b).Union(c)}));
  EXPECT_EQ(dirty.Merged[1], (TRect{TDirty::DeadMark, 0, 60, 20}));
  ExpectScreenCopied({{0, 0, 60, 20}});
}

TEST_F(DirtyFrame, FlushAfterResetCopiesOnlyTheNewRectangle) {
  Draw(10, 10);
  Draw(60, 40);
  dirty.Erase();  // the previous frame now holds both
  dirty.Reset();
  Draw(90, 5);
  dirty.Flush(screen);
  EXPECT_EQ(screen.Shown, (std::vector<TRect>{Bounds(90, 5, 20, 20)}));
  // Part of it lies beyond the screen: the copy is clipped, nothing else changes.
  Draw(110, 70);
  screen.Shown.clear();
  dirty.Flush(screen);
  EXPECT_EQ(screen.Shown, (std::vector<TRect>{Bounds(90, 5, 20, 20), {110, 70, 120, 80}}));
  ExpectScreenCopied({Bounds(90, 5, 20, 20), Bounds(110, 70, 20, 20)});
}
