// The session of the game object: the one road from a loaded gift to a board
// in play, the resumed game declined, and the end of a game. The player's
// window, the tests, the benchmarks and the gift tool all start a game here.

#include <QFile>

#include <optional>

#include "game/jigsaw.h"
#include "game/savedgame.h"

bool TJigsaw::StartGame(TOpening opening) {
  BuildPuzzle();
  return BeginPlay(opening);
}

bool TJigsaw::BeginPlay(TOpening opening) {
  const bool resumed = opening == TOpening::ResumeOrNew && ResumeOrStart();
  if (opening == TOpening::New) {
    StartNewLayout();
    SetState(Playing);
    Recovery.Restart();
    History.Restart();
  }
  ResizeBoard(std::uint16_t(Window.PlayAreaWidth), std::uint16_t(Window.PlayAreaHeight));
  // The board as it starts is where undo ends.
  NoteChanges();
  return resumed;
}

bool TJigsaw::ResumeOrStart() {
  bool resumed = false;
  if (const std::optional<TSavedGame> saved = TSavedGame::Find(*this)) {
    saved->Restore(*this);
    SetState(Playing);
    RebuildSaved();
    resumed = true;
  } else {
    StartNewLayout();
    SetState(Playing);
  }
  Recovery.Restart();
  History.Restart();
  return resumed;
}

void TJigsaw::DeclineResume() {
  DiscardSavedGame();
  LoadGift();
  StartGame();
}

void TJigsaw::EndGame(bool save) {
  if (save) SaveGame();
  // Saved, or not to be saved, the game has ended normally.
  RemoveRecovery();
  LeaveGame();
}

void TJigsaw::LeaveGame() {
  StopAutoSolve();
  State = NotStarted;
}

void TJigsaw::SaveGame() {
  if (IsPlaying()) TSavedGamePlace(Gift.ExePath).Write(ComposeSavedGame(*this));
}

void TJigsaw::DiscardSavedGame() {
  StopAutoSolve();
  const TSavedGamePlace place(Gift.ExePath);
  place.Remove(Record);
  QFile::remove(place.Recovery());
  Extras = {};
}

void TJigsaw::RemoveRecovery() { QFile::remove(TSavedGamePlace(Gift.ExePath).Recovery()); }
