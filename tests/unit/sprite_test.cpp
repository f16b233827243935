#include "display/sprite.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "platform/errors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes EncodeRows(const TSprite& sprite, std::uint16_t width, std::uint16_t height,
                 const Bytes& source, std::uint16_t stride) {
  Bytes out;
  const std::size_t length = sprite.Encode(width, height, out, source, stride);
  EXPECT_EQ(length, out.size());
  return out;
}

TColor At(const TBitmap& b, int x, int y) { return b.Pixel(x, y); }

// A palette whose entry i is (i, 2i, 3i) modulo 256, easy to recognise.
void SetCountingPalette(TSprite& sprite) {
  for (int i = 0; i < 256; ++i)
    sprite.Palette()[i] = {std::uint8_t(i), std::uint8_t(2 * i), std::uint8_t(3 * i), 0};
}
TColor Counting(int i) { return RGBColor(i, 2 * i, 3 * i); }

}  // namespace

TEST(SpriteEncode, RowsFollowTheBlockLayoutByteForByte) {
  const TSprite sprite(true, 0);

  // A row of nothing but the key: length 8 and one transparent run of the width.
  EXPECT_EQ(EncodeRows(sprite, 5, 1, Bytes(5, 0), 5), (Bytes{8, 0, 0, 0, 5, 0, 1, 0}));

  // key, key, 7, key: 17 bytes.
  EXPECT_EQ(EncodeRows(sprite, 4, 1, Bytes{0, 0, 7, 0}, 4),
            (Bytes{17, 0, 0, 0, 2, 0, 1, 0, 1, 0, 2, 0, 7, 1, 0, 1, 0}));

  // Two rows of three with a stride of five: the padding bytes are never read.
  const Bytes source{9, 186, 0, 0xAA, 0xAA, 0, 0, 0, 0xAA, 0xAA};
  EXPECT_EQ(EncodeRows(sprite, 3, 2, source, 5),
            (Bytes{14, 0, 0, 0, 2, 0, 2, 0, 9, 186, 1, 0, 1, 0,  //
                   8,  0, 0, 0, 3, 0, 1, 0}));

  // Another key: 0 is then an ordinary opaque value.
  const TSprite keyed(false, 5);
  EXPECT_EQ(EncodeRows(keyed, 3, 1, Bytes{5, 0, 5}, 3),
            (Bytes{17, 0, 0, 0, 1, 0, 1, 0, 1, 0, 2, 0, 0, 1, 0, 1, 0}));

  // A wide all-opaque row: the 16-bit count and length are little-endian.
  const Bytes wide = EncodeRows(sprite, 300, 1, Bytes(300, 1), 300);
  ASSERT_EQ(wide.size(), 308u);
  EXPECT_EQ(wide[0], 308 & 0xFF);
  EXPECT_EQ(wide[1], 308 >> 8);
  EXPECT_EQ((Bytes(wide.begin() + 4, wide.begin() + 8)), (Bytes{300 & 0xFF, 300 >> 8, 2, 0}));
}

TEST(SpriteEncode, WorstCaseSizeIsTightAndLimitsAreEnforced) {
  const TSprite sprite(true, 0);
  // Alternating pixels starting opaque make the largest record: 5 runs, 3 data bytes.
  EXPECT_EQ(EncodeRows(sprite, 5, 1, Bytes{7, 0, 7, 0, 7}, 5).size(), 27u);
  EXPECT_EQ(TSprite::MaxEncodedSize(5, 1), 27u);
  EXPECT_EQ(TSprite::MaxEncodedSize(4, 3), 3u * (4 + 16 + 2));

  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    const std::uint16_t w = std::uint16_t(1 + rng() % 40), h = std::uint16_t(1 + rng() % 5);
    Bytes source(std::size_t(w) * h);
    for (auto& b : source) b = (rng() % 3) ? std::uint8_t(rng()) : 0;
    EXPECT_LE(EncodeRows(sprite, w, h, source, w).size(), TSprite::MaxEncodedSize(w, h));
  }

  // A record's length must fit 16 bits: 8 + 65,527 bytes is the most.
  Bytes out;
  EXPECT_EQ(sprite.Encode(65527, 1, out, Bytes(65527, 1), 65535), 65535u);
  EXPECT_THROW(sprite.Encode(65528, 1, out, Bytes(65528, 1), 65535), EError);
  EXPECT_TRUE(out.empty());
  // A source shorter than its rows claim is refused.
  EXPECT_THROW(sprite.Encode(4, 2, out, Bytes(8 + 3, 1), 8), EError);
  EXPECT_EQ(sprite.Encode(4, 2, out, Bytes(8 + 4, 1), 8), 24u);  // 2 x (4 + 4 + 4)
}

