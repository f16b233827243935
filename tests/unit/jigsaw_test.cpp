#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <vector>

#include "game/cut.h"
#include "game/gift.h"
#include "game/jigsaw.h"
#include "game/picture.h"
#include "platform/messagebox.h"
#include "tests/common/testgame.h"

namespace {

// Answers every message box and remembers the questions.
class Answers {
 public:
  explicit Answers(TMsgResult answer) {
    SetMessageHandler([this, answer](TMsgType, TMsgButtons, const QString& text) {
      Asked.push_back(text);
      return answer;
    });
  }
  ~Answers() { SetMessageHandler({}); }
  std::vector<QString> Asked;
};

bool SamePlaces(const std::vector<TFormPiece>& a, const std::vector<TFormPiece>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TFormPiece& p, const TFormPiece& q) {
    return p.X == q.X && p.Y == q.Y && p.HomeX == q.HomeX && p.HomeY == q.HomeY && p.Width == q.Width &&
           p.Height == q.Height && p.Group == q.Group && p.Rotation == q.Rotation;
  });
}

class JigsawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300));
  }

  QTemporaryDir dir_;
  QString gift_;
};

}  // namespace

TEST_F(JigsawTest, StartsANewGameWithTheBoardOnTheScreen) {
  TTestGame t(gift_);
  TJigsaw& game = *t.game;
  EXPECT_FALSE(game.IsPlaying());
  EXPECT_FALSE(t.window.Commands.ArrangeInGrid.Enabled());
  t.game->LoadGift();
  t.game->BuildPuzzle();
  EXPECT_EQ(t.records.Puzzle.PieceCount, 12);
  // The whole picture would cover most of the 480 x 360 play area: the
  // first cut is smaller.
  EXPECT_EQ(t.records.Puzzle.ScalePercent, 60);
  EXPECT_EQ(t.records.Puzzle.CutWidth, 240);

  EXPECT_FALSE(game.BeginPlay());
  EXPECT_TRUE(game.IsPlaying());
  EXPECT_EQ(game.Config.SnapDivisor, 4);
  for (TMenuItemState* item : t.window.Commands.PlayItems()) EXPECT_TRUE(item->Enabled());
  for (TMenuItemState* item : t.window.Commands.CheatItems()) EXPECT_TRUE(item->Enabled());
  EXPECT_TRUE(t.window.Commands.HelpAboutJigItem.Visible());
  EXPECT_TRUE(t.window.TimerStatus.Visible());
  EXPECT_TRUE(t.window.SolvedStatus.Visible());
  // The overlay keeps its width and takes the picture's aspect.
  EXPECT_EQ(t.window.OverlayClientHeight, 300 * 160 / 400);

  // Every piece lies in the board tray, each a group of its own, in view.
  ASSERT_EQ(game.BoardTray().Count(), 12);
  std::vector<std::int32_t> groups;
  for (const TFormPiece& p : game.Pieces) {
    EXPECT_EQ(p.Tray, 0);
    EXPECT_TRUE(TPieces::PieceRect(p).Intersects({0, 0, 480, 360}));
    groups.push_back(p.Group);
  }
  std::sort(groups.begin(), groups.end());
  EXPECT_EQ(std::unique(groups.begin(), groups.end()), groups.end());

  // The paint copies the board, pieces and all, to the screen.
  game.ResizeBoard(480, 360);
  t.screen.PaintInvalid();
  EXPECT_TRUE(t.screen.InvalidRegion().isEmpty());
  EXPECT_TRUE(SameBitmap(t.screen.Image(), game.View.BoardBitmap));
  TBitmap background(480, 360);
  game.View.Mural.Draw({0, 0, 480, 360}, background);
  EXPECT_FALSE(SameBitmap(background, game.View.BoardBitmap));

  // The clock's second fills the panels; the time runs only while the game is
  // active.
  t.window.GameActive = true;
  game.Tick();
  EXPECT_EQ(t.window.SolvedStatus.Text(), QStringLiteral("Solved 0 of 12"));
  const QString sep = TimeSeparator();
  EXPECT_EQ(t.window.TimerStatus.Text(), QStringList({"00", "00", "00"}).join(sep));
  t.window.GameActive = false;
  game.Tick();
  EXPECT_EQ(t.window.TimerStatus.Text(), QStringList({"00", "00", "01"}).join(sep));
  EXPECT_EQ(t.records.Puzzle.ElapsedSeconds, 1);
}

