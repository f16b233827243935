// Faults the fuzz targets (tests/fuzz) found, each replayed with a hand-made
// input.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "game/jigsaw.h"
#include "platform/canvas.h"
#include "platform/colors.h"
#include "platform/messagebox.h"
#include "tests/common/files.h"
#include "tests/common/testgame.h"

namespace {

// Piece block B of a 12-piece game with the extras record: 22 bytes a
// piece, the group at 12, the quarter turns at 18, the joined flag at 19.
constexpr std::size_t BlockBAt = 4457 + 27 + 12 * 12;
constexpr std::size_t PieceB(int index) { return BlockBAt + 22 * std::size_t(index); }
// The first tray record follows the three piece blocks: x at 2, y at 4,
// width at 6, height at 8.
constexpr std::size_t TrayAt = 4457 + 27 + 12 * 36;

const QString unreadable = QStringLiteral("The saved game could not be read and a new game was started: ");

class FuzzFoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    saved_ = gift_ + QStringLiteral(".sav");
    TGiftTrailer trailer = TestTrailer();
    trailer.RotationOn = 1;
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300, trailer));
    SetMessageHandler([this](TMsgType, TMsgButtons, const QString& text) {
      shown_.push_back(text);
      return TMsgResult::Yes;
    });
  }
  void TearDown() override { SetMessageHandler({}); }

  // The saved game of a game with pieces 1 and 2 joined on the board and
  // piece 4 alone in tray 1.
  Bytes SavedGameWithATray() {
    TTestGame t(gift_, 960, 720);
    t.Start();
    TJigsaw& game = *t.game;
    TFormPiece& moved = game.PieceAt(1);
    game.RotateGroup(moved, (game.PieceAt(0).Rotation - moved.Rotation + 4) % 4, false);
    const TPoint fits = TPieces::ExpectedPos(moved, game.PieceAt(0));
    moved.X = fits.X;
    moved.Y = fits.Y;
    game.PickGroup(&moved);
    game.DropMoving(&game.BoardTray(), true);
    EXPECT_TRUE(game.PieceAt(0).Joined && game.PieceAt(1).Joined);
    TBox& tray = game.NewTray();
    tray.SetBounds({600, 420, 900, 640});
    const TPieceList alone{&game.PieceAt(3)};
    game.MoveToTray(alone, tray);
    game.SaveGame();
    return ReadFile(saved_);
  }

  // The next start of the gift: whether it resumed, and the game.
  std::unique_ptr<TTestGame> Started(bool& resumed) {
    shown_.clear();
    auto t = std::make_unique<TTestGame>(gift_, 960, 720);
    resumed = t->Start();
    return t;
  }

  QTemporaryDir dir_;
  QString gift_;
  QString saved_;
  std::vector<QString> shown_;
};

}  // namespace

TEST_F(FuzzFoundTest, ASavedGroupInTwoTraysOrTurnedTwoWaysIsRefused) {
  const Bytes good = SavedGameWithATray();
  ASSERT_EQ(good[PieceB(0) + 19], 1);
  ASSERT_EQ(good[PieceB(3) + 19], 0);

  // As saved, the game comes back.
  bool resumed = false;
  {
    auto t = Started(resumed);
    EXPECT_TRUE(resumed);
    EXPECT_EQ(t->game->PieceAt(3).Tray, 1);
    EXPECT_EQ(t->game->PieceAt(1).Group, t->game->PieceAt(0).Group);
  }

  // Piece 4 joined to the group of pieces 1 and 2, in another tray: dropped
  // into that tray, the group would list piece 4 there twice.
  Bytes split = good;
  std::copy_n(good.begin() + std::ptrdiff_t(PieceB(0) + 12), 4, split.begin() + std::ptrdiff_t(PieceB(3) + 12));
  split[PieceB(3) + 19] = 1;
  // Piece 2 turned a quarter more than piece 1, its group's other piece.
  Bytes turned = good;
  turned[PieceB(1) + 18] = std::uint8_t((good[PieceB(0) + 18] + 1) % 4);

  struct TCase {
    const Bytes& File;
    const char* Reason;
  };
  for (const TCase& c :
       {TCase{split, "pieces 1 and 4 are joined but lie in different trays or are turned differently."},
        TCase{turned, "pieces 1 and 2 are joined but lie in different trays or are turned differently."}}) {
    WriteFile(saved_, c.File);
    auto t = Started(resumed);
    EXPECT_FALSE(resumed) << c.Reason;
    ASSERT_EQ(shown_.size(), 1u) << c.Reason;
    EXPECT_TRUE(shown_[0].startsWith(unreadable + QLatin1String(c.Reason))) << shown_[0].toStdString();
    EXPECT_EQ(t->game->Trays.size(), 1u);
    EXPECT_FALSE(QFile::exists(saved_));
    QFile::remove(saved_ + QStringLiteral(".damaged"));
  }
}

