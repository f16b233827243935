#include <gtest/gtest.h>

#include <string>

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
