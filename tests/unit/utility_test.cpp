#include "platform/utility.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/colors.h"
#include "platform/system.h"

namespace {

struct TKeyed {
  int Key;
  char Tag;
  friend bool operator==(const TKeyed&, const TKeyed&) = default;
};

std::vector<TKeyed> Tagged(std::initializer_list<int> keys) {
  std::vector<TKeyed> items;
  for (int key : keys) items.push_back({key, char('a' + items.size())});
  return items;
}

std::string Order(const std::vector<TKeyed>& items) {
  std::string s;
  for (const TKeyed& k : items) s += std::to_string(k.Key) + k.Tag;
  return s;
}

int ByKey(const TKeyed& a, const TKeyed& b) { return a.Key - b.Key; }

class TRecordingStatusLine : public TStatusLine {
 public:
  TRecordingStatusLine() { SetStatusLine(this); }
  ~TRecordingStatusLine() override { SetStatusLine(nullptr); }
  void SetStatusText(const QString& text) override { Texts.push_back(text); }
  QStringList Texts;
};

// Restores the screen depth and the colour table after a drawing test.
class UtilityDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSystemColors();
    SetScreenDepthSource([] { return 24; });
  }
  void TearDown() override {
    SetScreenDepthSource({});
    ResetSystemColors();
  }
};

// Paints the inclusive box (x0, y0)-(x1, y1).
void Box(TBitmap& b, int x0, int y0, int x1, int y1, TColor color) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) b.SetPixel(x, y, color);
}

void ExpectSamePixels(const TBitmap& actual, const TBitmap& expected) {
  int mismatches = 0;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x)
      if (actual.Pixel(x, y) != expected.Pixel(x, y) && ++mismatches <= 10)
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << actual.Pixel(x, y)
                      << " instead of " << expected.Pixel(x, y);
  EXPECT_EQ(mismatches, 0);
}

constexpr TColor Face = 0xC0C0C0, Shadow = 0x808080, Light = 0xFFFFFF, Dark = 0x000000;

}  // namespace

TEST(Utility, RoundUpAndTextBefore) {
  static_assert(RoundUp4(0) == 0 && RoundUp4(1) == 4 && RoundUp8(9) == 16 && RoundUp16(16) == 16);
  static_assert(RoundUp4(65535) == 65536 && RoundUp16(17) == 32);
  EXPECT_EQ(TextBefore(".", "2.31.7"), "2");
  EXPECT_EQ(TextBefore(".", "231"), "231");
  EXPECT_EQ(TextBefore(".", ".5"), "");
  EXPECT_EQ(TextBefore("--", "a-b--c"), "a-b");
  EXPECT_EQ(TextBefore("", "abc"), "abc");
}

TEST(Utility, SortItemsFollowsTheQuicksortExactly) {
  // One element: nothing to compare.
  int calls = 0;
  std::vector<TKeyed> one = Tagged({4});
  SortItems(std::span(one), [&](const TKeyed&, const TKeyed&) { return ++calls; });
  EXPECT_EQ(calls, 0);

  // Two equal elements: the first pass swaps the pivot with the other one.
  std::vector<TKeyed> two = Tagged({1, 1});
  SortItems(std::span(two), ByKey);
  EXPECT_EQ(Order(two), "1b1a");

  // Traced by hand through the partitions:
  // 3a 1b 3c 2d 1e 2f  pivot 3c: swap 0-5, swap 2-4 (pivot to 4) -> 2f 1b 1e 2d 3c 3a
  //   sort 0..3, pivot 1b: swap 0-2 -> 1e 1b 2f 2d; sort 0..1 swaps -> 1b 1e;
  //   then 1..3 pivot 2f: swap 2-3 -> 1b 1e 2d 2f
  // then 3..5 pivot 3c: swap 4-5 -> 1b 1e 2d 2f 3a 3c
  std::vector<TKeyed> six = Tagged({3, 1, 3, 2, 1, 2});
  SortItems(std::span(six), ByKey);
  EXPECT_EQ(Order(six), "1b1e2d2f3a3c");
  // 2a 1b 2c 1d 2e  pivot 2c: swap 0-4, swap 2-3 -> 2e 1b 1d 2c 2a
  //   sort 0..2 pivot 1b: swap 0-2 -> 1d 1b 2e; 0..1 swaps -> 1b 1d 2e
  // then 3..4 pivot 2c: swap -> 1b 1d 2e 2a 2c (not stable)
  std::vector<TKeyed> five = Tagged({2, 1, 2, 1, 2});
  SortItems(std::span(five), ByKey);
  EXPECT_EQ(Order(five), "1b1d2e2a2c");

  // Any input ends sorted and keeps its elements.
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    std::vector<int> values(1 + rng() % 120);
    const int range = 1 + int(rng() % 1000);
    for (int& v : values) v = int(rng() % unsigned(range)) - range / 2;
    std::vector<int> sorted = values;
    SortItems(std::span(sorted), [](int a, int b) { return a < b ? -1 : a > b ? 1 : 0; });
    ASSERT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
    ASSERT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), values.begin()));
  }
}

