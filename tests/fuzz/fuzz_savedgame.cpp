// The saved game as the start of a game reads it: each input is the saved
// game of one small gift, and BeginPlay either resumes it or starts a
// new game after one message, never anything in between. The board it
// leaves is whole (every piece in exactly one tray that exists, the piece
// count the puzzle's), can be played, and a resumed game played on and saved
// again is resumed again, as the same board.

#include <QDir>
#include <QFile>
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <set>

#include "game/jigsaw.h"
#include "game/savedgame.h"
#include "tests/common/testgame.h"
#include "tests/fuzz/fuzzgift.h"
#include "tests/fuzz/fuzzing.h"

namespace {

const QString unreadable = QStringLiteral("The saved game could not be read and a new game was started: ");

struct TPlace {
  QString Gift;
  QString Saved;
  // A game being played writes its recovery file as the clock ticks, and a
  // start reads that before the saved game.
  QString Recovery;
  std::size_t Pieces = 0;
};

TPlace& Place() {
  static TPlace place;
  return place;
}

// The gift's puzzle built as the player builds it before it looks for a
// saved game. Each input gets a game of its own: a game that resumed one
// input is not the one the next input meets at a start, and a finding must
// replay alone.
std::unique_ptr<TTestGame> BuiltGame() {
  auto t = std::make_unique<TTestGame>(Place().Gift);
  t->game->LoadGift();
  t->game->BuildPuzzle();
  return t;
}

// The layout and the board drawn, as the start of the player has them.
bool LaidOut(TTestGame& t) {
  ShownMessages().Clear();
  bool resumed = false;
  try {
    resumed = t.game->BeginPlay();
  } catch (const EError& e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
    FuzzFailure("BeginPlay gave up half way");
  }
  t.screen.PaintInvalid();
  return resumed;
}

std::size_t Refusals() {
  const auto& texts = ShownMessages().Texts();
  return std::size_t(
      std::count_if(texts.begin(), texts.end(), [](const QString& text) { return text.startsWith(unreadable); }));
}

void CheckBoard(const TJigsaw& game) {
  FuzzCheck(game.IsPlaying(), "the game does not play");
  FuzzCheck(game.Pieces.size() == Place().Pieces, "the piece count changed");
  FuzzCheck(
      game.Record.PieceCount == Place().Pieces && std::size_t(game.Record.Columns) * game.Record.Rows == Place().Pieces,
      "the puzzle record's grid is not the puzzle's");
  FuzzCheck(!game.Trays.empty() && game.Trays.front()->IsBoard(), "the board tray is not first");
  std::set<std::uint32_t> numbers;
  std::set<const TFormPiece*> held;
  for (const auto& tray : game.Trays) {
    FuzzCheck(numbers.insert(tray->Number).second, "two trays share a number");
    for (const TFormPiece* p : tray->Pieces) {
      FuzzCheck(p >= game.Pieces.data() && p < game.Pieces.data() + game.Pieces.size(),
                "a tray holds a piece that is not the puzzle's");
      FuzzCheck(held.insert(p).second, "a piece lies in two trays");
      FuzzCheck(std::uint32_t(p->Tray) == tray->Number, "a piece names another tray than the one it lies in");
      FuzzCheck(p->Rotation <= 3, "a piece is turned more than three quarters");
    }
  }
  FuzzCheck(held.size() == game.Pieces.size(), "a piece lies in no tray");
  // A joined piece is lifted, turned and dropped with every piece of its
  // group: they lie in its tray, turned as it is.
  for (const TFormPiece& p : game.Pieces)
    if (p.Joined)
      for (const TFormPiece& q : game.Pieces)
        if (q.Group == p.Group)
          FuzzCheck(q.Tray == p.Tray && q.Rotation == p.Rotation, "a group lies in two trays or is turned two ways");
  FuzzCheck(game.Record.SolvedCount <= game.Record.PieceCount, "more pieces solved than there are");
}

// The board as the player sees it: each piece's place, tray, turn and join,
// and its group's place in the stacking order (a resumed game numbers its
// groups afresh); each tray's number and place.
struct TBoardSeen {
  std::vector<std::array<std::int64_t, 6>> Pieces;
  std::vector<std::array<std::int64_t, 5>> Trays;
  friend bool operator==(const TBoardSeen&, const TBoardSeen&) = default;
};

TBoardSeen Seen(const TJigsaw& game) {
  const std::vector<std::size_t> places = GroupPlaces(game.Pieces);
  TBoardSeen seen;
  for (const TFormPiece& p : game.Pieces)
    seen.Pieces.push_back({p.X, p.Y, p.Tray, p.Rotation, p.Joined, std::int64_t(places[std::size_t(p.Index)])});
  for (const auto& tray : game.Trays) {
    const TRect r = tray->BoundsRect();
    seen.Trays.push_back({tray->Number, r.Left, r.Top, r.Right, r.Bottom});
  }
  return seen;
}

// The top piece of the board picked up by the mouse, as the window passes it
// on, and dropped where it fits its first home neighbour, so that it joins when that one lies on the
// board turned as it is; a little aside when it has none.
void PlayAMove(TTestGame& t) {
  TJigsaw& game = *t.game;
  if (game.BoardTray().Pieces.empty()) return;
  const TFormPiece& p = *game.BoardTray().Pieces.back();
  TPoint to{p.X + 9, p.Y + 5};
  for (int direction = DirectionUp; direction <= DirectionLeft; ++direction)
    if (const int q = game.HomeNeighbour(p.Index, direction); q >= 0) {
      to = TPieces::ExpectedPos(p, game.PieceAt(q));
      break;
    }
  const TPoint from = PointOnPiece(game, p);
  const int dx = to.X - p.X, dy = to.Y - p.Y;
  game.MouseDown(TJigsaw::LeftButton, from.X, from.Y);
  game.MouseMove(from.X + dx / 2, from.Y + dy / 2);
  game.MouseMove(from.X + dx, from.Y + dy);
  game.MouseUp(from.X + dx, from.Y + dy);
  // The window notes the board after every mouse operation; that brings
  // into sight what the drop left under a tray.
  game.NoteChanges();
  game.Tick();
  t.screen.PaintInvalid();
}

void RemoveKeptFiles() {
  for (const QString& name : QDir(ScratchFolder()).entryList({QStringLiteral("*.damaged*")}, QDir::Files))
    QFile::remove(ScratchFile(name));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  TPlace& place = Place();
  place.Gift = ScratchFile(QStringLiteral("gift"));
  if (!WriteFuzzGift(place.Gift)) FuzzFailure("the gift cannot be written");
  place.Saved = TSavedGamePlace(place.Gift).Beside();
  place.Recovery = TSavedGamePlace(place.Gift).Recovery();
  place.Pieces = BuiltGame()->game->Pieces.size();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TPlace& place = Place();
  QFile::remove(place.Recovery);
  WriteWholeFile(place.Saved, {data, size});
  auto t = BuiltGame();
  const bool resumed = LaidOut(*t);
  if (resumed) {
    FuzzCheck(Refusals() == 0, "a game was resumed and refused");
  } else {
    FuzzCheck(ShownMessages().Texts().size() == 1 && Refusals() == 1,
              "a refused saved game did not give its one message");
    FuzzCheck(t->game->Trays.size() == 1 && t->game->Record.FormatVersion == 5,
              "a refused saved game left some of itself in the new game");
    FuzzCheck(!QFile::exists(place.Saved), "a refused saved game was not set aside");
    RemoveKeptFiles();
  }
  CheckBoard(*t->game);
  PlayAMove(*t);
  CheckBoard(*t->game);
  if (!resumed) return 0;

  // The next start finds the game as this one leaves it.
  try {
    t->game->SaveGame();
  } catch (const EError& e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
    FuzzFailure("a resumed game cannot be saved");
  }
  const TBoardSeen before = Seen(*t->game);
  t.reset();
  QFile::remove(place.Recovery);
  auto next = BuiltGame();
  FuzzCheck(LaidOut(*next), "a resumed game saved again is not resumed");
  CheckBoard(*next->game);
  FuzzCheck(Seen(*next->game) == before,
            "a resumed game saved again came back with other places, trays, groups or turns");
  return 0;
}
