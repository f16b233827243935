// Every counter the saved game's reader bounds, taken to that bound: the
// game resumes, is played on with the mouse, saved, and resumes again as
// the same board. A file the player accepted never becomes, through play,
// one it refuses.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <vector>

#include "game/savedgame.h"
#include "platform/input.h"
#include "platform/messagebox.h"
#include "tests/common/files.h"
#include "tests/common/testgame.h"

namespace {

// A piece as the player sees it: where it lies, turned how, in which tray,
// joined or not, and its group's place in the stacking order.
struct TSeenPiece {
  int X, Y, Tray, Rotation;
  bool Joined;
  std::size_t GroupPlace;
  friend bool operator==(const TSeenPiece&, const TSeenPiece&) = default;
};

struct TSeenTray {
  std::uint32_t Number;
  TRect Bounds;
  QString Description;
  friend bool operator==(const TSeenTray&, const TSeenTray&) = default;
};

struct TSeenBoard {
  std::vector<TSeenPiece> Pieces;
  std::vector<TSeenTray> Trays;
  std::int32_t ElapsedSeconds;
  std::uint16_t CheatCount, SolvedCount;
  friend bool operator==(const TSeenBoard&, const TSeenBoard&) = default;
};

TSeenBoard Seen(const TJigsaw& game) {
  const std::vector<std::size_t> places = GroupPlaces(game.Pieces);
  TSeenBoard board{{}, {}, game.Record.ElapsedSeconds, game.Record.CheatCount, game.Record.SolvedCount};
  for (const TFormPiece& p : game.Pieces)
    board.Pieces.push_back({p.X, p.Y, p.Tray, p.Rotation, p.Joined, places[std::size_t(p.Index)]});
  for (const auto& tray : game.Trays) board.Trays.push_back({tray->Number, tray->BoundsRect(), tray->Description});
  return board;
}

class SavedCountersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    saved_ = TSavedGamePlace(gift_).Beside();
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300));
    SetMessageHandler([this](TMsgType, TMsgButtons, const QString& text) {
      shown_.push_back(text);
      return TMsgResult::Yes;
    });
    SetInputSource([] { return TInputState{}; });
  }
  void TearDown() override {
    SetMessageHandler({});
    SetInputSource({});
    QFile::remove(TSavedGamePlace(gift_).Recovery());
  }

  // A start of the player; resumed tells whether the saved game was taken.
  std::unique_ptr<TTestGame> Started(bool& resumed) {
    // The saved game is what the tests resume, not the recovery file that
    // the clock's ticks write.
    QFile::remove(TSavedGamePlace(gift_).Recovery());
    auto t = std::make_unique<TTestGame>(gift_, 960, 720);
    resumed = t->Start();
    return t;
  }

  // A new game laid out in a grid, so that every piece can be taken by its
  // middle, then changed by set and saved.
  void SaveChanged(const std::function<void(TJigsaw&)>& set) {
    bool resumed = true;
    auto t = Started(resumed);
    ASSERT_FALSE(resumed);
    t->game->ArrangeInGrid(TArrangeSource::Board, false, false);
    set(*t->game);
    t->game->SaveGame();
  }

  // Piece 1 dragged by the mouse to where it fits piece 0: they join.
  static void DragToJoin(TTestGame& t) {
    TJigsaw& game = *t.game;
    TFormPiece& moved = game.PieceAt(1);
    const TPoint from = PointOnPiece(game, moved);
    const TPoint home = TPieces::ExpectedPos(moved, game.PieceAt(0));
    const int dx = home.X - moved.X, dy = home.Y - moved.Y;
    game.MouseDown(TJigsaw::LeftButton, from.X, from.Y);
    for (int step = 1; step <= 4; ++step) game.MouseMove(from.X + dx * step / 4, from.Y + dy * step / 4);
    game.MouseUp(from.X + dx, from.Y + dy);
    game.Tick();
    t.screen.PaintInvalid();
    EXPECT_TRUE(moved.Joined);
    EXPECT_EQ(moved.Group, game.PieceAt(0).Group);
  }

  // Resumes the saved game, plays on with play and a join, saves, and
  // resumes that save: the same board. Returns the game resumed last.
  std::unique_ptr<TTestGame> PlayedOnAndResumed(const std::function<void(TTestGame&)>& play) {
    bool resumed = false;
    auto t = Started(resumed);
    EXPECT_TRUE(resumed);
    play(*t);
    DragToJoin(*t);
    t->game->SaveGame();
    const TSeenBoard before = Seen(*t->game);
    t.reset();

    auto next = Started(resumed);
    EXPECT_TRUE(resumed);
    EXPECT_TRUE(shown_.empty()) << (shown_.empty() ? "" : qPrintable(shown_.front()));
    EXPECT_TRUE(Seen(*next->game) == before);
    return next;
  }

  QTemporaryDir dir_;
  QString gift_;
  QString saved_;
  std::vector<QString> shown_;
};

}  // namespace