TEST_F(JigsawTest, TheSameGiftAlwaysGivesTheSameBoard) {
  TTestGame a(gift_), b(gift_);
  a.Start();
  b.Start();
  EXPECT_TRUE(SamePlaces(a.Records(), b.Records()));
  EXPECT_TRUE(SameBitmap(a.game->View.BoardBitmap, b.game->View.BoardBitmap));
}

TEST_F(JigsawTest, RescalingReusesTheSeed) {
  TTestGame t(gift_);
  t.Start();
  TJigsaw& game = *t.game;
  const std::vector<TFormPiece> first = t.Records();
  const TBitmap firstSheet = game.ImageSheet;
  const TPuzzleRecord before = t.records.Puzzle;

  game.SetScale(0);
  EXPECT_EQ(t.records.Puzzle, before);
  EXPECT_TRUE(SamePlaces(t.Records(), first));

  game.SetScale(150);
  EXPECT_EQ(t.records.Puzzle.CutWidth, 600);
  EXPECT_EQ(t.records.Puzzle.CutHeight, 450);
  EXPECT_EQ(t.records.Puzzle.ScalePercent, 150);
  EXPECT_EQ(game.Picture.Width(), 600);
  EXPECT_GT(game.Pieces[0].Width, first[0].Width);

  game.SetScale(before.ScalePercent);
  EXPECT_TRUE(SamePlaces(t.Records(), first));
  EXPECT_TRUE(SameBitmap(game.ImageSheet, firstSheet));
  EXPECT_EQ(game.OutlineBuffer.size(), std::size_t(t.records.Puzzle.LabelBufferSize));

  // A cut that would not fit the record's 16-bit sizes, or the picture
  // limit, or that leaves cells without pixels, is refused before anything
  // changes.
  const TPuzzleRecord scaled = t.records.Puzzle;
  for (int percent : {20000, 4000, 1, -50}) {
    EXPECT_THROW(game.SetScale(percent), EError) << percent;
    EXPECT_EQ(t.records.Puzzle, scaled) << percent;
    EXPECT_TRUE(SamePlaces(t.Records(), first)) << percent;
  }
}

