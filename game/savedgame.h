#pragma once
// The saved game: where a gift's saved game lies, the whole file composed
// from the game being played, and a file read back and checked completely
// against the puzzle built from the gift before the game takes anything from
// it.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "game/extrasrecord.h"
#include "game/puzzlerecord.h"

class TJigsaw;

// Where a gift's saved game lies: beside the gift, its extension replaced by
// ".sav", or, for a gift in a folder the user cannot write, in this
// program's folder of the user's state folder ($XDG_STATE_HOME, by default
// ~/.local/state), named after the gift's file name and a hash of its full
// path, so that no two gifts share one. An empty gift path has no place.
class TSavedGamePlace {
 public:
  explicit TSavedGamePlace(const QString& giftPath);

  const QString& Beside() const { return beside_; }
  const QString& InStateFolder() const { return inStateFolder_; }
  // The recovery file of the game being played, in the state folder beside
  // the saved game kept there, with ".recovery" for ".sav".
  const QString& Recovery() const { return recovery_; }

  // The saved game to resume, empty when there is none. When both places
  // hold one, the newer: a save that could not replace the one beside the
  // gift went to the state folder.
  QString Existing() const;
  // Writes the whole file beside the gift, else in the state folder, each
  // time to a new file in the same folder that replaces the old one only
  // once all of it is on disk; the copy in the other place then goes. EError
  // saying why when neither place takes it; every file is then as it was.
  void Write(std::span<const std::uint8_t> bytes) const;
  // Deletes the saved game in both places; EError when one remains.
  void Remove() const;

 private:
  QString beside_;
  QString inStateFolder_;
  QString recovery_;
};

// Writes bytes to a new file in the folder of path, flushed to disk, and
// only then puts it in path's place; EError saying why otherwise, the file at
// path as it was.
void WriteReplacing(const QString& path, std::span<const std::uint8_t> bytes);

// The file of the game being played: the sections of its format version.
// Sets the extras record's window colour and tray count first.
std::vector<std::uint8_t> ComposeSavedGame(TJigsaw& game);

class TSavedGame {
 public:
  // The gift's saved game, read and checked; none when there is none, or
  // when it cannot be read: it is then kept under a new name beside itself
  // and the user is told why a new game starts.
  static std::optional<TSavedGame> Find(const TJigsaw& game);
  // The file at path, parsed and checked against the puzzle the game built
  // from its gift: every section present and of its size, the grid and the
  // picture the gift's, the scale one the picture can be cut at, the trays
  // numbered and bounded, every piece in a tray the file has, its group and
  // rotation in range. EError with the reason otherwise.
  static TSavedGame Read(const QString& path, const TJigsaw& game);

  // Gives the game the saved records, pieces, trays and options; everything
  // was checked, so nothing fails half way. The board is rebuilt afterwards.
  void Restore(TJigsaw& game) const;

  const TPuzzleRecord& Puzzle() const { return puzzle_; }
  const TExtrasRecord& Extras() const { return extras_; }

 private:
  TSavedGame() = default;

  std::vector<std::uint8_t> bytes_;
  TPuzzleRecord puzzle_;
  TExtrasRecord extras_;
  // Where the piece blocks, the tray records and the options block start.
  std::size_t piecesAt_ = 0;
  std::size_t traysAt_ = 0;
  std::size_t optionsAt_ = 0;
};
