#include <gtest/gtest.h>

#include "pieces/rotate.h"
#include "platform/colors.h"
#include "platform/errors.h"

namespace {

constexpr TColor Sentinel = RGBColor(1, 2, 3);

// Every pixel names its own position: red = x, green = y.
TBitmap Numbered(int w, int h, int bitmapW, int bitmapH) {
  TBitmap b(bitmapW, bitmapH, TPixelFormat::Bgr24);
  b.Fill(Sentinel);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, RGBColor(x, y, 200));
  return b;
}

TBitmap Filled(int w, int h, TPixelFormat format, TColor color) {
  TBitmap b(w, h, format);
  b.Fill(color);
  return b;
}

// 13 x 7 mask, white at (0, 0), (12, 0), (5, 3) and (12, 6).
TBitmap SampleMask() {
  TBitmap m(13, 7, TPixelFormat::Mono);
  for (TPoint p : {TPoint{0, 0}, TPoint{12, 0}, TPoint{5, 3}, TPoint{12, 6}}) m.SetPixel(p.X, p.Y, clWhite);
  return m;
}

std::vector<std::uint8_t> RowBytes(const TBitmap& b, int y, int count) {
  return {b.ScanLine(y), b.ScanLine(y) + count};
}

}  // namespace

TEST(Rotate, QuarterTurnClockwiseLandsAtTopLeftAndLeavesTheRestAlone) {
  const TBitmap source = Numbered(40, 25, 40, 25);
  TBitmap dest = Filled(40, 40, TPixelFormat::Bgr24, Sentinel);
  TRotate rotate;
  rotate.Rotate(source, dest, 40, 25, 1);

  // The corners, by hand: the bottom-left pixel goes to the top-left, the
  // top-left to the top-right of the 25 x 40 result.
  EXPECT_EQ(dest.Pixel(0, 0), RGBColor(0, 24, 200));
  EXPECT_EQ(dest.Pixel(24, 0), RGBColor(0, 0, 200));
  EXPECT_EQ(dest.Pixel(24, 39), RGBColor(39, 0, 200));
  EXPECT_EQ(dest.Pixel(0, 39), RGBColor(39, 24, 200));
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(dest.Pixel(24 - y, x), RGBColor(x, y, 200)) << x << "," << y;
  for (int y = 0; y < 40; ++y)
    for (int x = 25; x < 40; ++x) ASSERT_EQ(dest.Pixel(x, y), Sentinel) << x << "," << y;

  // A destination of exactly the turned size is enough.
  TBitmap exact(25, 40, TPixelFormat::Bgr24);
  rotate.Rotate(source, exact, 40, 25, 1);
  EXPECT_EQ(exact.Pixel(24, 39), RGBColor(39, 0, 200));
}

TEST(Rotate, HalfTurnAndCounterClockwiseTurn) {
  const TBitmap source = Numbered(40, 25, 48, 30);  // the rectangle is the top-left of a larger bitmap
  TRotate rotate;

  TBitmap half = Filled(40, 40, TPixelFormat::Bgr24, Sentinel);
  rotate.Rotate(source, half, 40, 25, 2);
  EXPECT_EQ(half.Pixel(0, 0), RGBColor(39, 24, 200));
  EXPECT_EQ(half.Pixel(39, 24), RGBColor(0, 0, 200));
  EXPECT_EQ(half.Pixel(0, 24), RGBColor(39, 0, 200));
  EXPECT_EQ(half.Pixel(0, 25), Sentinel);

  TBitmap back = Filled(40, 40, TPixelFormat::Bgr24, Sentinel);
  rotate.Rotate(source, back, 40, 25, 3);
  // The top-right pixel goes to the top-left, the top-left to the bottom-left.
  EXPECT_EQ(back.Pixel(0, 0), RGBColor(39, 0, 200));
  EXPECT_EQ(back.Pixel(0, 39), RGBColor(0, 0, 200));
  EXPECT_EQ(back.Pixel(24, 39), RGBColor(0, 24, 200));
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(back.Pixel(y, 39 - x), RGBColor(x, y, 200)) << x << "," << y;
  EXPECT_EQ(back.Pixel(25, 0), Sentinel);

  // Turns count modulo 4: -1 is 3, 5 is 1, 0 and 4 copy.
  TBitmap minusOne = Filled(40, 40, TPixelFormat::Bgr24, Sentinel);
  rotate.Rotate(source, minusOne, 40, 25, -1);
  EXPECT_EQ(minusOne.Image(), back.Image());
  TBitmap copy = Filled(40, 40, TPixelFormat::Bgr24, Sentinel);
  rotate.Rotate(source, copy, 40, 25, 4);
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(copy.Pixel(x, y), RGBColor(x, y, 200));
  EXPECT_EQ(copy.Pixel(0, 25), Sentinel);
}

