#include "play/band.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/colors.h"

namespace {

// A screen that records what it is asked to show, and whether at once.
class TRecordingScreen : public TScreen {
 public:
  struct TShown {
    TRect Rect;
    bool Now;
  };
  std::vector<TShown> Shown;

  std::vector<TRect> Rects() const {
    std::vector<TRect> rects;
    for (const TShown& s : Shown) rects.push_back(s.Rect);
    return rects;
  }

 protected:
  void Show(const QRegion& region, bool now) override {
    for (const QRect& r : region)
      Shown.push_back({Bounds(r.x(), r.y(), r.width(), r.height()), now});
  }
};

// A play area of 200 x 160 showing a picture whose pixels all differ from
// their neighbours.
struct BandTest : ::testing::Test {
  TRecordingScreen screen;
  TBand band;
  TBitmap picture{200, 160};

  void SetUp() override {
    screen.Resize(200, 160);
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 200; ++x) picture.SetPixel(x, y, RGBColor(x * 3, y * 5, x ^ y));
    BitBlt(screen.Image(), 0, 0, 200, 160, picture, 0, 0, TRasterOp::SrcCopy);
    screen.Shown.clear();
  }
  bool Unchanged() const {
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 200; ++x)
        if (screen.Image().Pixel(x, y) != picture.Pixel(x, y)) return false;
    return true;
  }
  bool Inverted(int x, int y) const { return screen.Image().Pixel(x, y) != picture.Pixel(x, y); }
  // Every changed pixel of the screen since before lies in a shown rectangle.
  void ExpectChangesShown(const TBitmap& before) const {
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 200; ++x) {
        if (screen.Image().Pixel(x, y) == before.Pixel(x, y)) continue;
        bool shown = false;
        for (const auto& s : screen.Shown) shown = shown || s.Rect.Contains({x, y});
        ASSERT_TRUE(shown) << x << "," << y;
      }
  }
};

// The outline of the normalised r with a one-pixel pen, as its four strips.
std::vector<TRect> Strips(TRect r) {
  return {{r.Left - 1, r.Top - 1, r.Right + 1, r.Top + 1},
          {r.Left - 1, r.Bottom - 1, r.Right + 1, r.Bottom + 1},
          {r.Left - 1, r.Top + 1, r.Left + 1, r.Bottom - 1},
          {r.Right - 1, r.Top + 1, r.Right + 1, r.Bottom - 1}};
}

}  // namespace

TEST_F(BandTest, ABandDraggedUpAndLeftEndsNormalisedAndLeavesTheScreenAsItWas) {
  band.BandStart(screen, 30, 25);
  EXPECT_TRUE(Unchanged());
  band.BandTo(5, 3);
  // Drawn as Rectangle (30, 25, 5, 3): the outline of (5, 3) to (29, 24).
  EXPECT_TRUE(Inverted(5, 3) && Inverted(29, 24) && Inverted(17, 3) && Inverted(5, 14));
  EXPECT_FALSE(Inverted(30, 25) || Inverted(6, 4) || Inverted(17, 14));
  EXPECT_EQ(screen.Image().Pixel(5, 3), ~picture.Pixel(5, 3) & 0xFFFFFF);  // black NOT-XOR pen
  EXPECT_EQ(screen.Rects(), Strips({5, 3, 30, 25}));
  EXPECT_EQ(screen.Canvas().Pen.Mode, TPenMode::NotXor);
  EXPECT_TRUE(screen.Canvas().Brush.Clear);

  EXPECT_EQ(band.BandEnd(), (TRect{5, 3, 30, 25}));
  EXPECT_EQ((TRect{band.X1, band.Y1, band.X2, band.Y2}), (TRect{5, 3, 30, 25}));
  EXPECT_TRUE(Unchanged());
  EXPECT_EQ(screen.Canvas().Pen.Mode, TPenMode::Copy);
  EXPECT_TRUE(screen.Canvas().Brush.Clear);
}

TEST_F(BandTest, StartThenEndIsTheEmptyRectangleAtTheStartAndDrawsNothing) {
  band.BandStart(screen, 40, 50);
  EXPECT_EQ(band.BandEnd(), (TRect{40, 50, 40, 50}));
  EXPECT_TRUE(Unchanged());
  EXPECT_TRUE(screen.Shown.empty());
}