TEST_F(JigsawTest, OptionSettersFollowThePlayingState) {
  TTestGame t(gift_);
  TJigsaw& game = *t.game;
  t.window.Menus.AllowCheating.SetChecked(false);
  game.Config.CheatingAllowed = false;
  // Before the game plays neither the option nor the menus change.
  game.SetCheating(true, false);
  EXPECT_FALSE(game.Config.CheatingAllowed);
  EXPECT_FALSE(t.window.Commands.Hint1.Enabled());

  {
    Answers answers(TMsgResult::Yes);
    EXPECT_TRUE(game.SetRotation(true, QStringLiteral("unused")));
    EXPECT_TRUE(answers.Asked.empty());
  }
  t.Start();
  // Cheating is off in the menus captured at load: the cheats stay disabled.
  for (TMenuItemState* item : t.window.Commands.CheatItems()) EXPECT_FALSE(item->Enabled());
  game.SetCheating(true, true);
  EXPECT_TRUE(game.Config.CheatingAllowed);
  for (TMenuItemState* item : t.window.Commands.CheatItems()) EXPECT_TRUE(item->Enabled());

  {
    // No piece is turned: switching rotation off asks nothing.
    Answers answers(TMsgResult::Yes);
    EXPECT_FALSE(game.SetRotation(false, QStringLiteral("Turn them?")));
    EXPECT_TRUE(answers.Asked.empty());
    EXPECT_FALSE(t.window.Menus.RotateRight.Enabled());
    EXPECT_FALSE(t.window.Menus.RotateLeft.Enabled());
  }
  {
    // Cancel leaves rotation off.
    Answers answers(TMsgResult::Cancel);
    EXPECT_FALSE(game.SetRotation(true, QString()));
    ASSERT_EQ(answers.Asked.size(), 1u);
    EXPECT_EQ(answers.Asked[0], QStringLiteral("Would you like some pieces randomly rotated now?"));
    EXPECT_FALSE(game.Config.Rotating);
  }
  {
    // Yes turns loose pieces at random where they lie.
    Answers answers(TMsgResult::Yes);
    const std::vector<TFormPiece> before = t.Records();
    EXPECT_TRUE(game.SetRotation(true, QString()));
    EXPECT_TRUE(game.Config.Rotating);
    EXPECT_TRUE(t.window.Menus.RotateRight.Enabled());
    EXPECT_TRUE(std::any_of(game.Pieces.begin(), game.Pieces.end(), [](const TFormPiece& p) { return p.Rotation; }));
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(game.Pieces[i].X, before[i].X);
  }
  {
    // Turned pieces: No keeps rotation on, Yes turns every piece back and
    // counts as a cheat.
    Answers no(TMsgResult::No);
    EXPECT_TRUE(game.SetRotation(false, QStringLiteral("Turn them?")));
    EXPECT_EQ(no.Asked, std::vector<QString>{QStringLiteral("Turn them?")});
  }
  Answers yes(TMsgResult::Yes);
  EXPECT_FALSE(game.SetRotation(false, QStringLiteral("Turn them?")));
  EXPECT_TRUE(std::none_of(game.Pieces.begin(), game.Pieces.end(), [](const TFormPiece& p) { return p.Rotation; }));
  EXPECT_EQ(t.records.Puzzle.CheatCount, 1);
}

TEST_F(JigsawTest, ArrangingRepaintsTheBoard) {
  TTestGame t(gift_);
  t.Start();
  TJigsaw& game = *t.game;
  game.ArrangeInGrid(TArrangeSource::Board, true, true);
  // The grid's pitch is at most one and a half cells: every piece sits on a
  // multiple of it from the board's corner.
  const int cell = t.records.Puzzle.CellWidth;
  std::vector<std::int32_t> columns;
  for (const TFormPiece& p : game.Pieces) columns.push_back(p.X);
  std::sort(columns.begin(), columns.end());
  columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
  ASSERT_GE(columns.size(), 2u);
  EXPECT_EQ(columns[0], 0);
  EXPECT_LE(columns[1] - columns[0], (cell * 3) >> 1);
  // The board tray stays in stacking order, and the board shows the new
  // layout once painted.
  EXPECT_TRUE(std::is_sorted(game.BoardTray().Pieces.begin(), game.BoardTray().Pieces.end(),
                             [](const TFormPiece* a, const TFormPiece* b) {
                               return a->Group != b->Group ? a->Group < b->Group : a->Index < b->Index;
                             }));
  t.screen.PaintInvalid();
  EXPECT_TRUE(SameBitmap(t.screen.Image(), game.View.BoardBitmap));
  TBitmap fresh(480, 360);
  game.View.Mural.Draw({0, 0, 480, 360}, fresh);
  game.DrawTrays(fresh, nullptr);
  EXPECT_TRUE(SameBitmap(fresh, game.View.BoardBitmap));
  EXPECT_TRUE(SameBitmap(game.View.Compositor.Background(), game.View.BoardBitmap));
}

