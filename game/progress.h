#pragma once
// The sentences that report how a game went: the congratulations text and
// the texts of "About this jigsaw", made from the puzzle record alone so that
// the windows showing them need no game object.

#include <QString>

#include <optional>

#include "game/puzzlerecord.h"

// What "About this jigsaw" shows.
struct TAboutInfo {
  QString Title;
  QString Creator;
  QString Statistics;  // pieces, grid and picture size
  QString Creation;    // date, creator version and version note
  QString Status;      // solved pieces and the cheat suffix
  // Present only when the gift lets its description be shown; otherwise the
  // window keeps its own text.
  std::optional<QString> Description;

  friend bool operator==(const TAboutInfo&, const TAboutInfo&) = default;
};

// How the player got there: auto-solve outweighs any count of cheats.
QString CheatSuffix(const TPuzzleRecord& record);

// "You solved all 54 pieces in 3 minutes and 7 seconds without cheating!"
QString CompletionText(const TPuzzleRecord& record);

// " (as v4)" when the creator version does not match the one that writes the
// record's format version; empty when it does or the format is unknown.
QString VersionNote(const TPuzzleRecord& record);

TAboutInfo AboutInfo(const TPuzzleRecord& record);
