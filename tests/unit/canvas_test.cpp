#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/colors.h"

namespace {

// The bitmap as rows of '#' (pen colour black) and '.' (white).
std::string Picture(const TBitmap& b) {
  std::string s;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) s += b.Pixel(x, y) == clBlack ? '#' : '.';
    s += '\n';
  }
  return s;
}

TBitmap White(int w, int h) {
  TBitmap b(w, h, TPixelFormat::Bgr24);
  b.Fill(clWhite);
  return b;
}

}  // namespace

TEST(Canvas, LineToLeavesOutTheEndPixel) {
  TBitmap b = White(6, 6);
  TCanvas c(b);
  c.MoveTo(1, 1);
  c.LineTo(4, 1);  // horizontal: 1..3
  c.MoveTo(0, 2);
  c.LineTo(0, 5);  // vertical: 2..4
  c.MoveTo(2, 2);
  c.LineTo(5, 5);  // 45 degrees: (2,2) (3,3) (4,4)
  EXPECT_EQ(Picture(b),
            "......\n"
            ".###..\n"
            "#.#...\n"
            "#..#..\n"
            "#...#.\n"
            "......\n");
  EXPECT_EQ(c.PenPos(), (TPoint{5, 5}));

  TBitmap one = White(3, 3);
  TCanvas d(one);
  d.MoveTo(1, 1);
  d.LineTo(1, 1);  // nothing at all
  EXPECT_EQ(Picture(one), "...\n...\n...\n");
  d.LineTo(2, 1);  // a single pixel
  EXPECT_EQ(Picture(one), "...\n.#.\n...\n");
}

TEST(Canvas, ThickPenSquaresSitHalfAWidthAboveAndLeft) {
  TBitmap b = White(8, 5);
  TCanvas c(b);
  c.Pen.Width = 2;
  c.MoveTo(2, 2);
  c.LineTo(5, 2);  // centres 2..4, squares cover x 1..4 and y 1..2
  EXPECT_EQ(Picture(b),
            "........\n"
            ".####...\n"
            ".####...\n"
            "........\n"
            "........\n");

  // Drawn backwards, a segment leaves out its end as well: leftwards from 5
  // the centres are 5, 4 and 3; upwards from 4 they are 4, 3 and 2.
  TBitmap back = White(8, 5);
  TCanvas d(back);
  d.Pen.Width = 2;
  d.MoveTo(5, 1);
  d.LineTo(2, 1);
  d.MoveTo(7, 4);
  d.LineTo(7, 1);
  EXPECT_EQ(Picture(back),
            "..####..\n"
            "..######\n"
            "......##\n"
            "......##\n"
            "......##\n");
}

TEST(Canvas, PolylineJoinsWithoutTheLastPoint) {
  TBitmap b = White(5, 5);
  TCanvas c(b);
  const TPoint points[] = {{0, 3}, {0, 0}, {3, 0}};
  c.Polyline(points);
  EXPECT_EQ(Picture(b),
            "###..\n"
            "#....\n"
            "#....\n"
            "#....\n"
            ".....\n");
}

TEST(Canvas, NotXorPenDrawnTwiceRestoresThePixels) {
  TBitmap b(6, 6, TPixelFormat::Bgr24);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) b.SetPixel(x, y, RGBColor(x * 40, y * 40, 77));
  const TBitmap before = b;
  TCanvas c(b);
  c.Pen.Mode = TPenMode::NotXor;
  c.Pen.Color = clBlack;
  c.Brush.Clear = true;
  c.Rectangle(1, 1, 5, 5);
  // A black NOT-XOR pen inverts.
  EXPECT_EQ(b.Pixel(1, 1), RGBColor(255 - 40, 255 - 40, 255 - 77));
  EXPECT_EQ(b.Pixel(2, 2), before.Pixel(2, 2));
  c.Rectangle(1, 1, 5, 5);
  EXPECT_EQ(b.Image(), before.Image());

  // Overlapping thick squares still invert each pixel once.
  c.Pen.Width = 3;
  c.MoveTo(1, 1);
  c.LineTo(4, 3);
  EXPECT_EQ(b.Pixel(2, 2), RGBColor(255 - 80, 255 - 80, 255 - 77));
}

