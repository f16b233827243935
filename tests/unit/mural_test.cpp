#include <gtest/gtest.h>

#include <array>

#include "pieces/mural.h"
#include "platform/colors.h"
#include "platform/system.h"
#include "platform/utility.h"

namespace {

// Pretends the screen has the given depth for the life of the object.
class TScreenDepth {
 public:
  explicit TScreenDepth(int depth) {
    SetScreenDepthSource([depth] { return depth; });
  }
  ~TScreenDepth() { SetScreenDepthSource(nullptr); }
  TScreenDepth(const TScreenDepth&) = delete;
  TScreenDepth& operator=(const TScreenDepth&) = delete;
};

TMural Painted(int width, int height, TColor color) {
  TMural mural;
  mural.SetSize(width, height);
  mural.Paint(color);
  return mural;
}

// The colour of row y, after checking that the whole row has it.
TColor RowColor(const TBitmap& image, int y) {
  const TColor first = image.Pixel(0, y);
  for (int x = 1; x < image.Width(); ++x)
    if (image.Pixel(x, y) != first) ADD_FAILURE() << "row " << y << " differs at " << x;
  return first;
}

}  // namespace

TEST(Mural, GradientRunsFromTheFullColourToAboutHalf) {
  const TScreenDepth screen(32);
  const TMural white = Painted(7, 400, clWhite);
  ASSERT_EQ(white.Image().Width(), 7);
  ASSERT_EQ(white.Image().Height(), 400);
  EXPECT_EQ(RowColor(white.Image(), 0), clWhite);
  EXPECT_EQ(RowColor(white.Image(), 1), clWhite);  // 255 * (400 - 0) div 400
  EXPECT_EQ(RowColor(white.Image(), 2), RGBColor(254, 254, 254));  // 255 * 399 div 400
  EXPECT_EQ(RowColor(white.Image(), 200), RGBColor(191, 191, 191));  // 255 * 300 div 400
  EXPECT_EQ(RowColor(white.Image(), 399), RGBColor(128, 128, 128));  // 255 * 201 div 400

  // Channels stay apart (blue, green, red in the rows).
  const TMural mixed = Painted(3, 4, RGBColor(100, 20, 255));
  EXPECT_EQ(mixed.Image().ScanLine(0)[0], 255);
  EXPECT_EQ(mixed.Image().ScanLine(0)[1], 20);
  EXPECT_EQ(mixed.Image().ScanLine(0)[2], 100);
  EXPECT_EQ(RowColor(mixed.Image(), 3), RGBColor(75, 15, 191));  // c * 3 div 4

  EXPECT_EQ(RowColor(Painted(5, 1, RGBColor(9, 99, 199)).Image(), 0), RGBColor(9, 99, 199));
  const TMural black = Painted(5, 50, clBlack);
  for (int y = 0; y < 50; ++y) EXPECT_EQ(RowColor(black.Image(), y), clBlack);

  // A system colour is painted as what it stands for.
  EXPECT_EQ(Painted(2, 1, clBtnFace).Image().Pixel(1, 0), ColorToRGB(clBtnFace));
}

TEST(Mural, ScreensBelow24BitsGetDitheredRows) {
  const TScreenDepth screen(16);
  Dither(RGBColor(3, 3, 3), false);  // leaves an error that Paint must reset

  // By hand: red 100 100 75 75 becomes 104 96 72 80 (errors -4, 0, 3, -2),
  // green 20 20 15 15 becomes 24 16 16 16, blue 255 255 191 191 becomes
  // 255 255 192 192.
  const TMural mural = Painted(6, 4, RGBColor(100, 20, 255));
  EXPECT_EQ(RowColor(mural.Image(), 0), RGBColor(104, 24, 255));
  EXPECT_EQ(RowColor(mural.Image(), 1), RGBColor(96, 16, 255));
  EXPECT_EQ(RowColor(mural.Image(), 2), RGBColor(72, 16, 192));
  EXPECT_EQ(RowColor(mural.Image(), 3), RGBColor(80, 16, 192));

  // A long smooth gradient: every row on a multiple of 8 (or 255), and the
  // rows add up to the exact gradient within the carried error.
  const int h = 300;
  const TColor color = RGBColor(201, 77, 140);
  const TMural smooth = Painted(4, h, color);
  std::array<int, 3> drift{};
  for (int y = 0; y < h; ++y) {
    const TColor row = RowColor(smooth.Image(), y);
    const std::array<int, 3> got{RedOf(row), GreenOf(row), BlueOf(row)};
    const std::array<int, 3> full{RedOf(color), GreenOf(color), BlueOf(color)};
    for (int c = 0; c < 3; ++c) {
      EXPECT_TRUE(got[c] % 8 == 0 || got[c] == 255) << "row " << y;
      drift[c] += got[c] - full[c] * (h - y / 2) / h;
      EXPECT_LE(std::abs(drift[c]), 4) << "row " << y;
    }
  }
}

TEST(Mural, FullColourWithoutAScreen) {
  const TScreenDepth noScreen(0);  // headless rendering
  EXPECT_EQ(RowColor(Painted(3, 4, RGBColor(100, 20, 255)).Image(), 0), RGBColor(100, 20, 255));
}

TEST(Mural, DrawCopiesOneRectangleAtTheSameCoordinates) {
  const TScreenDepth screen(24);
  const TMural mural = Painted(20, 10, clWhite);
  TBitmap board(30, 30, TPixelFormat::Bgr24);
  board.Fill(RGBColor(1, 2, 3));

  mural.Draw({15, 8, 25, 12}, board);  // reaches past the mural's right and bottom
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool inside = x >= 15 && x < 20 && y >= 8 && y < 10;
      ASSERT_EQ(board.Pixel(x, y), inside ? mural.Image().Pixel(x, y) : RGBColor(1, 2, 3)) << x << "," << y;
    }
  mural.Draw({-5, -5, 0, 3}, board);  // nothing of it lies on the mural
  EXPECT_EQ(board.Pixel(0, 0), RGBColor(1, 2, 3));

  // A mural sized to nothing paints and draws nothing.
  TMural resized = Painted(20, 10, clWhite);
  resized.SetSize(0, 5);
  EXPECT_TRUE(resized.Image().IsEmpty());
  resized.Paint(clWhite);
  resized.Draw({0, 0, 30, 30}, board);
  EXPECT_EQ(board.Pixel(0, 0), RGBColor(1, 2, 3));
}