TEST_F(SavedCountersTest, TheGroupCounterAtItsBoundComesBackCompact) {
  static constexpr std::int32_t largest = TPieces::GroupLimit - 1;
  SaveChanged([](TJigsaw& game) {
    // One piece on top with the largest number the reader takes.
    game.PieceAt(5).Group = largest - 1;
    game.Record.NextGroupId = largest;
  });
  ASSERT_EQ(ReadFile(saved_)[4292 + 3], std::uint8_t(largest >> 24));

  auto t = PlayedOnAndResumed([](TTestGame& t) {
    // Resumed with the groups numbered 0 to 11, the piece on top still on top.
    const TJigsaw& game = *t.game;
    EXPECT_EQ(game.Record.NextGroupId, 12);
    EXPECT_EQ(game.PieceAt(5).Group, 11);
  });
  // Eleven groups after the join, numbered from 0 again.
  EXPECT_EQ(t->game->Record.NextGroupId, 11);
}

TEST_F(SavedCountersTest, PlayNeverTakesTheGroupCounterToItsBound) {
  // However long a game goes on, the counter is compacted before it nears
  // the bound: every pick-up starts below half of it and adds a few.
  bool resumed = true;
  auto t = Started(resumed);
  TJigsaw& game = *t->game;
  game.ArrangeInGrid(TArrangeSource::Board, false, false);
  game.Record.NextGroupId = TPieces::GroupLimit / 2 + 1;
  for (TFormPiece& p : game.Pieces) p.Group += TPieces::GroupLimit / 2 - 12;
  const TSeenBoard before = Seen(game);
  DragToJoin(*t);
  EXPECT_LT(game.Record.NextGroupId, 20);
  // The pieces that were not moved keep their order.
  const TSeenBoard after = Seen(game);
  for (std::size_t i = 2; i < game.Pieces.size(); ++i)
    for (std::size_t j = 2; j < game.Pieces.size(); ++j)
      EXPECT_EQ(after.Pieces[i].GroupPlace < after.Pieces[j].GroupPlace,
                before.Pieces[i].GroupPlace < before.Pieces[j].GroupPlace)
          << i << " " << j;
}

TEST_F(SavedCountersTest, ATrayNumberedAtTheBoundLeavesRoomForNewTrays) {
  SaveChanged([](TJigsaw& game) {
    TBox& tray = *game.Trays.emplace_back(std::make_unique<TBox>(game, TBox::LargestNumber));
    tray.SetBounds({600, 420, 900, 640});
    tray.Description = QStringLiteral("Last");
    game.SortTrays(TBoxes::TTrayOrder::Stacking);
  });
  auto t = PlayedOnAndResumed([](TTestGame& t) {
    // Numbers past the largest the file holds are not given: the lowest
    // free one is.
    for (const std::uint32_t number : {1u, 2u}) {
      TBox& tray = t.game->NewTray();
      EXPECT_EQ(tray.Number, number);
      tray.ToggleOpen();  // out of the way of the pieces
    }
  });
  std::vector<std::uint32_t> numbers;
  for (const auto& tray : t->game->Trays) numbers.push_back(tray->Number);
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<std::uint32_t>{0, 1, 2, TBox::LargestNumber}));
}

TEST_F(SavedCountersTest, TheClockStopsAtTheLargestTimeASavedGameHolds) {
  static constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
  SaveChanged([](TJigsaw& game) { game.Record.ElapsedSeconds = largest - 1; });
  auto t = PlayedOnAndResumed([](TTestGame& t) {
    t.window.GameActive = true;
    for (int i = 0; i < 3; ++i) t.game->Tick();
    EXPECT_EQ(t.game->Record.ElapsedSeconds, largest);
  });
  EXPECT_EQ(t->game->Record.ElapsedSeconds, largest);
}

TEST_F(SavedCountersTest, TheCheatCountStopsAtItsLargestNumber) {
  // Not bounded by the reader, but counting on would start again at "no
  // cheating".
  SaveChanged([](TJigsaw& game) { game.Record.CheatCount = 0xFFFE; });
  auto t = PlayedOnAndResumed([](TTestGame& t) {
    t.game->RightWayUpAll();
    t.game->RightWayUpAll();
    EXPECT_EQ(t.game->Record.CheatCount, 0xFFFF);
  });
  EXPECT_EQ(t->game->Record.CheatCount, 0xFFFF);
}

TEST_F(SavedCountersTest, ATrayFilledOnATinyBoardKeepsASizeASavedGameHolds) {
  // The play area is smaller than the smallest tray; the tray that takes
  // every loose piece grows no further than the board, and shrinks neither.
  SaveChanged([](TJigsaw& game) {
    TBox& tray = *game.Trays.emplace_back(std::make_unique<TBox>(game, 1));
    tray.SetBounds({0, 0, TBox::MinWidth, TBox::MinHeight});
    game.SortTrays(TBoxes::TTrayOrder::Stacking);
    game.ResizeBoard(90, 60);
    game.CurrentTray = &tray;
    game.GetLoosePieces(false);
    EXPECT_EQ(tray.Count(), 12);
    EXPECT_EQ(tray.Width, TBox::MinWidth);
    EXPECT_EQ(tray.Height, TBox::MinHeight);
  });
  bool resumed = false;
  auto t = Started(resumed);
  EXPECT_TRUE(resumed);
  EXPECT_TRUE(shown_.empty()) << (shown_.empty() ? "" : qPrintable(shown_.front()));
  EXPECT_EQ(t->game->TrayByNumber(1).Count(), 12);
}