TEST(Canvas, RectangleFillsWithBrushAndFramesWithPen) {
  TBitmap b = White(6, 5);
  TCanvas c(b);
  c.Brush.Color = RGBColor(0, 0, 255);
  c.Rectangle(1, 1, 5, 4);
  EXPECT_EQ(b.Pixel(0, 0), clWhite);
  EXPECT_EQ(b.Pixel(1, 1), clBlack);
  EXPECT_EQ(b.Pixel(4, 3), clBlack);  // right and bottom edges are inside
  EXPECT_EQ(b.Pixel(5, 3), clWhite);
  EXPECT_EQ(b.Pixel(2, 2), RGBColor(0, 0, 255));

  TBitmap t = White(7, 7);
  TCanvas d(t);
  d.Pen.Width = 2;
  d.Pen.InsideFrame = true;
  d.Brush.Clear = true;
  d.Rectangle(0, 0, 7, 7);
  EXPECT_EQ(Picture(t),
            "#######\n"
            "#######\n"
            "##...##\n"
            "##...##\n"
            "##...##\n"
            "#######\n"
            "#######\n");
}

TEST(Canvas, ClipRectangleLimitsEveryOperation) {
  TBitmap b = White(6, 6);
  TCanvas c(b);
  c.SetClipRect({2, 2, 4, 4});
  c.Brush.Color = clBlack;
  c.FillRect({0, 0, 6, 6});
  c.MoveTo(0, 5);
  c.LineTo(6, 5);
  EXPECT_EQ(Picture(b),
            "......\n"
            "......\n"
            "..##..\n"
            "..##..\n"
            "......\n"
            "......\n");
  c.ClearClipRect();
  c.FillRect({-10, -10, 100, 100});  // larger than the bitmap: clipped
  EXPECT_EQ(b.Pixel(5, 5), clBlack);
}

TEST(Canvas, FloodFillStopsAtTheBorderColour) {
  TBitmap b = White(7, 7);
  TCanvas c(b);
  c.Brush.Clear = true;
  c.Rectangle(1, 1, 6, 6);  // black ring
  c.Brush.Clear = false;
  c.Brush.Color = RGBColor(0, 255, 0);
  c.FloodFill(3, 3, clBlack);
  EXPECT_EQ(b.Pixel(3, 3), RGBColor(0, 255, 0));
  EXPECT_EQ(b.Pixel(2, 4), RGBColor(0, 255, 0));
  EXPECT_EQ(b.Pixel(1, 1), clBlack);
  EXPECT_EQ(b.Pixel(0, 0), clWhite);
  // Starting on the border fills nothing.
  c.Brush.Color = RGBColor(255, 0, 0);
  c.FloodFill(1, 3, clBlack);
  EXPECT_EQ(b.Pixel(0, 3), clWhite);
}

TEST(Canvas, SystemColoursResolveThroughTheTable) {
  TBitmap b = White(2, 1);
  TCanvas c(b);
  c.Brush.Color = clBtnFace;
  c.FillRect({0, 0, 1, 1});
  EXPECT_EQ(b.Pixel(0, 0), RGBColor(0xC0, 0xC0, 0xC0));
  SetSystemColor(COLOR_BTNFACE, RGBColor(1, 2, 3));
  c.FillRect({1, 0, 2, 1});
  EXPECT_EQ(b.Pixel(1, 0), RGBColor(1, 2, 3));
  ResetSystemColors();
  EXPECT_EQ(ColorToRGB(clBtnFace), RGBColor(0xC0, 0xC0, 0xC0));
}

TEST(Canvas, TextAndStretchDrawMarkTheTarget) {
  TBitmap b = White(80, 30);
  TCanvas c(b);
  c.Brush.Clear = true;
  c.Font.Size = 14;
  c.TextOut(2, 2, QStringLiteral("Hi"));
  const TSize extent = c.TextExtent(QStringLiteral("Hi"));
  EXPECT_GT(extent.Width, 5);
  int dark = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) dark += b.Pixel(x, y) != clWhite;
  EXPECT_GT(dark, 10);

  TBitmap src(2, 2, TPixelFormat::Bgr24);
  src.Fill(RGBColor(200, 0, 0));
  TBitmap big = White(10, 10);
  TCanvas d(big);
  d.StretchDraw({2, 2, 8, 8}, src);
  EXPECT_EQ(big.Pixel(1, 1), clWhite);
  EXPECT_EQ(big.Pixel(5, 5), RGBColor(200, 0, 0));
  EXPECT_EQ(big.Pixel(8, 8), clWhite);
}

