// The curve tracer: segments per curve, the 8-connected line writer, the
// flattening of curves with halves rounded to even, and canvas mode.

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <utility>
#include <vector>

#include "pieces/bezier.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

using TPixels = std::set<std::pair<int, int>>;

// A label map with its tracer.
struct TMap {
  TMap(int width, int height, int divisions = 1) : Width(width), Bytes(std::size_t(width * height), 7) {
    Bezier.Init(Bytes, width, divisions, height);
    Bezier.SetValue(0x15);
  }
  TPixels Pixels() const {
    TPixels pixels;
    for (std::size_t i = 0; i < Bytes.size(); ++i)
      if (Bytes[i] != 0) pixels.insert({int(i) % Width, int(i) / Width});
    return pixels;
  }
  int Width;
  std::vector<std::uint8_t> Bytes;
  TBezier Bezier;
};

}  // namespace

TEST(Bezier, StepsFollowTheCellWidthUpToForty) {
  EXPECT_EQ(TMap(8, 2).Bezier.Steps(), 4);
  EXPECT_EQ(TMap(79, 2).Bezier.Steps(), 39);
  EXPECT_EQ(TMap(80, 2).Bezier.Steps(), 40);
  EXPECT_EQ(TMap(800, 2).Bezier.Steps(), 40);
  EXPECT_EQ(TMap(800, 2, 20).Bezier.Steps(), 20);  // 40-pixel cells
  EXPECT_EQ(TMap(800, 2, 10).Bezier.Steps(), 40);
  TMap cleared(9, 3);
  EXPECT_TRUE(cleared.Pixels().empty());  // Init clears the old bytes
}

TEST(Bezier, DrawToWritesEightConnectedLines) {
  TMap map(12, 12);
  map.Bezier.StartAt(3, 4);
  map.Bezier.DrawTo(3, 4);
  EXPECT_EQ(map.Pixels(), (TPixels{{3, 4}}));
  EXPECT_EQ(map.Bytes[4 * 12 + 3], 0x15);

  TMap vertical(12, 12);
  vertical.Bezier.StartAt(5, 9);
  vertical.Bezier.DrawTo(5, 6);
  EXPECT_EQ(vertical.Pixels(), (TPixels{{5, 9}, {5, 8}, {5, 7}, {5, 6}}));

  // dx = dy: y is the major axis and every step is diagonal.
  TMap diagonal(12, 12);
  diagonal.Bezier.StartAt(1, 1);
  diagonal.Bezier.DrawTo(4, 4);
  EXPECT_EQ(diagonal.Pixels(), (TPixels{{1, 1}, {2, 2}, {3, 3}, {4, 4}}));

  // err starts at 2 x 2 - 5 = -1: x, both, x, both, x.
  TMap shallow(12, 12);
  shallow.Bezier.StartAt(0, 0);
  shallow.Bezier.DrawTo(5, 2);
  EXPECT_EQ(shallow.Pixels(), (TPixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));

  // The step happens where err first reaches 0, so direction matters:
  // (0,0)-(4,1) steps after the second pixel, (4,1)-(0,0) too.
  TMap right(12, 12);
  right.Bezier.StartAt(0, 0);
  right.Bezier.DrawTo(4, 1);
  EXPECT_EQ(right.Pixels(), (TPixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}));
  TMap left(12, 12);
  left.Bezier.StartAt(4, 1);
  left.Bezier.DrawTo(0, 0);
  EXPECT_EQ(left.Pixels(), (TPixels{{4, 1}, {3, 1}, {2, 0}, {1, 0}, {0, 0}}));

  // The pen moves on from the end point.
  left.Bezier.DrawTo(0, 2);
  EXPECT_EQ(left.Bytes[2 * 12 + 0], 0x15);
}