TEST_F(BandTest, StartToToEndRestoresTheScreenByteForByteAndShowsOnlyTheOutlines) {
  TCanvas& canvas = screen.Canvas();
  canvas.Pen.Color = RGBColor(0x5A, 0xC3, 0x0F);
  canvas.Pen.Width = 3;
  band.BandStart(screen, 60, 40);
  const TRect drawn[] = {{60, 40, 150, 120}, {60, 40, 20, 10}, {60, 40, 61, 100}};  // last: one column
  TBitmap before = screen.Image();
  for (const TRect& r : drawn) {
    screen.Shown.clear();
    band.BandTo(r.Right, r.Bottom);
    EXPECT_FALSE(Unchanged());
    ExpectChangesShown(before);
    for (const auto& s : screen.Shown) EXPECT_FALSE(s.Rect.Contains({100, 80}) || s.Rect.Contains({35, 20}));
    before = screen.Image();
  }
  EXPECT_EQ(band.BandEnd(), (TRect{60, 40, 61, 100}));
  EXPECT_TRUE(Unchanged());
  EXPECT_EQ(canvas.Pen.Color, RGBColor(0x5A, 0xC3, 0x0F));
  EXPECT_EQ(canvas.Pen.Width, 3);

  // A pen changed while the band is shown: the band still comes off exactly.
  canvas.Pen.Width = 1;
  band.BandStart(screen, 10, 10);
  band.BandTo(50, 40);
  canvas.Pen.Width = 4;
  canvas.Pen.Color = clWhite;
  band.BandEnd();
  EXPECT_TRUE(Unchanged());
  EXPECT_EQ(canvas.Pen.Width, 4);
}

TEST_F(BandTest, ZoomStepsRoundHalfToEvenEndsOnTheTargetAndLeavesNothing) {
  const TRect from{100, 80, 110, 90}, to{110, 70, 140, 130};
  const std::unique_ptr<TAnimation> zoom = band.Zoom(screen, from, to, false);
  // Twenty frames, each due 10 ms after the last; the board's changes wait
  // from the start until the last frame is off the screen again.
  EXPECT_TRUE(screen.Held());
  std::vector<int> waits;
  for (int wait; (wait = zoom->Step()) != TAnimation::Ended;) {
    waits.push_back(wait);
    EXPECT_TRUE(screen.Held());
  }
  EXPECT_EQ(waits, std::vector<int>(20, 10));
  EXPECT_FALSE(screen.Held());

  EXPECT_TRUE(Unchanged());
  EXPECT_EQ((TRect{band.X1, band.Y1, band.X2, band.Y2}), to);

  // The first frame draws R1; frames 2 to 20 remove the last and draw the next; the end
  // removes R20. Every outline is shown with the next paint; then the whole
  // play area at once, with what the board changed meanwhile.
  ASSERT_EQ(screen.Shown.size(), 4u + 19 * 8 + 4 + 1);
  EXPECT_EQ(screen.Shown.back().Rect, screen.ClientRect());
  EXPECT_TRUE(screen.Shown.back().Now);
  screen.Shown.pop_back();
  std::vector<TRect> steps;
  for (std::size_t i = 0; i < 20; ++i) {
    const std::size_t at = i == 0 ? 0 : 8 * i;  // the drawn strips of step i + 1
    const TRect top = screen.Shown[at].Rect, bottom = screen.Shown[at + 1].Rect;
    steps.push_back({top.Left + 1, top.Top + 1, top.Right - 1, bottom.Bottom - 1});
    if (i > 0) {
      EXPECT_EQ(screen.Shown[at - 4].Rect, Strips(steps[i - 1])[0]);  // removal of the step before
    }
  }
  for (const auto& s : screen.Shown) EXPECT_FALSE(s.Now);
  // Quotients 0.5, 1.5, 2.5 of Left; -0.5, -1.5, -2.5 of Top; 1.5, 4.5, 7.5 of Right.
  EXPECT_EQ(steps[0], (TRect{100, 80, 112, 92}));
  EXPECT_EQ(steps[2], (TRect{102, 78, 114, 96}));
  EXPECT_EQ(steps[4], (TRect{102, 78, 118, 100}));
  EXPECT_EQ(steps[9], (TRect{105, 75, 125, 110}));
  EXPECT_EQ(steps[19], to);
  const std::vector<TRect> rects = screen.Rects();
  EXPECT_EQ(std::vector<TRect>(rects.end() - 4, rects.end()), Strips(to));
}

TEST_F(BandTest, AZoomSettledHalfWayLeavesNothingAndAClosingOneShowsTheBoardFirst) {
  const TRect from{100, 80, 110, 90}, to{10, 10, 190, 150};
  {
    // A closing tray's zoom shows the board at once before its first frame,
    // and holds the board's changes from then on.
    const std::unique_ptr<TAnimation> zoom = band.Zoom(screen, from, to, true);
    EXPECT_FALSE(screen.Held());
    zoom->Step();
    EXPECT_TRUE(screen.Held());
    ASSERT_FALSE(screen.Shown.empty());
    EXPECT_TRUE(screen.Shown.front().Now);
    EXPECT_EQ(screen.Shown.front().Rect, screen.ClientRect());
    for (int i = 0; i < 4; ++i) zoom->Step();
    EXPECT_FALSE(Unchanged());
    // Settled half way, its frame comes off and the board may be painted.
    zoom->Settle(false);
    EXPECT_TRUE(Unchanged());
    EXPECT_FALSE(screen.Held());
  }
  {
    // Dropped before its turn came, as with a game that ends.
    const std::unique_ptr<TAnimation> zoom = band.Zoom(screen, from, to, false);
    EXPECT_TRUE(screen.Held());
  }
  EXPECT_FALSE(screen.Held());
}
