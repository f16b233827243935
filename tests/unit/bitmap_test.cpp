#include <random>
#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/colors.h"

namespace {

TBitmap Bgr(int w, int h, TColor fill) {
  TBitmap b(w, h, TPixelFormat::Bgr24);
  b.Fill(fill);
  return b;
}

}  // namespace

TEST(Bitmap, StoresBlueGreenRedBytesAndMonoOneIsWhite) {
  TBitmap b(2, 1, TPixelFormat::Bgr24);
  b.SetPixel(1, 0, RGBColor(0x11, 0x22, 0x33));
  const std::uint8_t* row = b.ScanLine(0);
  EXPECT_EQ(row[3], 0x33);
  EXPECT_EQ(row[4], 0x22);
  EXPECT_EQ(row[5], 0x11);
  EXPECT_EQ(b.Pixel(1, 0), RGBColor(0x11, 0x22, 0x33));

  TBitmap m(10, 1, TPixelFormat::Mono);
  m.SetPixel(0, 0, clWhite);
  m.SetPixel(9, 0, clWhite);
  EXPECT_EQ(m.ScanLine(0)[0], 0x80);  // leftmost pixel is the top bit
  EXPECT_EQ(m.ScanLine(0)[1], 0x40);
  EXPECT_EQ(m.Pixel(0, 0), clWhite);
  EXPECT_EQ(m.Pixel(1, 0), clBlack);
}

TEST(Bitmap, RasterOperationsOnColourBitmaps) {
  TBitmap dst = Bgr(2, 1, RGBColor(0xF0, 0x0F, 0x55));
  const TBitmap src = Bgr(2, 1, RGBColor(0x3C, 0xFF, 0x0F));

  TBitmap a = dst;
  BitBlt(a, 0, 0, 2, 1, src, 0, 0, TRasterOp::SrcAnd);
  EXPECT_EQ(a.Pixel(0, 0), RGBColor(0x30, 0x0F, 0x05));

  TBitmap o = dst;
  BitBlt(o, 0, 0, 2, 1, src, 0, 0, TRasterOp::SrcPaint);
  EXPECT_EQ(o.Pixel(1, 0), RGBColor(0xFC, 0xFF, 0x5F));

  TBitmap c = dst;
  BitBlt(c, 1, 0, 1, 1, src, 0, 0, TRasterOp::SrcCopy);
  EXPECT_EQ(c.Pixel(0, 0), RGBColor(0xF0, 0x0F, 0x55));
  EXPECT_EQ(c.Pixel(1, 0), RGBColor(0x3C, 0xFF, 0x0F));

  TBitmap i = dst;
  InvertRect(i, {0, 0, 1, 1});
  EXPECT_EQ(i.Pixel(0, 0), RGBColor(0x0F, 0xF0, 0xAA));
  EXPECT_EQ(i.Pixel(1, 0), RGBColor(0xF0, 0x0F, 0x55));
}

TEST(Bitmap, MaskAndImagePairDrawsAShapedPiece) {
  // The classic transparent draw: AND with a mask whose shape is black, then
  // OR an image that is black outside the shape.
  TBitmap board = Bgr(3, 1, RGBColor(10, 20, 30));
  TBitmap mask(3, 1, TPixelFormat::Mono);
  mask.Fill(clWhite);
  mask.SetPixel(1, 0, clBlack);
  TBitmap image(3, 1, TPixelFormat::Bgr24);
  image.SetPixel(1, 0, RGBColor(200, 100, 50));

  BitBlt(board, 0, 0, 3, 1, mask, 0, 0, TRasterOp::SrcAnd);
  EXPECT_EQ(board.Pixel(0, 0), RGBColor(10, 20, 30));
  EXPECT_EQ(board.Pixel(1, 0), clBlack);
  BitBlt(board, 0, 0, 3, 1, image, 0, 0, TRasterOp::SrcPaint);
  EXPECT_EQ(board.Pixel(1, 0), RGBColor(200, 100, 50));
  EXPECT_EQ(board.Pixel(2, 0), RGBColor(10, 20, 30));
}