TEST(Bezier, LinesAreClippedToTheMap) {
  TMap map(4, 3);
  map.Bezier.Line(-3, 1, 6, 1);
  EXPECT_EQ(map.Pixels(), (TPixels{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
  map.Bezier.Line(-5, -5, -1, 9);
  map.Bezier.Line(2, -4, 2, -1);
  map.Bezier.Line(1, 3, 1, 10);
  EXPECT_EQ(map.Pixels().size(), 4u);
}

TEST(Bezier, ClippedLinesKeepTheirVisiblePixels) {
  // Lines that leave a 20 x 20 map must show exactly the pixels the same
  // lines have inside that window of a map large enough for all of them.
  std::uint32_t seed = 17;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return int(seed >> 16) % 60 - 20;
  };
  for (int line = 0; line < 200; ++line) {
    const int x0 = next(), y0 = next(), x1 = next(), y1 = next();
    TMap small(20, 20);
    small.Bezier.Line(x0, y0, x1, y1);
    TMap large(60, 60);
    large.Bezier.Line(x0 + 20, y0 + 20, x1 + 20, y1 + 20);
    TPixels window;
    for (const auto& [x, y] : large.Pixels())
      if (x >= 20 && x < 40 && y >= 20 && y < 40) window.insert({x - 20, y - 20});
    ASSERT_EQ(small.Pixels(), window) << x0 << "," << y0 << " " << x1 << "," << y1;
  }
}

TEST(Bezier, CurvesStartAndEndOnTheirOuterControlPoints) {
  // Forty steps; the control points are far from any grid-friendly value.
  TMap map(90, 90);
  const std::array<int, 8> cubic{3, 85, 71, -40, 7, 130, 88, 2};
  map.Bezier.Curve(cubic);
  EXPECT_EQ(map.Bytes[85 * 90 + 3], 0x15);
  EXPECT_EQ(map.Bytes[2 * 90 + 88], 0x15);
  map.Bezier.DrawTo(88, 3);  // continues from the last control point
  EXPECT_EQ(map.Bytes[3 * 90 + 88], 0x15);
}

TEST(Bezier, CurvePointsRoundHalvesToEven) {
  // Four steps. The cubic (0,0) (4,8) (8,8) (12,0) has x = 12t and
  // y = 24t(1 - t): points (0,0) (3,4.5) (6,6) (9,4.5) (12,0), every weight a
  // binary fraction, so both halves are exact and go down to 4.
  TMap wide(16, 10, 2);
  const std::array<int, 8> cubic{0, 0, 4, 8, 8, 8, 12, 0};
  wide.Bezier.Curve(cubic);
  const TPixels pixels = wide.Pixels();
  EXPECT_TRUE(pixels.contains({3, 4}));
  EXPECT_FALSE(pixels.contains({3, 5}));
  EXPECT_TRUE(pixels.contains({6, 6}));
  EXPECT_TRUE(pixels.contains({9, 4}));
  EXPECT_FALSE(pixels.contains({9, 5}));
  // (0,0) to (3,4): y major, err 2: both, both, y, both.
  for (const auto& p : TPixels{{0, 0}, {1, 1}, {2, 2}, {2, 3}, {3, 4}}) EXPECT_TRUE(pixels.contains(p));
  EXPECT_EQ(pixels.size(), 15u);

  // A straight "curve" (0,0)-(2,1) in four steps: (0.5,0.25) -> (0,0),
  // (1,0.5) -> (1,0), (1.5,0.75) -> (2,1).
  const std::array<int, 4> line{0, 0, 2, 1};
  TMap map(8, 10);
  map.Bezier.Curve(line);
  EXPECT_EQ(map.Pixels(), (TPixels{{0, 0}, {1, 0}, {2, 1}}));
}

TEST(Bezier, CanvasModeDrawsWithThePen) {
  TBitmap bitmap(20, 20);
  bitmap.Fill(0xFFFFFF);
  TCanvas canvas(bitmap);
  canvas.Pen.Color = 0x0000FF;
  TBezier bezier;
  bezier.Init(canvas, 16, 2, 20);  // four steps
  bezier.Line(2, 2, 6, 2);
  EXPECT_EQ(canvas.Pixel(2, 2), 0x0000FFu);
  EXPECT_EQ(canvas.Pixel(5, 2), 0x0000FFu);
  EXPECT_EQ(canvas.Pixel(6, 2), 0xFFFFFFu);  // the canvas leaves the end out

  const std::array<int, 8> cubic{0, 10, 4, 18, 8, 18, 12, 10};
  bezier.Curve(cubic);
  EXPECT_EQ(canvas.PenPos(), (TPoint{12, 10}));
  EXPECT_EQ(canvas.Pixel(3, 14), 0x0000FFu);  // (3, 14.5) rounded to even
  EXPECT_EQ(canvas.Pixel(3, 15), 0xFFFFFFu);
}
