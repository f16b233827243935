// The session of the game object: the one road from a loaded gift to a board
// in play, the resumed game declined, the game kept safe while it is played,
// and its end. The player's window, the tests, the benchmarks and the gift
// tool all start a game here.

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#include "game/jigsaw.h"
#include "game/savedgame.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/utility.h"

bool TJigsaw::StartGame(TOpening opening) {
  BuildPuzzle();
  return BeginPlay(opening);
}

bool TJigsaw::BeginPlay(TOpening opening) {
  const bool resumed = LayOut(opening);
  ResizeBoard(std::uint16_t(Window.PlayAreaWidth), std::uint16_t(Window.PlayAreaHeight));
  // The board as it starts is where undo ends.
  NoteChanges();
  return resumed;
}

bool TJigsaw::LayOut(TOpening opening) {
  std::optional<TSavedGame> saved;
  if (opening == TOpening::ResumeOrNew) {
    TSavedGame::TSearch search = TSavedGame::Find(*this);
    if (!search.Problem.isEmpty()) MessageDlg(search.Problem, TMsgType::Warning, TMsgButtons::Ok);
    saved = std::move(search.Found);
  }
  if (saved) {
    saved->Restore(*this);
    SetState(Playing);
    RebuildSaved();
  } else {
    StartNewLayout();
    SetState(Playing);
  }
  Recovery.Restart();
  History.Restart();
  return saved.has_value();
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

void TJigsaw::WriteRecovery() {
  // Never of a game half way through a gesture or a move: auto-solve lets
  // the clock tick only between its moves.
  if (!IsAtRest() || Gift.ExePath.isEmpty() || !Recovery.Due()) return;
  const TSavedGamePlace place(Gift.ExePath);
  try {
    QDir().mkpath(QFileInfo(place.Recovery()).absolutePath());
    Recovery.Offer(place.Recovery(), ComposeSavedGame(*this));
    recoveryFailing_ = false;
  } catch (const EError& e) {
    // A full disk or a read-only state folder: the game goes on, the status
    // line says so once, and the next tick tries again.
    if (!recoveryFailing_)
      ShowStatus(QStringLiteral("The game cannot be kept safe against a crash: \"%1\" cannot be written (%2).")
                     .arg(QDir::toNativeSeparators(place.Recovery()), e.Message()));
    recoveryFailing_ = true;
  }
}

void TJigsaw::SaveGame() {
  // What a motion holds afloat is written where it comes to rest.
  SettleAnimations();
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