TEST(Bitmap, ColourSourceOnMonoTargetIsWhiteWhereTheSourceIsWhite) {
  TBitmap src(3, 1, TPixelFormat::Bgr24);
  src.SetPixel(0, 0, clWhite);
  src.SetPixel(1, 0, RGBColor(254, 255, 255));
  TBitmap mono(3, 1, TPixelFormat::Mono);
  BitBlt(mono, 0, 0, 3, 1, src, 0, 0, TRasterOp::SrcCopy);
  EXPECT_EQ(mono.Pixel(0, 0), clWhite);
  EXPECT_EQ(mono.Pixel(1, 0), clBlack);
  EXPECT_EQ(mono.Pixel(2, 0), clBlack);

  // Mono onto mono: plain bit operations.
  TBitmap other(3, 1, TPixelFormat::Mono);
  other.Fill(clWhite);
  BitBlt(other, 0, 0, 3, 1, mono, 0, 0, TRasterOp::SrcAnd);
  EXPECT_EQ(other.Pixel(0, 0), clWhite);
  EXPECT_EQ(other.Pixel(1, 0), clBlack);
}

TEST(Bitmap, BlocksAreClippedToBothBitmaps) {
  TBitmap dst = Bgr(4, 4, clBlack);
  const TBitmap src = Bgr(3, 3, clWhite);
  // Hanging over the left and top of the target: only the overlap is copied.
  BitBlt(dst, -2, -2, 3, 3, src, 0, 0, TRasterOp::SrcCopy);
  EXPECT_EQ(dst.Pixel(0, 0), clWhite);
  EXPECT_EQ(dst.Pixel(1, 0), clBlack);
  EXPECT_EQ(dst.Pixel(0, 1), clBlack);
  // Asking for more than the source has, and far outside: nothing breaks.
  BitBlt(dst, 2, 2, 100, 100, src, 1, 1, TRasterOp::SrcCopy);
  EXPECT_EQ(dst.Pixel(3, 3), clWhite);
  BitBlt(dst, 1000, -1000, 5, 5, src, -50, 70, TRasterOp::SrcPaint);
  BitBlt(dst, 0, 0, 4, 4, src, -1, -1, TRasterOp::SrcCopy);
  EXPECT_EQ(dst.Pixel(0, 0), clWhite);  // left untouched: source starts at (-1, -1)
  EXPECT_EQ(dst.Pixel(1, 1), clWhite);
  // An explicit clip rectangle limits the target further.
  TBitmap clipped = Bgr(4, 4, clBlack);
  const TRect clip{1, 1, 2, 2};
  BitBlt(clipped, 0, 0, 3, 3, src, 0, 0, TRasterOp::SrcCopy, &clip);
  EXPECT_EQ(clipped.Pixel(0, 0), clBlack);
  EXPECT_EQ(clipped.Pixel(1, 1), clWhite);
  EXPECT_EQ(clipped.Pixel(2, 2), clBlack);
}

TEST(Bitmap, CopyWithinOneBitmapMovesPixelsDownIntact) {
  TBitmap b(1, 4, TPixelFormat::Bgr24);
  for (int y = 0; y < 4; ++y) b.SetPixel(0, y, RGBColor(y, y, y));
  BitBlt(b, 0, 1, 1, 3, b, 0, 0, TRasterOp::SrcCopy);
  EXPECT_EQ(b.Pixel(0, 1), RGBColor(0, 0, 0));
  EXPECT_EQ(b.Pixel(0, 2), RGBColor(1, 1, 1));
  EXPECT_EQ(b.Pixel(0, 3), RGBColor(2, 2, 2));
}

TEST(Bitmap, ResizeKeepsTheTopLeftAndPalette) {
  TBitmap m(12, 2, TPixelFormat::Mono);
  m.SetPixel(9, 1, clWhite);
  m.SetSize(20, 3);
  EXPECT_EQ(m.Width(), 20);
  EXPECT_EQ(m.Pixel(9, 1), clWhite);
  EXPECT_EQ(m.Pixel(15, 2), clBlack);

  TBitmap p(2, 2, TPixelFormat::Indexed8);
  p.SetPaletteEntry(3, RGBColor(1, 2, 3));
  p.SetPixel(1, 1, 3);
  p.SetSize(1, 5);
  EXPECT_EQ(p.Pixel(0, 0), clBlack);
  EXPECT_EQ(p.PaletteEntry(3), RGBColor(1, 2, 3));
  p.SetPixel(0, 4, 3);
  EXPECT_EQ(p.Pixel(0, 4), RGBColor(1, 2, 3));

  // A palettised source seen through its palette on a colour target.
  TBitmap target(1, 5, TPixelFormat::Bgr24);
  BitBlt(target, 0, 0, 1, 5, p, 0, 0, TRasterOp::SrcCopy);
  EXPECT_EQ(target.Pixel(0, 4), RGBColor(1, 2, 3));
}

