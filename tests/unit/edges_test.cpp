// Edge shapes, the random tab sizes of a cell, corner jitter, the Mix lottery
// and the sample piece.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "pieces/bezier.h"
#include "pieces/edges.h"
#include "pieces/samplepiece.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/random.h"

namespace {

// A label map with width div 2 steps per curve (40 from 80 pixels on) and a
// tracer on it.
struct TEdgeMap {
  TEdgeMap(int width, int height) : Width(width), Bytes(std::size_t(width * height)), Tracer(Bezier) {
    Bezier.Init(Bytes, width, 1, height);
    Bezier.SetValue(1);
  }
  bool At(int x, int y) const { return Bytes[std::size_t(y * Width + x)] != 0; }
  void Clear() { std::fill(Bytes.begin(), Bytes.end(), std::uint8_t(0)); }
  int Width;
  std::vector<std::uint8_t> Bytes;
  TBezier Bezier;
  TEdgeTracer Tracer;
};

// A symmetric tab for horizontal edges about 60 pixels long.
TEdgeParams HorizontalTab() {
  TEdgeParams p;
  p.HNeck = 20;
  p.HDepth = 8;
  p.HShoulder1 = p.HShoulder2 = 30;
  p.HBulb1 = p.HBulb2 = 15;
  return p;
}

// Seeds the generator and takes draws from it.
void Advanced(int seed, int draws) {
  SetRandSeed(std::uint32_t(seed));
  for (int i = 0; i < draws; ++i) Random(0);
}

}  // namespace

TEST(EdgeParams, OddnessZeroGivesTheSameTabsEverywhere) {
  TBezier bezier;
  TEdgeTracer tracer(bezier);
  tracer.Style = int(TShapeStyle::Classic);
  tracer.Q = 0;
  Advanced(77, 4);
  const std::uint32_t afterFourDraws = RandSeed();

  for (int seed : {77, 1, 123456}) {
    SetRandSeed(std::uint32_t(seed));
    tracer.DrawEdgeParams(90, 60);
    // Necks a third, depths a quarter of the other side, shoulders half and
    // bulbs a quarter of their own side; nothing flipped.
    const TEdgeParams expected{30, 15, 45, 45, 22, 22, 20, 22, 30, 30, 15, 15};
    EXPECT_EQ(tracer.Params, expected) << seed;
  }
  // The four shoulder draws are taken (Random(0)), the two flips are not.
  SetRandSeed(77);
  tracer.DrawEdgeParams(90, 60);
  EXPECT_EQ(RandSeed(), afterFourDraws);
}

TEST(EdgeParams, DrawsShouldersThenFlipsInOrder) {
  // Seed 25, Classic (divisor 210), 90 x 60, oddness 5: D = 2250 div 210 =
  // 10, P = 1500 div 210 = 7. Draws Random(20) = 15, 15, Random(14) = 5, 13,
  // Random(2) = 0, 1, so r1 = r2 = 5, the vertical ones -2 and 6.
  TBezier bezier;
  TEdgeTracer tracer(bezier);
  tracer.Style = int(TShapeStyle::Classic);
  tracer.Q = 50;
  SetRandSeed(25);
  tracer.DrawEdgeParams(90, 60);
  const TEdgeParams& p = tracer.Params;
  // 50 + 50 > 90: 90 x 50 div 100 = 45, then 90 x 50 div (45 + 50) = 47.
  EXPECT_EQ(p.HShoulder1, 45);
  EXPECT_EQ(p.HShoulder2, 47);
  EXPECT_EQ(p.HBulb1, 17);
  EXPECT_EQ(p.HBulb2, 17);
  // 28 + 36 > 60: 60 x 28 div 64 = 26, then 60 x 36 div (26 + 36) = 34.
  EXPECT_EQ(p.VShoulder1, 26);
  EXPECT_EQ(p.VShoulder2, 34);
  EXPECT_EQ(p.VBulb1, 17);
  EXPECT_EQ(p.VBulb2, 9);
  // Random(2) = 0 flips the vertical depth, the second Random(2) = 1 the
  // horizontal one.
  EXPECT_EQ(p.VDepth, -22);
  EXPECT_EQ(p.HDepth, -15);
  EXPECT_EQ(p.HNeck, 30);
  EXPECT_EQ(p.VNeck, 20);
}