TEST(SpriteDraw, AdditiveBytesAreSignedAndClamped) {
  const TSprite sprite(true, 0);
  TBitmap target(4, 2);
  target.SetPixel(0, 0, RGBColor(30, 30, 30));
  target.SetPixel(1, 0, RGBColor(230, 10, 100));
  target.SetPixel(2, 0, RGBColor(1, 2, 3));
  const Bytes block = EncodeRows(sprite, 3, 1, Bytes{186, 50, 0}, 3);
  sprite.DrawRuns(block, target, nullptr, 0, 0, 3, 1);
  EXPECT_EQ(At(target, 0, 0), RGBColor(0, 0, 0));
  EXPECT_EQ(At(target, 1, 0), RGBColor(255, 60, 150));
  EXPECT_EQ(At(target, 2, 0), RGBColor(1, 2, 3));
}

TEST(SpriteDraw, PaletteModeUsesEntriesZeroTo254OfTheTexture) {
  TBitmap texture(2, 2, TPixelFormat::Indexed8);
  texture.SetPaletteEntry(7, RGBColor(10, 20, 30));
  texture.SetPaletteEntry(254, RGBColor(40, 50, 60));
  texture.SetPaletteEntry(255, RGBColor(255, 255, 255));
  TSprite sprite(false, 0);
  sprite.LoadPalette(texture);
  EXPECT_EQ(sprite.Palette()[7], (TPaletteEntry{10, 20, 30, 0}));
  EXPECT_EQ(sprite.Palette()[255], TPaletteEntry{});

  TBitmap target(4, 2);
  target.Fill(RGBColor(99, 99, 99));
  const Bytes block = EncodeRows(sprite, 3, 1, Bytes{7, 254, 255}, 3);
  sprite.DrawRuns(block, target, nullptr, 0, 0, 3, 1);
  EXPECT_EQ(At(target, 0, 0), RGBColor(10, 20, 30));
  EXPECT_EQ(At(target, 1, 0), RGBColor(40, 50, 60));
  EXPECT_EQ(At(target, 2, 0), RGBColor(0, 0, 0));  // 255 was never loaded

  // Entry 255 set some other way is kept by a later load.
  sprite.Palette()[255] = {1, 2, 3, 0};
  sprite.LoadPalette(texture);
  EXPECT_EQ(sprite.Palette()[255], (TPaletteEntry{1, 2, 3, 0}));

  EXPECT_THROW(sprite.LoadPalette(TBitmap(2, 2)), EError);
  TBitmap mono(8, 1, TPixelFormat::Mono);
  EXPECT_THROW(sprite.DrawRuns(block, mono, nullptr, 0, 0, 3, 1), EError);
}