TEST_F(JigsawTest, RefreshLeavesTheBoardAndTheBackgroundEqualOutsideTheStamp) {
  TTestGame t(gift_);
  t.Start();
  TJigsaw& game = *t.game;
  // A floating image stamped at one place, a refresh somewhere else.
  TBitmap image(40, 30);
  image.Fill(RGBColor(255, 0, 255));
  TBitmap mask(40, 30, TPixelFormat::Mono);
  game.View.Compositor.Reset();
  const TRect stamp{300, 200, 340, 230};
  game.View.Compositor.DrawOpaque(stamp, image, {0, 0, 40, 30});
  game.RefreshArea({0, 0, 200, 150});
  for (int y = 0; y < 360; ++y)
    for (int x = 0; x < 480; ++x) {
      if (stamp.Contains({x, y})) {
        ASSERT_EQ(game.View.BoardBitmap.Pixel(x, y), RGBColor(255, 0, 255));
        continue;
      }
      ASSERT_EQ(game.View.BoardBitmap.Pixel(x, y), game.View.Compositor.Background().Pixel(x, y)) << x << "," << y;
    }
  EXPECT_TRUE(t.screen.InvalidRegion().contains(QRect(0, 0, 200, 150)));
}

TEST_F(JigsawTest, ResizingReplacesThePiecesInProportion) {
  TTestGame t(gift_);
  t.Start();
  TJigsaw& game = *t.game;
  const std::vector<TFormPiece> before = t.Records();
  t.window.PlayAreaWidth = 960;
  t.window.PlayAreaHeight = 720;
  t.screen.Resize(960, 720);
  game.ResizeBoard(960, 720);
  EXPECT_EQ(game.View.BoardBitmap.Width(), 960);
  EXPECT_EQ(game.BoardTray().BoundsRect(), (TRect{0, 0, 960, 720}));
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_NEAR(game.Pieces[i].X, 2 * before[i].X, 1) << i;
    EXPECT_NEAR(game.Pieces[i].Y, 2 * before[i].Y, 1) << i;
  }
  t.screen.PaintInvalid();
  EXPECT_TRUE(SameBitmap(t.screen.Image(), game.View.BoardBitmap));

  // A window shrunk to nothing, and back.
  for (const auto& [w, h] : {std::pair{20, 20}, std::pair{0, 0}, std::pair{1, 300}, std::pair{480, 360}}) {
    t.window.PlayAreaWidth = w;
    t.window.PlayAreaHeight = h;
    t.screen.Resize(w, h);
    game.ResizeBoard(std::uint16_t(w), std::uint16_t(h));
    game.ArrangeAtEdge(TArrangeSource::Board, true, false);
    game.Disarrange(TArrangeSource::Board, false);
    t.screen.PaintInvalid();
  }
  EXPECT_EQ(game.View.BoardBitmap.Width(), 480);
}

TEST_F(JigsawTest, ChangingTheOutlineStyleRebuildsTheBoard) {
  TGiftTrailer wood = TestTrailer();
  wood.OutlineStyle = OutlineWood;
  const QString woodGift = dir_.filePath(QStringLiteral("wood"));
  ASSERT_TRUE(WriteTestGift(woodGift, 400, 300, wood));
  TGiftTrailer paper = TestTrailer();
  paper.OutlineStyle = OutlinePaper;
  const QString paperGift = dir_.filePath(QStringLiteral("paper"));
  ASSERT_TRUE(WriteTestGift(paperGift, 400, 300, paper));

  // Wood to Paper: the board comes out as if the gift had been Paper.
  TTestGame switched(woodGift), reference(paperGift);
  switched.Start();
  reference.Start();
  EXPECT_FALSE(SameBitmap(switched.game->View.BoardBitmap, reference.game->View.BoardBitmap));
  switched.game->SetOutlineStyle(OutlinePaper);
  switched.screen.PaintInvalid();
  EXPECT_EQ(switched.game->Config.OutlineStyle, OutlinePaper);
  EXPECT_TRUE(SameBitmap(switched.game->View.BoardBitmap, reference.game->View.BoardBitmap));
  EXPECT_TRUE(SameBitmap(switched.screen.Image(), reference.game->View.BoardBitmap));
}