TEST(EdgeParams, ShouldersFitTheirEdge) {
  std::int32_t a = 50;
  std::int32_t b = 48;
  FitShoulders(90, a, b);
  EXPECT_EQ(a, 45);  // 4500 div 98
  EXPECT_EQ(b, 46);  // 4320 div 93
  a = 45;
  b = 45;
  FitShoulders(90, a, b);
  EXPECT_EQ(a, 45);
  EXPECT_EQ(b, 45);
}

TEST(EdgeParams, RoundShrinksTwoInwardBubbles) {
  // Find seeds whose flips (the fifth and sixth draws) make both depths
  // negative, or only the vertical one.
  auto flips = [](int seed) {
    Advanced(seed, 4);
    const bool vertical = Random(2) == 0;
    const bool horizontal = Random(2) != 0;
    return std::pair{vertical, horizontal};
  };
  int both = -1;
  int verticalOnly = -1;
  for (int seed = 1; both < 0 || verticalOnly < 0; ++seed) {
    const auto [v, h] = flips(seed);
    if (v && h && both < 0) both = seed;
    if (v && !h && verticalOnly < 0) verticalOnly = seed;
  }

  TBezier bezier;
  TEdgeTracer tracer(bezier);
  tracer.Q = 50;
  tracer.Style = int(TShapeStyle::Round);
  SetRandSeed(std::uint32_t(both));
  tracer.DrawEdgeParams(90, 60);
  EXPECT_EQ(tracer.Params.HDepth, -10);  // 2 x -15 div 3
  EXPECT_EQ(tracer.Params.VDepth, -14);  // 2 x -22 div 3, toward zero

  SetRandSeed(std::uint32_t(verticalOnly));
  tracer.DrawEdgeParams(90, 60);
  EXPECT_EQ(tracer.Params.HDepth, 15);
  EXPECT_EQ(tracer.Params.VDepth, -22);

  // Only for Round puzzles, and not in the older layout.
  tracer.Style = int(TShapeStyle::Mix);
  SetRandSeed(std::uint32_t(both));
  tracer.DrawEdgeParams(90, 60);
  EXPECT_EQ(tracer.Params.HDepth, -15);
  EXPECT_EQ(tracer.Params.VDepth, -22);
}

TEST(EdgeParams, OlderLayoutFlipsTheRowDepthOnAndOn) {
  TBezier bezier;
  TEdgeTracer tracer(bezier);
  tracer.Q = 50;
  tracer.Style = int(TShapeStyle::Round);
  tracer.Params.VNeck = 20;  // set by the row
  tracer.Params.HDepth = 15;
  SetRandSeed(99);
  int expectedDepth = 15;
  for (int cell = 0; cell < 40; ++cell) {
    // Divisor 200 whatever the style: D = 2250 div 200 = 11, P = 7.
    const std::uint32_t state = RandSeed();
    const std::uint32_t r1 = Random(22);
    Random(22);
    Random(14);
    Random(14);
    const bool verticalFlip = Random(2) == 0;
    const bool horizontalFlip = Random(4) != 0;
    SetRandSeed(state);
    tracer.DrawEdgeParams(90, 60, TCutLayout::Alternative);
    if (horizontalFlip) expectedDepth = -expectedDepth;
    EXPECT_EQ(tracer.Params.HDepth, expectedDepth);
    EXPECT_EQ(tracer.Params.VDepth, verticalFlip ? -22 : 22);
    EXPECT_EQ(tracer.Params.VNeck, 20);
    EXPECT_EQ(tracer.Params.HBulb1, 22 - (int(r1) - 11));
  }
}