TEST(SpriteDraw, ClippingStartsPartWayIntoRuns) {
  TSprite sprite(false, 0);
  SetCountingPalette(sprite);
  // row 0: 1 2 3 0 4   runs O3 T1 O1
  // row 1: 0 0 5 6 0   runs T2 O2 T1
  // row 2: 7 0 8 0 9   runs O1 T1 O1 T1 O1
  const Bytes block =
      EncodeRows(sprite, 5, 3, Bytes{1, 2, 3, 0, 4, 0, 0, 5, 6, 0, 7, 0, 8, 0, 9}, 5);
  const TColor ground = RGBColor(200, 201, 202);

  // Placed at (3, 2), clipped to x 4..6 and y 2..8: one column is skipped
  // (inside an opaque run on row 0, a transparent run on row 1) and the
  // right edge cuts the last column.
  {
    TBitmap target(12, 12);
    target.Fill(ground);
    const TRect clip{4, 2, 7, 9};
    sprite.DrawRuns(block, target, &clip, 3, 2, 5, 3);
    TBitmap expected(12, 12);
    expected.Fill(ground);
    expected.SetPixel(4, 2, Counting(2));
    expected.SetPixel(5, 2, Counting(3));
    expected.SetPixel(5, 3, Counting(5));
    expected.SetPixel(6, 3, Counting(6));
    expected.SetPixel(5, 4, Counting(8));
    EXPECT_EQ(target.Image(), expected.Image());
  }
  // Placed partly above and left of the bitmap: the first row and the first
  // two columns are skipped.
  {
    TBitmap target(12, 12);
    target.Fill(ground);
    sprite.DrawRuns(block, target, nullptr, -2, -1, 5, 3);
    TBitmap expected(12, 12);
    expected.Fill(ground);
    expected.SetPixel(0, 0, Counting(5));
    expected.SetPixel(1, 0, Counting(6));
    expected.SetPixel(0, 1, Counting(8));
    expected.SetPixel(2, 1, Counting(9));
    EXPECT_EQ(target.Image(), expected.Image());
  }
}

TEST(SpriteDraw, LastColumnAndRowAreNeverDrawnWithoutAClip) {
  const TSprite sprite(true, 0);
  const Bytes block = EncodeRows(sprite, 3, 3, Bytes(9, 50), 3);
  TBitmap expected(3, 3);
  expected.Fill(RGBColor(100, 100, 100));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) expected.SetPixel(x, y, RGBColor(150, 150, 150));
  const TRect wide{-5, -5, 50, 50};
  for (const TRect* clip : {static_cast<const TRect*>(nullptr), &wide}) {
    TBitmap target(3, 3);
    target.Fill(RGBColor(100, 100, 100));
    sprite.DrawRuns(block, target, clip, 0, 0, 3, 3);
    EXPECT_EQ(target.Image(), expected.Image());
  }
}

// Draws every pixel the straightforward way, for comparison.
void ReferenceDraw(const TSprite& sprite, const Bytes& source, int sw, int sh, TBitmap& target,
                   const TRect* clip, int x, int y, int w, int h) {
  const int left = std::max(0, clip ? clip->Left : 0);
  const int top = std::max(0, clip ? clip->Top : 0);
  const int right = std::min(target.Width() - 1, clip ? clip->Right : target.Width());
  const int bottom = std::min(target.Height() - 1, clip ? clip->Bottom : target.Height());
  for (int py = std::max(top, y); py < std::min({bottom, y + h, y + sh}); ++py)
    for (int px = std::max(left, x); px < std::min({right, x + w, x + sw}); ++px) {
      const std::uint8_t d = source[std::size_t((py - y) * sw + (px - x))];
      if (d == sprite.KeyValue()) continue;
      const TColor c = target.Pixel(px, py);
      if (sprite.Additive()) {
        auto add = [&](int v) { return std::clamp(v + int(std::int8_t(d)), 0, 255); };
        target.SetPixel(px, py, RGBColor(add(RedOf(c)), add(GreenOf(c)), add(BlueOf(c))));
      } else {
        const TPaletteEntry& e = sprite.Palette()[d];
        target.SetPixel(px, py, RGBColor(e.Red, e.Green, e.Blue));
      }
    }
}

