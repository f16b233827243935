// The first board of a new game: cut at the largest scale of the piece size
// bar at which every piece lies whole on the play area and the pieces' boxes
// cover at most half of it; and a resumed game's play area size asked of the
// window.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>

#include "game/jigsaw.h"
#include "tests/common/testgame.h"

namespace {

struct TCoverage {
  std::int64_t Covered = 0;  // the pieces' boxes together
  int LargestSide = 0;
};

TCoverage CoverageOf(const TJigsaw& game) {
  TCoverage c;
  for (const TFormPiece& p : game.Pieces) {
    c.Covered += std::int64_t(p.Width) * p.Height;
    c.LargestSide = std::max({c.LargestSide, int(p.Width), int(p.Height)});
  }
  return c;
}

// Every piece of the board lies whole on it, and their boxes cover at most
// half of it.
void ExpectPlayable(const TTestGame& t) {
  const TJigsaw& game = *t.game;
  const int width = t.window.PlayAreaWidth, height = t.window.PlayAreaHeight;
  for (const TFormPiece& p : game.Pieces) {
    EXPECT_GE(p.X, 0) << p.Index;
    EXPECT_GE(p.Y, 0) << p.Index;
    EXPECT_LE(p.X + p.Width, width) << p.Index;
    EXPECT_LE(p.Y + p.Height, height) << p.Index;
  }
  EXPECT_LE(2 * CoverageOf(game).Covered, std::int64_t(width) * height);
}

class FirstBoardTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  QString Gift(const QString& name, int width, int height, TGiftTrailer trailer) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(WriteTestGift(path, width, height, trailer));
    return path;
  }

  QTemporaryDir dir_;
};

}  // namespace

TEST_F(FirstBoardTest, ALargePhotoIsCutSmallEnoughToPlayAndNoSmaller) {
  const QString gift = Gift(QStringLiteral("photo"), 4000, 3000, TestTrailer(1000, 20240601));
  TTestGame t(gift, 1920, 1080);
  t.Start();
  const TPuzzleRecord& record = t.records.Puzzle;
  EXPECT_EQ(record.PieceCount, 972);
  const int scale = record.ScalePercent;
  EXPECT_EQ(scale % 10, 0);
  EXPECT_LT(scale, 100);
  EXPECT_GE(scale, 10);
  EXPECT_EQ(record.CutWidth, 4000 * scale / 100);
  EXPECT_EQ(record.CutHeight, 3000 * scale / 100);
  ExpectPlayable(t);

  // The next step of the bar covers more than half the board.
  t.game->SetScale(scale + 10);
  EXPECT_GT(2 * CoverageOf(*t.game).Covered, std::int64_t(1920) * 1080);
}

TEST_F(FirstBoardTest, AFewLargePiecesAreCutToLieApart) {
  const QString gift = Gift(QStringLiteral("twelve"), 1200, 900, TestTrailer(12));
  TTestGame t(gift, 1920, 1080);
  t.Start();
  const int scale = t.records.Puzzle.ScalePercent;
  EXPECT_EQ(t.records.Puzzle.PieceCount, 12);
  EXPECT_LT(scale, 100);
  ExpectPlayable(t);
  t.game->SetScale(scale + 10);
  const TCoverage larger = CoverageOf(*t.game);
  EXPECT_GT(2 * larger.Covered, std::int64_t(1920) * 1080);

  // Restarted on a smaller play area, the same gift is cut smaller still,
  // the pieces turned at random and yet whole on the board.
  TGiftTrailer turning = TestTrailer(12);
  turning.RotationOn = 1;
  TTestGame small(Gift(QStringLiteral("turning"), 1200, 900, turning), 700, 400);
  small.Start();
  EXPECT_LT(small.records.Puzzle.ScalePercent, scale);
  EXPECT_TRUE(std::any_of(small.game->Pieces.begin(), small.game->Pieces.end(),
                          [](const TFormPiece& p) { return p.Rotation != 0; }));
  ExpectPlayable(small);
}

TEST_F(FirstBoardTest, APictureThatFitsKeepsItsSize) {
  const QString gift = Gift(QStringLiteral("small"), 400, 300, TestTrailer(12));
  TTestGame t(gift, 1920, 1080);
  t.Start();
  EXPECT_EQ(t.records.Puzzle.ScalePercent, 100);
  EXPECT_EQ(t.records.Puzzle.CutWidth, 400);
  ExpectPlayable(t);

  // A play area smaller than every piece: the smallest scale the piece size
  // dialog allows (pieces of 8 pixels at least), never a board without room.
  TTestGame tiny(gift, 40, 30);
  tiny.Start();
  EXPECT_EQ(tiny.records.Puzzle.ScalePercent, 10);
  EXPECT_TRUE(tiny.game->IsPlaying());
}

TEST_F(FirstBoardTest, ARestartAndAResizeKeepTheFittedScaleAndTheProportions) {
  const QString gift = Gift(QStringLiteral("twelve"), 1200, 900, TestTrailer(12));
  TTestGame t(gift, 1920, 1080);
  t.Start();
  const int scale = t.records.Puzzle.ScalePercent;
  const std::vector<TFormPiece> first = t.Records();

  // The board twice as large: every piece twice as far from the corner.
  t.window.PlayAreaWidth = 3840;
  t.window.PlayAreaHeight = 2160;
  t.screen.Resize(3840, 2160);
  t.game->ResizeBoard(3840, 2160);
  EXPECT_EQ(t.records.Puzzle.ScalePercent, scale);
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_NEAR(t.game->Pieces[i].X, 2 * first[i].X, 1) << i;
    EXPECT_NEAR(t.game->Pieces[i].Y, 2 * first[i].Y, 1) << i;
  }

  // A new game on the same play area is the same first board.
  TTestGame again(gift, 1920, 1080);
  again.Start();
  EXPECT_EQ(again.records.Puzzle.ScalePercent, scale);
  EXPECT_TRUE(SameBitmap(again.game->View.BoardBitmap, [&] {
    TTestGame third(gift, 1920, 1080);
    third.Start();
    return third.game->View.BoardBitmap;
  }()));
}

TEST_F(FirstBoardTest, AResumedGameAsksForItsPlayAreaAndShowsTheSameBoard) {
  const QString gift = Gift(QStringLiteral("twelve"), 1200, 900, TestTrailer(12));
  TBitmap saved;
  int scale = 0;
  {
    TTestGame large(gift, 1900, 1000);
    large.Start();
    large.game->ArrangeInGrid(TArrangeSource::Board, true, true);
    large.screen.PaintInvalid();
    saved = large.game->View.BoardBitmap;
    scale = large.records.Puzzle.ScalePercent;
    large.game->SaveGame();
  }

  // The window that resumes it opens smaller and takes the saved size: the
  // game lays the board out on what it got.
  TTestGame resumed(gift, 800, 600);
  std::vector<std::pair<int, int>> asked;
  QObject::connect(&resumed.window, &TWindowState::PlayAreaSizeRequested, [&](int w, int h) {
    asked.emplace_back(w, h);
    resumed.window.PlayAreaWidth = w;
    resumed.window.PlayAreaHeight = h;
    resumed.screen.Resize(w, h);
  });
  resumed.Start();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], std::make_pair(1900, 1000));
  EXPECT_EQ(resumed.records.Puzzle.ScalePercent, scale);
  EXPECT_EQ(resumed.game->Config.PlayWidth, 1900);
  EXPECT_TRUE(SameBitmap(resumed.game->View.BoardBitmap, saved));
}