TEST(EdgeTracer, CornerJitterIsCappedByStyle) {
  int seed = 0;
  while (Advanced(seed, 0), Random(16) != 15) ++seed;
  TBezier bezier;
  TEdgeTracer tracer(bezier);
  const std::array<std::pair<TShapeStyle, int>, 6> caps{{{TShapeStyle::Classic, 14},
                                                         {TShapeStyle::Blip, 14},
                                                         {TShapeStyle::Mix, 14},
                                                         {TShapeStyle::Round, 12},
                                                         {TShapeStyle::Square, 15},
                                                         {TShapeStyle::Star, 15}}};
  for (const auto& [style, expected] : caps) {
    tracer.Style = int(style);
    SetRandSeed(std::uint32_t(seed));
    EXPECT_EQ(tracer.CornerJitter(16), expected) << int(style);
  }
  SetRandSeed(3);
  EXPECT_EQ(tracer.CornerJitter(0), 0);
  EXPECT_EQ(RandSeed(), 3u * 134775813u + 1u);
}

TEST(EdgeTracer, StarsPointAlongTheDepth) {
  TEdgeMap map(80, 40);
  map.Tracer.Params.HNeck = 10;
  map.Tracer.Params.HDepth = 5;
  // (0,10) (10,10) (15,15) (20,10) (30,10).
  map.Tracer.EdgeStar(0, 10, 30, 10, HorizontalEdge);
  for (int x = 0; x <= 10; ++x) EXPECT_TRUE(map.At(x, 10));
  for (int k = 1; k <= 5; ++k) EXPECT_TRUE(map.At(10 + k, 10 + k));
  EXPECT_TRUE(map.At(17, 13));
  EXPECT_FALSE(map.At(15, 10));

  // Slanted by 6: g = 2, midpoint (15,3): (0,0) (10,2) (15,8) (20,4) (30,6).
  map.Clear();
  map.Tracer.EdgeStar(0, 0, 30, 6, HorizontalEdge);
  EXPECT_TRUE(map.At(10, 2));
  EXPECT_TRUE(map.At(15, 8));
  EXPECT_TRUE(map.At(20, 4));
  EXPECT_TRUE(map.At(30, 6));

  // Vertical tabs point to -x: (10,0) (10,10) (5,15) (10,20) (10,30).
  map.Clear();
  map.Tracer.Params.VNeck = 10;
  map.Tracer.Params.VDepth = 5;
  map.Tracer.EdgeStar(10, 0, 10, 30, VerticalEdge);
  EXPECT_TRUE(map.At(5, 15));
  EXPECT_TRUE(map.At(10, 25));
  for (int x = 11; x < 80; ++x)
    for (int y = 0; y < 40; ++y) EXPECT_FALSE(map.At(x, y));
}

TEST(EdgeTracer, ClassicTabAndShouldersBulgeApart) {
  TEdgeMap map(80, 50);
  map.Tracer.Params = HorizontalTab();
  map.Tracer.EdgeClassic(0, 20, 60, 20, HorizontalEdge);
  // The cubic (20,20) (15,28) (45,28) (40,20) at t = 1/2: (240/8, 208/8).
  EXPECT_TRUE(map.At(30, 26));
  for (int y = 27; y < 50; ++y)
    for (int x = 0; x < 80; ++x) EXPECT_FALSE(map.At(x, y));
  // The shoulder (0,20) (30,12) (20,20) at t = 1/2: (20,16), above the edge.
  EXPECT_TRUE(map.At(20, 16));
  EXPECT_TRUE(map.At(0, 20));
  EXPECT_TRUE(map.At(60, 20));

  // On a slanted edge the necks follow the slant; the aligned outline keeps
  // them on the level of their own corners.
  map.Clear();
  map.Tracer.EdgeClassic(0, 20, 60, 26, HorizontalEdge);
  EXPECT_TRUE(map.At(20, 22));
  EXPECT_TRUE(map.At(40, 24));
  map.Clear();
  map.Tracer.EdgeClassicAligned(0, 20, 60, 26, HorizontalEdge);
  EXPECT_TRUE(map.At(20, 20));
  EXPECT_TRUE(map.At(40, 26));

  // Blip shoulders are straight.
  map.Clear();
  map.Tracer.EdgeBlip(0, 20, 60, 20, HorizontalEdge);
  for (int x = 0; x <= 20; ++x) EXPECT_TRUE(map.At(x, 20));
  EXPECT_TRUE(map.At(30, 26));
  EXPECT_FALSE(map.At(20, 16));
}

