// The saved game as the start of a game reads it: each input is the saved
// game of one small gift, and ResumeOrStart either resumes it or starts a
// new game after one message, never anything in between. The board it
// leaves is whole (every piece in exactly one tray that exists, the piece
// count the puzzle's), can be played, and a resumed game saved again is
// resumed again.

#include <QDir>
#include <QFile>
#include <algorithm>
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

// ResumeOrStart and the board drawn, as the start of the player has them.
bool LaidOut(TTestGame& t) {
  ShownMessages().Clear();
  bool resumed = false;
  try {
    resumed = t.game->ResumeOrStart();
  } catch (const EError& e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
    FuzzFailure("ResumeOrStart gave up half way");
  }
  t.game->ResizeBoard(std::uint16_t(t.window.PlayAreaWidth), std::uint16_t(t.window.PlayAreaHeight));
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

// A piece of the board picked up by the mouse, dragged a little and dropped.
void PlayAMove(TTestGame& t) {
  TJigsaw& game = *t.game;
  if (game.BoardTray().Pieces.empty()) return;
  const TFormPiece& p = *game.BoardTray().Pieces.back();
  const int x = p.X + p.Width / 2, y = p.Y + p.Height / 2;
  game.MouseDown(TJigsaw::LeftButton, x, y);
  game.MouseMove(x + 9, y + 5);
  game.MouseUp(x + 9, y + 5);
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
  const std::vector<TFormPiece> before = t->game->Pieces;
  t.reset();
  QFile::remove(place.Recovery);
  auto next = BuiltGame();
  FuzzCheck(LaidOut(*next), "a resumed game saved again is not resumed");
  CheckBoard(*next->game);
  FuzzCheck(std::equal(before.begin(), before.end(), next->game->Pieces.begin(), next->game->Pieces.end(),
                       [](const TFormPiece& a, const TFormPiece& b) {
                         return a.Tray == b.Tray && a.Group == b.Group && a.Rotation == b.Rotation &&
                                a.Joined == b.Joined;
                       }),
            "a resumed game saved again came back with other trays, groups or turns");
  return 0;
}