TEST(Utility, DitherCarriesTheRoundingErrorPerChannel) {
  EXPECT_EQ(Dither(RGBColor(77, 77, 77), true), 0u);
  EXPECT_EQ(Dither(RGBColor(4, 4, 4), false), RGBColor(8, 8, 8));  // carries -4
  EXPECT_EQ(Dither(RGBColor(4, 4, 4), false), RGBColor(0, 0, 0));  // carries 0
  EXPECT_EQ(Dither(RGBColor(4, 4, 4), false), RGBColor(8, 8, 8));

  // Red: 251 -> 248 (+3); 253+3 -> 255 (+1); 0+1 -> 0 (+1); 3+1 -> 8 (-4);
  // 0-4 -> 0 (-4). Green alternates; blue stays 0.
  Dither(0, true);
  const int red[] = {251, 253, 0, 3, 0}, redOut[] = {248, 255, 0, 8, 0};
  const int greenOut[] = {8, 0, 8, 0, 8};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(Dither(RGBColor(red[i], 4, 0), false), RGBColor(redOut[i], greenOut[i], 0)) << i;
  Dither(0, true);
}

TEST(Utility, ShowProgressShowsEachNewMultipleOfFiveOnce) {
  TRecordingStatusLine status;
  ShowProgress(3, 100, "Warming: ");  // whatever came before, 3% shows nothing
  ShowProgress(0, 10, "Generating: ");
  ShowProgress(0, 10, "Generating: ");
  ShowProgress(1, 10, "Generating: ");
  ShowProgress(23, 200, "Generating: ");  // 11
  ShowProgress(30, 200, "Generating: ");  // 15
  ShowProgress(31, 200, "Generating: ");  // 15 again
  ShowProgress(1, 3, "Generating: ");     // 33
  ShowProgress(30000000, 30000000, "Generating: ");
  ShowProgress(0, 0, "Generating: ");  // no total: ignored
  ClearStatus();
  ShowProgress(0, 7, "Drawing: ");
  EXPECT_EQ(status.Texts, (QStringList{"Generating: 0%", "Generating: 10%", "Generating: 15%",
                                       "Generating: 100%", "", "Drawing: 0%"}));
}