TEST(EdgeTracer, RoundVerticalBulgesToPlusX) {
  TEdgeMap map(80, 50);
  map.Tracer.Params.VDepth = 4;
  map.Tracer.Params.VShoulder1 = 20;
  // Control point (10 + 6, 40 - 20); at t = 1/2: (13, 20).
  map.Tracer.EdgeRound(10, 0, 10, 40, VerticalEdge);
  EXPECT_TRUE(map.At(13, 20));
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_FALSE(map.At(x, y));
  // Horizontal: control (0 + 30, 10 + 12); at t = 1/2: (22.5, 16) -> (22, 16).
  map.Clear();
  map.Tracer.Params.HShoulder1 = 30;
  map.Tracer.Params.HDepth = 8;
  map.Tracer.EdgeRound(0, 10, 30, 10, HorizontalEdge);
  EXPECT_TRUE(map.At(22, 16));
}

TEST(EdgeTracer, MixDrawsEachEdgeByLottery) {
  TEdgeMap map(70, 50);
  map.Tracer.Params = HorizontalTab();
  // What each style draws on its own.
  const std::array<TShapeStyle, 5> styles{TShapeStyle::Classic, TShapeStyle::Blip, TShapeStyle::Square,
                                          TShapeStyle::Star, TShapeStyle::Round};
  std::vector<std::vector<std::uint8_t>> shapes;
  for (TShapeStyle style : styles) {
    map.Clear();
    map.Tracer.Style = int(style);
    map.Tracer.DrawEdge(2, 25, 62, 25, HorizontalEdge);
    shapes.push_back(map.Bytes);
  }

  // r = Random(100): 0-5 Round, 6-9 Star, 10-15 Square, 16-19 Blip, else Classic.
  auto expectedStyle = [](std::uint32_t r) {
    if (r <= 5) return TShapeStyle::Round;
    if (r <= 9) return TShapeStyle::Star;
    if (r <= 15) return TShapeStyle::Square;
    if (r <= 19) return TShapeStyle::Blip;
    return TShapeStyle::Classic;
  };
  map.Tracer.Style = int(TShapeStyle::Mix);
  std::array<int, 7> counts{};
  const int edges = 10000;
  SetRandSeed(4242);
  for (int i = 0; i < edges; ++i) {
    const std::uint32_t state = RandSeed();
    const TShapeStyle expected = expectedStyle(Random(100));
    SetRandSeed(state);
    map.Clear();
    map.Tracer.DrawEdge(2, 25, 62, 25, HorizontalEdge);
    const auto drawn = std::find(shapes.begin(), shapes.end(), map.Bytes) - shapes.begin();
    ASSERT_LT(drawn, 5);
    ASSERT_EQ(styles[std::size_t(drawn)], expected) << i;
    ++counts[std::size_t(styles[std::size_t(drawn)])];
  }
  // 80 / 4 / 6 / 4 / 6 per cent, within about four standard deviations.
  EXPECT_NEAR(counts[int(TShapeStyle::Classic)], 8000, 160);
  EXPECT_NEAR(counts[int(TShapeStyle::Blip)], 400, 80);
  EXPECT_NEAR(counts[int(TShapeStyle::Square)], 600, 95);
  EXPECT_NEAR(counts[int(TShapeStyle::Star)], 400, 80);
  EXPECT_NEAR(counts[int(TShapeStyle::Round)], 600, 95);
}

TEST(EdgeTracer, NoStyleDrawsNothing) {
  TEdgeMap map(40, 40);
  map.Tracer.Params.HNeck = 10;
  for (int style : {0, 7}) {
    map.Tracer.Style = style;
    SetRandSeed(5);
    map.Tracer.DrawEdge(0, 10, 30, 10, HorizontalEdge);
    EXPECT_EQ(RandSeed(), 5u);
  }
  EXPECT_EQ(std::count(map.Bytes.begin(), map.Bytes.end(), 0), 40 * 40);
}