TEST(Rect, TouchingRectanglesDoNotIntersect) {
  const TRect a{0, 0, 10, 10};
  EXPECT_FALSE(a.Intersects({10, 0, 20, 10}));
  EXPECT_TRUE(a.Intersects({9, 9, 20, 20}));
  EXPECT_FALSE(a.Intersects({5, 5, 5, 8}));  // empty
  EXPECT_EQ(a.Union({}), a);
  EXPECT_EQ(a.Union({20, 20, 30, 25}), (TRect{0, 0, 30, 25}));
  EXPECT_TRUE(a.Contains({9, 9}));
  EXPECT_FALSE(a.Contains({10, 9}));
}

TEST(Bitmap, MaskBytesAreAppliedAtAnyBitOffset) {
  // 19 mask pixels, started at source bit 3, against a one-pixel reference.
  TBitmap mask(24, 1, TPixelFormat::Mono);
  for (int x = 0; x < 24; ++x) mask.SetPixel(x, 0, (x * 7 + 3) % 5 < 2 ? clWhite : clBlack);
  for (TRasterOp op : {TRasterOp::SrcAnd, TRasterOp::SrcPaint}) {
    TBitmap board(21, 1, TPixelFormat::Bgr24);
    for (int x = 0; x < 21; ++x) board.SetPixel(x, 0, RGBColor(x * 10, 99, 200 - x));
    const TBitmap before = board;
    BitBlt(board, 1, 0, 19, 1, mask, 3, 0, op);
    for (int x = 0; x < 21; ++x) {
      TColor expected = before.Pixel(x, 0);
      if (x >= 1 && x < 20) {
        const bool white = mask.Pixel(x + 2, 0) == clWhite;
        if (op == TRasterOp::SrcAnd && !white) expected = clBlack;
        if (op == TRasterOp::SrcPaint && white) expected = clWhite;
      }
      EXPECT_EQ(board.Pixel(x, 0), expected) << x;
    }
  }
}

TEST(Bitmap, EmptyMasksGetTheirColoursWhenSized) {
  TBitmap mask(0, 0, TPixelFormat::Mono);
  mask.SetSize(9, 2);
  mask.SetPixel(8, 1, clWhite);
  EXPECT_EQ(mask.Pixel(8, 1), clWhite);
  EXPECT_EQ(mask.Pixel(7, 1), clBlack);
}

TEST(BitBlt, MonoOntoMonoMatchesThePixelRule) {
  // Every alignment of source and destination within a byte, every width up
  // to a few bytes, every operation, clipped at both ends.
  std::mt19937 random(7);
  TBitmap source(61, 3, TPixelFormat::Mono), start(67, 3, TPixelFormat::Mono);
  for (TBitmap* b : {&source, &start})
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x) b->SetPixel(x, y, random() % 2 ? clWhite : clBlack);
  for (TRasterOp op : {TRasterOp::SrcCopy, TRasterOp::SrcAnd, TRasterOp::SrcPaint, TRasterOp::DstInvert})
    for (int dx = -3; dx < 12; ++dx)
      for (int sx = 0; sx < 10; ++sx)
        for (int w = 1; w < 40; w += 3) {
          TBitmap target = start;
          target.Image().detach();
          BitBlt(target, dx, 1, w, 2, source, sx, 0, op);
          for (int y = 0; y < target.Height(); ++y)
            for (int x = 0; x < target.Width(); ++x) {
              bool expected = start.Pixel(x, y) == clWhite;
              const int from = sx + x - dx;
              if (y >= 1 && x >= dx && x < dx + w && from < source.Width()) {
                const bool s = source.Pixel(from, y - 1) == clWhite;
                expected = op == TRasterOp::SrcCopy  ? s
                           : op == TRasterOp::SrcAnd ? expected && s
                           : op == TRasterOp::SrcPaint ? expected || s
                                                       : !expected;
              }
              ASSERT_EQ(target.Pixel(x, y) == clWhite, expected)
                  << "op " << int(op) << " dx " << dx << " sx " << sx << " w " << w << " at " << x << "," << y;
            }
        }
}