namespace {

// A picture in which every pixel differs from its neighbours.
TBitmap Pattern(int w, int h) {
  TBitmap b(w, h, TPixelFormat::Bgr24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, RGBColor(17 * x + 3 * y, 255 - 11 * y, (29 * x * y) % 256));
  return b;
}

TColor Grey(int level) { return RGBColor(level, level, level); }

// One row of grey levels as a bitmap.
TBitmap GreyRow(const std::vector<int>& levels) {
  TBitmap b(int(levels.size()), 1, TPixelFormat::Bgr24);
  for (int x = 0; x < b.Width(); ++x) b.SetPixel(x, 0, Grey(levels[std::size_t(x)]));
  return b;
}

// Row y as grey levels, for pictures of grey only.
std::vector<int> Greys(const TBitmap& b, int y) {
  std::vector<int> greys;
  for (int x = 0; x < b.Width(); ++x) greys.push_back(RedOf(b.Pixel(x, y)));
  return greys;
}

// What src stretched to width x height looks like on its own.
TBitmap Stretched(const TBitmap& src, int width, int height) {
  TBitmap out(width, height);
  TCanvas(out).StretchDraw({0, 0, width, height}, src);
  return out;
}

}  // namespace

TEST(Canvas, StretchDrawAtTheSameSizeCopies) {
  const TBitmap src = Pattern(7, 5);
  TBitmap b = White(12, 9);
  TCanvas(b).StretchDraw({3, 2, 10, 7}, src);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 3 && x < 10 && y >= 2 && y < 7;
      EXPECT_EQ(b.Pixel(x, y), inside ? src.Pixel(x - 3, y - 2) : clWhite) << x << "," << y;
    }
}

TEST(Canvas, StretchDrawKeepsAPlainColourExactly) {
  TBitmap src(37, 23, TPixelFormat::Bgr24);
  src.Fill(RGBColor(13, 200, 77));
  // Shrinking by uneven factors, enlarging, and both at once.
  for (const TSize size : {TSize{10, 9}, TSize{80, 51}, TSize{5, 70}, TSize{1, 1}}) {
    const TBitmap out = Stretched(src, size.Width, size.Height);
    for (int y = 0; y < size.Height; ++y)
      for (int x = 0; x < size.Width; ++x)
        ASSERT_EQ(out.Pixel(x, y), RGBColor(13, 200, 77))
            << size.Width << "x" << size.Height << " at " << x << "," << y;
  }
}

TEST(Canvas, StretchDrawAveragesWhenShrinkingAndInterpolatesWhenEnlarging) {
  // Halving averages pairs. At two thirds each destination pixel covers one
  // and a half source pixels: (2 x 30 + 60) / 3 and (60 + 2 x 90) / 3.
  EXPECT_EQ(Greys(Stretched(GreyRow({0, 100, 200, 40}), 2, 1), 0), (std::vector<int>{50, 120}));
  EXPECT_EQ(Greys(Stretched(GreyRow({30, 60, 90}), 2, 1), 0), (std::vector<int>{40, 80}));

  // A 2 x 2 checker made 8 x 8: pixel centres at (i + 1/2) / 4 - 1/2 source
  // pixels, so the outer two on each side keep the corner colours and those
  // between lie 1/8, 3/8, 5/8 and 7/8 of the way from black to white.
  TBitmap checker(2, 2, TPixelFormat::Bgr24);
  checker.SetPixel(1, 0, clWhite);
  checker.SetPixel(0, 1, clWhite);
  const TBitmap big = Stretched(checker, 8, 8);
  EXPECT_EQ(big.Pixel(0, 0), clBlack);
  EXPECT_EQ(big.Pixel(7, 0), clWhite);
  EXPECT_EQ(big.Pixel(0, 7), clWhite);
  EXPECT_EQ(big.Pixel(7, 7), clBlack);
  EXPECT_EQ(Greys(big, 1), (std::vector<int>{0, 0, 32, 96, 159, 223, 255, 255}));
  EXPECT_EQ(Greys(big, 7), (std::vector<int>{255, 255, 223, 159, 96, 32, 0, 0}));
  // Inside, from both directions: 5/8 x 3/8 of each white corner, 255 x 30 /
  // 64 = 119.5, which rounds up.
  EXPECT_EQ(big.Pixel(3, 3), Grey(120));

  // A mono source is seen in black and white.
  TBitmap mono(2, 1, TPixelFormat::Mono);
  mono.SetPixel(1, 0, clWhite);
  EXPECT_EQ(Greys(Stretched(mono, 4, 1), 0), (std::vector<int>{0, 64, 191, 255}));
}

