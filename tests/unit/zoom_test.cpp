#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "game/savedgame.h"
#include "tests/common/testgame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 1600 x 1200 picture of 48 pieces on a 480 x 360 play area: the first
// board cuts it small, so there is room to look closer.
class ZoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 1600, 1200, TestTrailer(48)));
    t_ = std::make_unique<TTestGame>(gift_);
    t_->Start();
  }
  TJigsaw& game() { return *t_->game; }
  Bytes Saved() {
    game().Record.ElapsedSeconds = 61;
    game().SaveGame();
    QFile file(TSavedGamePlace(gift_).Beside());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
  }
  static TBox& AddTray(TJigsaw& game, std::uint32_t number, TRect bounds) {
    TBox& tray = *game.Trays.emplace_back(std::make_unique<TBox>(game, number));
    tray.SetBounds(bounds);
    tray.TakeFrontNo();
    game.SortTrays(TBoxes::TTrayOrder::Stacking);
    return tray;
  }

  QTemporaryDir dir_;
  QString gift_;
  std::unique_ptr<TTestGame> t_;
};

}  // namespace

TEST_F(ZoomTest, ZoomingChangesNothingSavedAndTheWholeBoardComesBackPixelForPixel) {
  TJigsaw& g = game();
  const int whole = g.Record.ScalePercent;
  ASSERT_LT(whole, 50) << "the first board cuts the picture small";
  // A tray holding a piece, turned, at a place of its own inside it.
  TBox& tray = AddTray(g, 1, {41, 33, 241, 183});
  TFormPiece& held = g.PieceAt(5);
  g.RotateGroup(held, 1, false);
  held.X = tray.InnerRect().Left + 17;
  held.Y = tray.InnerRect().Top + 9;
  g.PickGroup(&held);
  g.DropMoving(&tray, false);
  g.NoteChanges();
  const Bytes before = Saved();
  const TBitmap board = g.View.BoardBitmap;
  const std::vector<TFormPiece> pieces = g.Pieces;

  g.ZoomAbout(0, 0, 2 * whole);
  ASSERT_TRUE(g.IsZoomed());
  EXPECT_EQ(g.Record.ScalePercent, 2 * whole);
  EXPECT_EQ(g.View.BoardBitmap.Width(), 960);
  EXPECT_EQ(g.View.BoardBitmap.Height(), 720);
  // Everything on the board lies twice as far from its corner, give or take
  // the rounding of a cut twice as large; the piece in the tray keeps its
  // place in proportion to the tray's inner area, whose frame stays as wide.
  EXPECT_EQ(tray.BoundsRect(), Bounds(82, 66, 400, 300));
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i == 5) continue;
    EXPECT_NEAR(g.Pieces[i].X, 2 * pieces[i].X, 3) << i;
    EXPECT_NEAR(g.Pieces[i].Y, 2 * pieces[i].Y, 3) << i;
  }
  const TRect inner = tray.InnerRect();
  const TRect innerBefore{41 + 8, 33 + 24, 241 - 8, 183 - 8};
  EXPECT_NEAR(double(held.X - inner.Left) / inner.Width(),
              double(pieces[5].X - innerBefore.Left) / innerBefore.Width(), 0.01);
  EXPECT_NEAR(double(held.Y - inner.Top) / inner.Height(),
              double(pieces[5].Y - innerBefore.Top) / innerBefore.Height(), 0.01);
  EXPECT_EQ(Saved(), before);

  g.ZoomAbout(0, 0, 3 * whole);
  EXPECT_EQ(Saved(), before);

  g.ZoomAbout(0, 0, whole);
  EXPECT_FALSE(g.IsZoomed());
  EXPECT_EQ(g.Record.ScalePercent, whole);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    EXPECT_EQ(g.Pieces[i].X, pieces[i].X) << i;
    EXPECT_EQ(g.Pieces[i].Y, pieces[i].Y) << i;
  }
  EXPECT_TRUE(SameBitmap(g.View.BoardBitmap, board));
  EXPECT_EQ(Saved(), before);
}