TEST(SpriteDraw, MatchesPixelByPixelDrawingForAnyPlacement) {
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    TSprite sprite(rng() % 2 == 0, std::uint8_t(rng() % 3));
    SetCountingPalette(sprite);
    const int sw = 1 + int(rng() % 12), sh = 1 + int(rng() % 8);
    Bytes source(std::size_t(sw * sh));
    for (auto& b : source) b = (rng() % 2) ? std::uint8_t(rng()) : sprite.KeyValue();
    const Bytes block =
        EncodeRows(sprite, std::uint16_t(sw), std::uint16_t(sh), source, std::uint16_t(sw));
    TBitmap target(10, 9), expected(10, 9);
    for (int py = 0; py < 9; ++py)
      for (int px = 0; px < 10; ++px) target.SetPixel(px, py, RGBColor(px * 20, py * 25, 128));
    expected.Image() = target.Image().copy();
    const TRect clip{int(rng() % 14) - 2, int(rng() % 13) - 2, int(rng() % 14), int(rng() % 13)};
    const TRect* clipArg = rng() % 3 ? &clip : nullptr;
    const int x = int(rng() % 16) - 5, y = int(rng() % 14) - 5;
    // The drawn size may be smaller than the block, never larger.
    const int w = 1 + int(rng() % sw), h = 1 + int(rng() % sh);
    sprite.DrawRuns(block, target, clipArg, x, y, w, h);
    ReferenceDraw(sprite, source, sw, sh, expected, clipArg, x, y, w, h);
    ASSERT_EQ(target.Image(), expected.Image()) << "round " << round;
  }
}

// An exact-size heap copy of a block, so that a read past its end is caught.
std::unique_ptr<std::uint8_t[]> ExactCopy(const Bytes& block) {
  auto exact = std::make_unique<std::uint8_t[]>(block.size());
  std::copy(block.begin(), block.end(), exact.get());
  return exact;
}

TEST(SpriteDraw, HostileBlocksAndArgumentsStayInsideBuffers) {
  const TSprite sprite(true, 0);

  // A run that claims more data than its row holds ends that row only.
  const Bytes lying{11, 0, 0, 0, 200, 0, 2, 0, 5,  5,  5,  //
                    11, 0, 0, 0, 3,   0, 2, 0, 50, 50, 50};
  {
    const auto exact = ExactCopy(lying);
    TBitmap target(300, 3);
    sprite.DrawRuns({exact.get(), lying.size()}, target, nullptr, 0, 0, 200, 2);
    TBitmap expected(300, 3);
    for (int x = 0; x < 3; ++x) expected.SetPixel(x, 1, RGBColor(50, 50, 50));
    EXPECT_EQ(target.Image(), expected.Image());
  }

  const Bytes good = EncodeRows(sprite, 30, 4, Bytes(120, 5), 30);
  std::mt19937 rng(3);
  for (int round = 0; round < 3000; ++round) {
    Bytes damaged = good;
    damaged.resize(rng() % (good.size() + 1));
    for (int k = int(rng() % 4); k > 0 && !damaged.empty(); --k)
      damaged[rng() % damaged.size()] = std::uint8_t(rng());
    const auto exact = ExactCopy(damaged);
    TBitmap target(40, 6);
    const int w = int(rng() % 3000) - 100, h = int(rng() % 300) - 10;
    sprite.DrawRuns({exact.get(), damaged.size()}, target, nullptr, int(rng() % 9) - 4,
                    int(rng() % 9) - 4, w, h);
  }
  // Extreme placements and sizes draw nothing and do not overflow.
  TBitmap target(5, 5);
  const TRect clip{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  sprite.DrawRuns(good, target, &clip, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  sprite.DrawRuns(good, target, &clip, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX);
  EXPECT_EQ(target.Image(), TBitmap(5, 5).Image());
  // An empty target and an empty block are fine too.
  TBitmap empty;
  sprite.DrawRuns(good, empty, nullptr, 0, 0, 6, 4);
  sprite.DrawRuns({}, target, nullptr, 0, 0, 6, 4);
}