TEST(Rotate, FourTurnsGiveBackTheExactPixels) {
  TRotate rotate;
  // Colour: a cell of 40 x 40 holding a 40 x 25 piece, turned through two
  // scratch cells as the piece set does.
  TBitmap cell = Numbered(40, 25, 40, 40);
  const TBitmap original = cell;
  TBitmap scratch(40, 40, TPixelFormat::Bgr24);
  int w = 40, h = 25;
  for (int turn = 0; turn < 4; ++turn) {
    rotate.Rotate(cell, scratch, w, h, 1);
    std::swap(cell, scratch);
    std::swap(w, h);
  }
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(cell.Pixel(x, y), original.Pixel(x, y));

  // Mono, in place on one bitmap, three turns then one more.
  TBitmap mask(16, 16, TPixelFormat::Mono);
  const TBitmap sample = SampleMask();
  BitBlt(mask, 0, 0, 13, 7, sample, 0, 0, TRasterOp::SrcCopy);
  const TBitmap before = mask;
  rotate.Rotate(mask, mask, 13, 7, 3);
  rotate.Rotate(mask, mask, 7, 13, 1);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) ASSERT_EQ(mask.Pixel(x, y), before.Pixel(x, y)) << x << "," << y;

  // Palettised pixels turn as single bytes.
  TBitmap indexed(3, 2, TPixelFormat::Indexed8);
  for (int i = 0; i < 6; ++i) indexed.ScanLine(i / 3)[i % 3] = std::uint8_t(10 + i);
  TBitmap turned(2, 3, TPixelFormat::Indexed8);
  rotate.Rotate(indexed, turned, 3, 2, 1);
  // 10 11 12 / 13 14 15 turned right is 13 10 / 14 11 / 15 12.
  EXPECT_EQ(RowBytes(turned, 0, 2), (std::vector<std::uint8_t>{13, 10}));
  EXPECT_EQ(RowBytes(turned, 1, 2), (std::vector<std::uint8_t>{14, 11}));
  EXPECT_EQ(RowBytes(turned, 2, 2), (std::vector<std::uint8_t>{15, 12}));
}

TEST(Rotate, MonoBitsMoveAndTheOtherBitsOfEachByteStay) {
  const TBitmap mask = SampleMask();  // 13 x 7: the rows end inside their second byte
  TRotate rotate;
  using Bytes = std::vector<std::uint8_t>;

  // Turn 1 into a white 16 x 16 mask: (x, y) -> (6 - y, x). Bits 0..6 of
  // rows 0..12 are written; bit 7 (0x01) and the second byte stay white.
  TBitmap right = Filled(16, 16, TPixelFormat::Mono, clWhite);
  rotate.Rotate(mask, right, 13, 7, 1);
  for (int y = 0; y < 16; ++y) {
    std::uint8_t expected = y < 13 ? 0x01 : 0xFF;
    if (y == 0) expected = 0x03;   // (6, 0) from (0, 0)
    if (y == 5) expected = 0x11;   // (3, 5) from (5, 3)
    if (y == 12) expected = 0x83;  // (6, 12) from (12, 0), (0, 12) from (12, 6)
    EXPECT_EQ(RowBytes(right, y, 2), (Bytes{expected, 0xFF})) << "row " << y;
  }

  // Turn 3: (x, y) -> (y, 12 - x).
  TBitmap left = Filled(16, 16, TPixelFormat::Mono, clWhite);
  rotate.Rotate(mask, left, 13, 7, 3);
  for (int y = 0; y < 16; ++y) {
    std::uint8_t expected = y < 13 ? 0x01 : 0xFF;
    if (y == 0) expected = 0x83;   // (0, 0) from (12, 0), (6, 0) from (12, 6)
    if (y == 7) expected = 0x11;   // (3, 7) from (5, 3)
    if (y == 12) expected = 0x81;  // (0, 12) from (0, 0)
    EXPECT_EQ(RowBytes(left, y, 2), (Bytes{expected, 0xFF})) << "row " << y;
  }

  // Turn 2: (x, y) -> (12 - x, 6 - y); columns 13..15 stay white (0x07).
  TBitmap half = Filled(16, 16, TPixelFormat::Mono, clWhite);
  rotate.Rotate(mask, half, 13, 7, 2);
  for (int y = 0; y < 16; ++y) {
    Bytes expected = y < 7 ? Bytes{0x00, 0x07} : Bytes{0xFF, 0xFF};
    if (y == 0) expected = {0x80, 0x07};  // (0, 0) from (12, 6)
    if (y == 3) expected = {0x01, 0x07};  // (7, 3) from (5, 3)
    if (y == 6) expected = {0x80, 0x0F};  // (0, 6) from (12, 0), (12, 6) from (0, 0)
    EXPECT_EQ(RowBytes(half, y, 2), expected) << "row " << y;
  }
}

TEST(Rotate, RefusesRectanglesOutsideEitherBitmap) {
  TRotate rotate;
  const TBitmap source = Numbered(40, 25, 40, 25);
  TBitmap dest = Filled(40, 40, TPixelFormat::Bgr24, Sentinel);
  const TBitmap untouched = dest;

  EXPECT_THROW(rotate.Rotate(source, dest, 41, 25, 1), EError);  // wider than the source
  EXPECT_THROW(rotate.Rotate(source, dest, 40, 26, 0), EError);  // taller than the source
  TBitmap narrow = Filled(24, 40, TPixelFormat::Bgr24, Sentinel);
  EXPECT_THROW(rotate.Rotate(source, narrow, 40, 25, 1), EError);  // the turned 25 x 40 does not fit
  TBitmap flat = Filled(40, 25, TPixelFormat::Bgr24, Sentinel);
  EXPECT_THROW(rotate.Rotate(source, flat, 40, 25, 3), EError);
  TBitmap mono(40, 40, TPixelFormat::Mono);
  EXPECT_THROW(rotate.Rotate(source, mono, 40, 25, 1), EError);
  EXPECT_THROW(rotate.Rotate(TBitmap(), dest, 1, 1, 1), EError);
  EXPECT_EQ(dest.Image(), untouched.Image());

  // An empty rectangle does nothing, even on empty bitmaps.
  TBitmap empty;
  rotate.Rotate(source, empty, 0, 25, 1);
  rotate.Rotate(source, dest, 40, -3, 2);
  EXPECT_EQ(dest.Image(), untouched.Image());
}