TEST_F(JigsawTest, BadGiftsGiveClearErrors) {
  const QString truncated = dir_.filePath(QStringLiteral("truncated"));
  {
    QFile whole(gift_), part(truncated);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly) && part.open(QIODevice::WriteOnly));
    part.write(whole.read(whole.size() - 1000));
  }
  TTestGame cut(truncated);
  EXPECT_THROW(cut.game->LoadGift(), EStreamError);
  EXPECT_FALSE(cut.game->IsPlaying());

  const QString notJpeg = dir_.filePath(QStringLiteral("notjpeg"));
  ASSERT_TRUE(WriteTestGift(notJpeg, TestTrailer(), QByteArray(5000, 'x')));
  TTestGame garbage(notJpeg);
  garbage.game->LoadGift();
  EXPECT_THROW(garbage.game->BuildPuzzle(), EJpegError);
  EXPECT_FALSE(garbage.game->IsPlaying());
  garbage.screen.PaintInvalid();
}

TEST(SheetBound, TheSheetsOfACutAreKnownBeforeItIsMade) {
  // Worked out from the layout: a 45-pixel piece takes a 48-pixel cell
  // across (a byte of the masks), three of them 144 pixels; two rows of 45.
  const TPieces::TSheetSize sheet = TPieces::SheetSizeFor(45, 3, 2);
  EXPECT_EQ(sheet.CellWidth, 48);
  EXPECT_EQ(sheet.Cell, 45);
  EXPECT_EQ(sheet.Width, 144);
  EXPECT_EQ(sheet.Height, 90);
  // 8 x 3 cells of 41 pixels: 48 x 8 = 384 across, rounded to 16 pixels.
  EXPECT_EQ(TPieces::SheetSizeFor(41, 8, 3).Width, 384);
  EXPECT_EQ(TPieces::SheetSizeFor(40, 5, 3).Width, 208);

  TPuzzleRecord grid;
  // A picture two pixels high has no grid: one piece 60000 pixels square.
  EXPECT_EQ(FitGrid(grid, 100, 60000, 2), 1);
  const QString problem = CutSheetProblem(grid, 60000, 2);
  EXPECT_EQ(problem, QStringLiteral("A picture of 60000 x 2 pixels cannot be cut into 1 x 1 pieces: their images "
                                    "would take 60000 x 60000 pixels, more than the 268435456 pixels (65,535 on "
                                    "a side) a puzzle may have. A picture less long and narrow, or smaller pieces, "
                                    "can be cut."));
  // Four pixels high, it is a row of 8 x 4 pieces; an ordinary picture's
  // cells stay small.
  EXPECT_EQ(FitGrid(grid, 100, 60000, 4), 7500);
  EXPECT_TRUE(CutSheetProblem(grid, 60000, 4).isEmpty());
  FitGrid(grid, 100, 8000, 8000);
  EXPECT_TRUE(CutSheetProblem(grid, 8000, 8000).isEmpty());
  // 16384 x 16384 pixels in one cell, the largest sheet allowed; one more
  // row of pixels passes it.
  grid.Columns = grid.Rows = 1;
  EXPECT_TRUE(CutSheetProblem(grid, 16384, 16384).isEmpty());
  EXPECT_FALSE(CutSheetProblem(grid, 16384, 16385).isEmpty());
}

TEST(SheetBound, AThinPictureIsRefusedBeforeItsPiecesTakeMemory) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString gift = dir.filePath(QStringLiteral("gift"));
  ASSERT_TRUE(WriteTestGift(gift, 60000, 2));
  TTestGame t(gift);
  t.game->LoadGift();
  try {
    t.game->BuildPuzzle();
    FAIL() << "a picture of 60000 x 2 pixels was cut";
  } catch (const EError& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("A picture of 60000 x 2 pixels cannot be cut into 1 x 1 "
                                                      "pieces")))
        << qPrintable(e.Message());
  }
  // Nothing of it is kept; the game does not play.
  EXPECT_TRUE(t.game->OriginalPicture.IsEmpty());
  EXPECT_TRUE(t.game->ImageSheet.IsEmpty());
  EXPECT_TRUE(t.game->OutlineBuffer.empty());
  EXPECT_FALSE(t.game->IsPlaying());
}