namespace {

struct TSampleCanvas {
  TSampleCanvas() : Bitmap(100, 100), Canvas(Bitmap) { Bitmap.Fill(White); }
  int RedPixels() const {
    int red = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) red += Bitmap.Pixel(x, y) == Red;
    return red;
  }
  static constexpr TColor White = 0xFFFFFF;
  static constexpr TColor Red = 0x0000FF;
  TBitmap Bitmap;
  TCanvas Canvas;
};

}  // namespace

TEST(SamplePiece, RefusesPiecesOutsideEightTo640Pixels) {
  TSampleCanvas sample;
  const TPictureGrid grid{700, 700, 100, 1};  // 7 x 700 pixels at 100 %
  EXPECT_FALSE(DrawSamplePiece(&sample.Canvas, 100, 5, 1, grid));
  EXPECT_TRUE(DrawSamplePiece(nullptr, 115, 5, 1, {700, 700, 100, 100}));  // 8 x 8
  EXPECT_FALSE(DrawSamplePiece(&sample.Canvas, 100, 5, 1, {6410, 100, 10, 1}));  // 641 wide
  EXPECT_FALSE(DrawSamplePiece(&sample.Canvas, 100, 5, 1, {100, 6410, 1, 10}));  // 641 high
  EXPECT_FALSE(DrawSamplePiece(&sample.Canvas, 100, 5, 1, {640, 70, 1, 10}));  // 7 high
  EXPECT_EQ(sample.RedPixels(), 0);
  EXPECT_TRUE(DrawSamplePiece(nullptr, 100, 5, 1, {6400, 6400, 10, 10}));  // 640 x 640
  EXPECT_FALSE(DrawSamplePiece(nullptr, 100, 5, 1, {6400, 6400, 0, 10}));
}

TEST(SamplePiece, SquareIsAFilledRectangle) {
  // 400 x 300 in 10 x 10: b = 40, d = 30. Corners (10,7) and (50,37).
  TSampleCanvas sample;
  sample.Canvas.Brush.Color = 0x123456;
  EXPECT_TRUE(DrawSamplePiece(&sample.Canvas, 100, 0, int(TShapeStyle::Square), {400, 300, 10, 10}));
  EXPECT_EQ(sample.RedPixels(), 41 * 31);
  EXPECT_EQ(sample.Bitmap.Pixel(10, 7), TSampleCanvas::Red);
  EXPECT_EQ(sample.Bitmap.Pixel(50, 37), TSampleCanvas::Red);
  EXPECT_EQ(sample.Bitmap.Pixel(51, 37), TSampleCanvas::White);
  EXPECT_EQ(sample.Bitmap.Pixel(9, 20), TSampleCanvas::White);
  EXPECT_EQ(sample.Canvas.Brush.Color, 0x123456u);

  // Oddness 10 moves the lower-right corner by (40 x 100 div 400, 30 x 100
  // div 400) = (10, 7) to (60, 44).
  TSampleCanvas odd;
  DrawSamplePiece(&odd.Canvas, 100, 10, int(TShapeStyle::Square), {400, 300, 10, 10});
  EXPECT_EQ(odd.Bitmap.Pixel(60, 44), TSampleCanvas::Red);
  EXPECT_EQ(odd.Bitmap.Pixel(55, 40), TSampleCanvas::Red);
  EXPECT_EQ(odd.Bitmap.Pixel(55, 20), TSampleCanvas::White);
  EXPECT_EQ(odd.Bitmap.Pixel(59, 42), TSampleCanvas::Red);
}

TEST(SamplePiece, EveryStyleDrawsAClosedPiece) {
  for (int style = 0; style <= 6; ++style) {
    for (int oddness : {0, 5, 10}) {
      TSampleCanvas sample;
      ASSERT_TRUE(DrawSamplePiece(&sample.Canvas, 100, oddness, style, {400, 300, 10, 10}));
      EXPECT_EQ(sample.Bitmap.Pixel(20, 15), TSampleCanvas::Red) << style << " " << oddness;
      EXPECT_EQ(sample.Bitmap.Pixel(99, 99), TSampleCanvas::White) << style << " " << oddness;
      EXPECT_GT(sample.RedPixels(), 800) << style << " " << oddness;
      EXPECT_LT(sample.RedPixels(), 2500) << style << " " << oddness;
    }
  }
}