TEST(Canvas, StretchDrawIsClippedAndMayLieOutsideTheTarget) {
  const TBitmap src = Pattern(9, 6);
  const TBitmap whole = Stretched(src, 20, 15);

  // Partly outside the target: the part inside is that part of the whole.
  TBitmap b = White(12, 14);
  TCanvas c(b);
  c.StretchDraw({-5, -3, 15, 12}, src);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 12; ++x)
      EXPECT_EQ(b.Pixel(x, y), y < 12 ? whole.Pixel(x + 5, y + 3) : clWhite) << x << "," << y;

  // Clipped: nothing changes outside the clip rectangle.
  TBitmap clipped = White(12, 14);
  TCanvas d(clipped);
  d.SetClipRect({2, 4, 7, 6});
  d.StretchDraw({-5, -3, 15, 12}, src);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 2 && x < 7 && y >= 4 && y < 6;
      EXPECT_EQ(clipped.Pixel(x, y), inside ? whole.Pixel(x + 5, y + 3) : clWhite) << x << "," << y;
    }

  // Wholly outside the clip, or far larger than the target: only what shows
  // is made.
  d.StretchDraw({20, 20, 40, 40}, src);
  EXPECT_EQ(clipped.Pixel(11, 13), clWhite);
  TBitmap plain(3, 2, TPixelFormat::Bgr24);
  plain.Fill(RGBColor(7, 8, 9));
  d.ClearClipRect();
  d.StretchDraw({-1000000, -1000000, 1000000, 1000000}, plain);
  EXPECT_EQ(clipped.Pixel(0, 0), RGBColor(7, 8, 9));
  EXPECT_EQ(clipped.Pixel(11, 13), RGBColor(7, 8, 9));
}

TEST(Canvas, StretchDrawInBandsMatchesOnePieceAtATime) {
  // Large enough to be made in two bands at once; drawn again clip rectangle
  // by clip rectangle, each too small for that, it must come out the same.
  const TBitmap src = Pattern(13, 11);
  const TBitmap whole = Stretched(src, 1100, 1000);
  TBitmap pieces(1100, 1000);
  TCanvas c(pieces);
  for (const TRect clip : {TRect{0, 0, 1100, 499}, TRect{0, 499, 1100, 501}, TRect{0, 501, 1100, 1000}}) {
    c.SetClipRect(clip);
    c.StretchDraw({0, 0, 1100, 1000}, src);
  }
  EXPECT_EQ(pieces.Image(), whole.Image());
}

TEST(Canvas, StretchDrawWithOtherModesAndTargets) {
  TBitmap src(3, 3, TPixelFormat::Bgr24);
  src.Fill(RGBColor(200, 0, 6));
  TBitmap b(4, 4, TPixelFormat::Bgr24);
  b.Fill(RGBColor(1, 2, 4));
  TCanvas c(b);
  c.CopyMode = TRasterOp::SrcPaint;
  c.SetClipRect({0, 0, 2, 4});
  c.StretchDraw({0, 0, 4, 4}, src);
  EXPECT_EQ(b.Pixel(1, 3), RGBColor(201, 2, 6));
  EXPECT_EQ(b.Pixel(2, 3), RGBColor(1, 2, 4));

  // On a mono target light greys become white, dark ones black.
  TBitmap grey(2, 1, TPixelFormat::Bgr24);
  grey.SetPixel(0, 0, RGBColor(100, 100, 100));
  grey.SetPixel(1, 0, RGBColor(200, 200, 200));
  TBitmap mono(4, 1, TPixelFormat::Mono);
  TCanvas(mono).StretchDraw({0, 0, 4, 1}, grey);
  EXPECT_EQ(Picture(mono), "##..\n");

  // A bitmap stretched onto itself is read as it was before.
  TBitmap self = Pattern(6, 4);
  const TBitmap before = self;
  TCanvas(self).StretchDraw({0, 0, 12, 8}, self);
  EXPECT_EQ(self.Pixel(5, 3), Stretched(before, 12, 8).Pixel(5, 3));
  EXPECT_EQ(self.Pixel(0, 0), before.Pixel(0, 0));
}
