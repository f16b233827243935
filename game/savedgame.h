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
#include "game/jigconfig.h"
#include "game/puzzlerecord.h"
#include "play/boardstate.h"

class TJigsaw;

// Where a gift's saved game lies: beside the gift, under the gift's file
// name with ".sav" added, or, for a gift in a folder the user cannot write,
// in this program's folder of the user's state folder ($XDG_STATE_HOME, by
// default ~/.local/state), named after the gift's file name and a hash of its
// full path, so that no two gifts share one. Earlier players put the saved
// game beside the gift with ".sav" in place of the gift's extension; a game
// saved there is still found. An empty gift path has no place.
//
// A name beside the gift can be another file's too: "gift.sav" is the saved
// game of "gift" and was that of "gift.exe". A file under a name only this
// gift can take is this gift's; under a shared name it is this gift's only
// when its puzzle record names this gift's puzzle, and is otherwise never
// renamed, replaced or deleted. The gift's own file never is either.
class TSavedGamePlace {
 public:
  explicit TSavedGamePlace(const QString& giftPath);

  const QString& Beside() const { return beside_; }
  // The name earlier players used, when it is not Beside() and not the gift
  // itself; else empty.
  const QString& Earlier() const { return earlier_; }
  const QString& InStateFolder() const { return inStateFolder_; }
  // The recovery file of the game being played, in the state folder beside
  // the saved game kept there, with ".recovery" for ".sav".
  const QString& Recovery() const { return recovery_; }
  // The file whose lock says that a player plays this gift.
  const QString& Lock() const { return lock_; }

  // A file that may hold this gift's game: Shared when its name is
  // another file's saved game too.
  struct TCandidate {
    QString Path;
    bool Shared = false;
  };
  // The files to resume from, best first: the recovery file (a normal end
  // removes it, so it is newer than any saved game), then the saved games
  // that lie in any of the places, newer first: a save that could not
  // replace the one beside the gift went to the state folder.
  std::vector<TCandidate> Candidates() const;
  // Writes the whole file beside the gift, else in the state folder, each
  // time to a new file in the same folder that replaces the old one only
  // once all of it is on disk; the copies in the other places then go.
  // Beside the gift only a file that is this gift's saved game is replaced.
  // EError saying why when neither place takes it; every file is then as it
  // was.
  void Write(std::span<const std::uint8_t> bytes) const;
  // Deletes the gift's saved game, the puzzle's record telling this gift's
  // from another's, in every place; EError when one remains.
  void Remove(const TPuzzleRecord& puzzle) const;
  // Deletes what saves and recovery writes killed half way left behind: the
  // temporary files beside every name only this gift writes. Only while no
  // other player of this gift runs, for those files may be its writes.
  void RemoveUnfinishedWrites() const;

 private:
  // No file but the gift can take path as its saved game.
  bool OursAlone(const QString& path) const;
  // Earlier(), unless a gift named like it without ".sav" takes it as its
  // own saved game; else empty.
  QString EarlierInUse() const;
  // The file at path is this gift's saved game, to be replaced or deleted.
  bool IsOurs(const QString& path, const TPuzzleRecord& puzzle) const;

  QString gift_;
  QString beside_;
  QString earlier_;
  QString inStateFolder_;
  QString recovery_;
  QString lock_;
};

// Whether two puzzle records are of one gift's puzzle: its seed, creation
// time, title, creator and grid.
bool SameGift(const TPuzzleRecord& a, const TPuzzleRecord& b);

// The file of the game being played: the sections of its format version.
// Sets the extras record's window colour and tray count first.
std::vector<std::uint8_t> ComposeSavedGame(TJigsaw& game);

class TSavedGame {
 public:
  // What a search for the gift's saved game found, and what the person is
  // to be told about the files it could not read (empty when nothing).
  struct TSearch;
  // The gift's saved game, read and checked: the best of the candidates
  // that reads. One that cannot be read is kept under a new name beside
  // itself, and the search says why and what is resumed instead, or that a
  // new game starts (none found). A file under a shared name that is not
  // this gift's is left alone.
  static TSearch Find(const TJigsaw& game);
  // The file at path, parsed and checked against the puzzle the game built
  // from its gift: every section present and of its size, the grid and the
  // picture the gift's, the scale one the picture can be cut at, the trays
  // numbered and bounded, every piece in a tray the file has, its group and
  // rotation in range. EError with the reason otherwise.
  static TSavedGame Read(const QString& path, const TJigsaw& game);

  // Gives the game the saved records, its board and its options; everything
  // was checked, so nothing fails half way. The pictures are made afterwards.
  void Restore(TJigsaw& game) const;

  const TPuzzleRecord& Puzzle() const { return puzzle_; }
  const TExtrasRecord& Extras() const { return extras_; }

 private:
  TSavedGame() = default;

  TPuzzleRecord puzzle_;
  TExtrasRecord extras_;
  // Its pieces' places on the play area are left to the layout of the
  // resume: the file keeps only their places in proportion to the picture.
  TBoardState board_;
  TJigConfig::TBlock options_{};
};

struct TSavedGame::TSearch {
  std::optional<TSavedGame> Found;
  QString Problem;
};