TEST(FuzzFoundCanvas, LinesAlongRowsAndColumnsShowInTheClipAsWithoutIt) {
  // Lines whose pen squares all lie on the bitmap, drawn once without a
  // clip and once with one: inside the clip the pixels are the same, outside
  // it nothing is drawn, whatever the pen and wherever the clip.
  std::mt19937 random(20240601);
  const auto any = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  for (int round = 0; round < 400; ++round) {
    const int width = any(1, 9);
    const TPenMode mode = any(0, 1) ? TPenMode::Copy : TPenMode::NotXor;
    const TPoint from{any(10, 110), any(10, 110)};
    const TPoint to = any(0, 1) ? TPoint{any(10, 110), from.Y} : TPoint{from.X, any(10, 110)};
    const TRect clip{any(-20, 100), any(-20, 100), any(20, 140), any(20, 140)};

    TBitmap whole(120, 120), clipped(120, 120);
    whole.Fill(0x336699);
    clipped.Fill(0x336699);
    TCanvas a(whole), b(clipped);
    for (TCanvas* canvas : {&a, &b}) canvas->Pen = TPen{0x00C0FF, width, mode};
    b.SetClipRect(clip);
    a.MoveTo(from.X, from.Y);
    a.LineTo(to.X, to.Y);
    b.MoveTo(from.X, from.Y);
    b.LineTo(to.X, to.Y);
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 120; ++x) {
        const TColor expected = clip.Contains({x, y}) ? whole.Pixel(x, y) : TColor(0x336699);
        ASSERT_EQ(clipped.Pixel(x, y), expected) << "round " << round << " at " << x << ", " << y;
      }
  }
}

TEST_F(FuzzFoundTest, ATrayFarLargerThanTheBoardIsDrawnOnlyWhereItShows) {
  // Tray 1 as large as a tray record holds, from x = -32768 and 40 pixels
  // above the bottom of the board: only its caption bar and the top of its
  // inside show. Its frame's lines, each far longer than the board, once
  // took some 20 seconds to draw, at every start and repaint of the board.
  Bytes huge = SavedGameWithATray();
  const std::uint8_t bounds[] = {0x00, 0x80, 680 & 0xFF, 680 >> 8, 0xFF, 0xFF, 0xFF, 0xFF};
  std::copy(std::begin(bounds), std::end(bounds), huge.begin() + std::ptrdiff_t(TrayAt + 2));
  WriteFile(saved_, huge);
  bool resumed = false;
  auto t = Started(resumed);
  ASSERT_TRUE(resumed);
  t->game->ResizeBoard(960, 720);
  // The caption bar, between the frame's edge and its lower bevel, across
  // the whole board; the board above the tray as it was.
  const TBitmap& board = t->game->View.BoardBitmap;
  for (const int x : {0, 480, 959}) {
    EXPECT_EQ(board.Pixel(x, 690), ColorToRGB(clBtnFace)) << x;
    EXPECT_NE(board.Pixel(x, 670), ColorToRGB(clBtnFace)) << x;
  }
}

TEST_F(FuzzFoundTest, AGroupDroppedOffAnEdgeIsResumedWhereItWasDropped) {
  // The group of pieces 1 and 2 taken by the mouse and thrown far beyond the
  // top or the left edge in one move, the first drag of a start: no piece of
  // it was ever inside the board during the drag, so the drag kept only the
  // lifted image, shadow included, in view. The drop brings the group in as
  // a resume does: half a cell of it on the board.
  const Bytes saved = SavedGameWithATray();
  struct TCase {
    int Dx, Dy;
    const char* Edge;
  };
  for (const TCase& c : {TCase{0, -2000, "top"}, TCase{-2000, 0, "left"}}) {
    WriteFile(saved_, saved);
    bool resumed = false;
    auto t = Started(resumed);
    ASSERT_TRUE(resumed) << c.Edge;
    TJigsaw& game = *t->game;
    game.ResizeBoard(960, 720);
    game.SetShadows(true);
    const TFormPiece& first = game.PieceAt(0);
    const TFormPiece& second = game.PieceAt(1);
    const TRect before = TPieces::PieceRect(first).Union(TPieces::PieceRect(second));
    const TPoint from = PointOnPiece(game, first);
    game.MouseDown(TJigsaw::LeftButton, from.X, from.Y);
    game.MouseMove(from.X + c.Dx, from.Y + c.Dy);
    game.MouseUp(from.X + c.Dx, from.Y + c.Dy);
    t->screen.PaintInvalid();

    const TRect dropped = TPieces::PieceRect(first).Union(TPieces::PieceRect(second));
    if (c.Dy != 0) {
      EXPECT_EQ(dropped.Bottom, game.Record.CellHeight / 2) << c.Edge;
      EXPECT_EQ(dropped.Left, before.Left) << c.Edge;
    } else {
      EXPECT_EQ(dropped.Right, game.Record.CellWidth / 2) << c.Edge;
      EXPECT_EQ(dropped.Top, before.Top) << c.Edge;
    }
    EXPECT_EQ(first.Group, second.Group) << c.Edge;
    const std::vector<TFormPiece> played = game.Pieces;
    game.SaveGame();
    t.reset();

    auto next = Started(resumed);
    ASSERT_TRUE(resumed) << c.Edge;
    next->game->ResizeBoard(960, 720);
    for (const TFormPiece& p : played) {
      const TFormPiece& q = next->game->PieceAt(p.Index);
      EXPECT_EQ(q.X, p.X) << c.Edge << " piece " << p.Index + 1;
      EXPECT_EQ(q.Y, p.Y) << c.Edge << " piece " << p.Index + 1;
      EXPECT_EQ(q.Tray, p.Tray) << c.Edge << " piece " << p.Index + 1;
    }
  }
}