TEST_F(UtilityDrawing, TrayFrameIsPaintedInLayers) {
  // Tray at (3, 4), 30 x 50, bevel 2, border 4, caption 16: ten gradient lines.
  const TColor ground = 0x123456, color = RGBColor(200, 100, 60);
  TBitmap target(40, 60);
  target.Fill(ground);
  TCanvas canvas(target);
  DrawTrayFrame(canvas, 3, 4, 30, 50, 2, 4, 16, color, true);

  TBitmap e(40, 60);
  e.Fill(ground);
  Box(e, 3, 4, 32, 53, color);  // the whole tray
  // The button-face border, 8 pixels inside the edges.
  Box(e, 3, 4, 10, 53, Face);
  Box(e, 25, 4, 32, 53, Face);
  Box(e, 3, 4, 32, 11, Face);
  Box(e, 3, 46, 32, 53, Face);
  // Lines at y = 32 + k from x 13 to 22 with the 8-pixel pen: each covers
  // x 9..25 and y 28 + k..35 + k, so row r shows line min(r - 28, 9), whose
  // brightness is (50 - k div 2) / 50 of the colour.
  Box(e, 9, 28, 25, 29, RGBColor(200, 100, 60));
  Box(e, 9, 30, 25, 31, RGBColor(196, 98, 58));
  Box(e, 9, 32, 25, 33, RGBColor(192, 96, 57));
  Box(e, 9, 34, 25, 35, RGBColor(188, 94, 56));
  Box(e, 9, 36, 25, 44, RGBColor(184, 92, 55));
  Box(e, 5, 6, 30, 25, Face);  // caption strip
  // Two-pixel edges: a point's square reaches one pixel up and left.
  Box(e, 3, 4, 4, 53, Light);     // outer left
  Box(e, 3, 4, 31, 5, Light);     // outer top
  Box(e, 9, 46, 25, 47, Light);   // inner bottom
  Box(e, 25, 27, 26, 47, Light);  // inner right
  Box(e, 5, 52, 31, 53, Shadow);  // outer bottom
  Box(e, 31, 7, 32, 53, Shadow);  // outer right
  Box(e, 9, 26, 10, 45, Shadow);  // inner left
  Box(e, 9, 26, 25, 27, Shadow);  // inner top
  ExpectSamePixels(target, e);
}

TEST_F(UtilityDrawing, TrayFrameGradientNeedsMoreThan40PixelsAndDithersBelow24Bits) {
  const TColor color = RGBColor(200, 100, 60);
  auto draw = [&](int height, bool gradient) {
    TBitmap target(40, 60);
    TCanvas canvas(target);
    DrawTrayFrame(canvas, 3, 4, 30, height, 2, 4, 16, color, gradient);
    return target;
  };
  ExpectSamePixels(draw(40, true), draw(40, false));

  // At 16 bits the line colours go through Dither, reset first: row 28 shows
  // line 0 (200, 100, 60) -> (200, 104, 64), row 29 line 1 with the carried
  // errors -> (200, 96, 56).
  SetScreenDepthSource([] { return 16; });
  Dither(RGBColor(0, 7, 0), false);  // leaves an error the reset must clear
  const TBitmap dithered = draw(50, true);
  EXPECT_EQ(dithered.Pixel(15, 28), RGBColor(200, 104, 64));
  EXPECT_EQ(dithered.Pixel(15, 29), RGBColor(200, 96, 56));
  SetScreenDepthSource([] { return 24; });
  EXPECT_EQ(draw(50, true).Pixel(15, 28), color);
}

TEST_F(UtilityDrawing, MinimizeButtonRaisedAndPressed) {
  const TColor ground = 0x123456;
  for (bool pressed : {false, true}) {
    TBitmap target(20, 22);
    target.Fill(ground);
    TCanvas canvas(target);
    DrawMinimizeButton(canvas, 2, 3, 16, 16, pressed);

    TBitmap e(20, 22);
    e.Fill(ground);
    Box(e, 2, 3, 16, 17, Face);
    const TColor outer = pressed ? Light : Dark, inner = pressed ? Dark : Light;
    const TColor shade = pressed ? Light : Shadow;
    Box(e, 2, 18, 16, 18, outer);  // bottom, up to but not including the corner
    Box(e, 17, 4, 17, 18, outer);  // right, from the corner up to y + 1
    Box(e, 2, 4, 2, 17, inner);    // left
    Box(e, 2, 4, 16, 4, inner);    // top, one row below the button's top
    Box(e, 3, 17, 15, 17, shade);
    Box(e, 16, 5, 16, 17, shade);
    // The bar from (x + 5, y + 11) to (x + 11, y + 11) with a 2-pixel pen.
    Box(e, 6, 13, 12, 14, Dark);
    SCOPED_TRACE(pressed ? "pressed" : "raised");
    ExpectSamePixels(target, e);
  }
}
