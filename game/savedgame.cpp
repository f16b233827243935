#include "game/savedgame.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <utility>

#include "game/gift.h"
#include "game/jigsaw.h"
#include "game/savedboard.h"
#include "pieces/pieces.h"
#include "platform/errors.h"
#include "platform/replacingfile.h"
#include "play/box.h"

namespace {

// Files of format 3 on have the extras record and the tray records; 5 is
// the format of every game this player starts.
constexpr std::int16_t OldestFormat = 1;
constexpr std::int16_t FirstFormatWithExtras = 3;
constexpr std::int16_t NewestFormat = 5;

// Every piece a record can count, and a tray for each but one.
constexpr std::size_t LargestFile = std::size_t(TPuzzleRecord::FileSize) + TExtrasRecord::FileSize +
                                    0xFFFF * PieceEntrySize + 0xFFFE * TBox::RecordSize +
                                    TJigConfig::BlockSize;

constexpr std::uint16_t MaxOddness = 10;
constexpr std::int32_t ClassicStyle = 1, MixStyle = 6;

constexpr int StateNameLength = 64;  // of the gift's name, in the state folder's file name
constexpr int HashLength = 12;

bool HasExtras(std::int16_t formatVersion) { return formatVersion >= FirstFormatWithExtras; }

// The name of the gift's saved game beside it: its whole file name with
// ".sav" added, so that gifts whose names differ only after a dot do not
// share one.
QString SavedGameName(const QString& giftPath) { return giftPath + QStringLiteral(".sav"); }

// The name earlier players gave it: the extension of the file name replaced
// by ".sav", or ".sav" added when it has none.
QString EarlierSavedGameName(const QString& giftPath) {
  const qsizetype slash = giftPath.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = giftPath.lastIndexOf(QLatin1Char('.'));
  return (dot > slash + 1 ? giftPath.left(dot) : giftPath) + QStringLiteral(".sav");
}

// Both names lead to one file.
bool SameFile(const QString& a, const QString& b) {
  struct stat sa {}, sb {};
  return stat(QFile::encodeName(a).constData(), &sa) == 0 && stat(QFile::encodeName(b).constData(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The puzzle record at the start of a regular file, never through a
// symbolic link; none when there is no such file or it is shorter.
std::optional<TPuzzleRecord> PuzzleRecordOf(const QString& path) {
  const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  TPuzzleRecord::TBytes bytes{};
  struct stat info {};
  std::size_t got = 0;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
    while (got < bytes.size()) {
      const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += std::size_t(n);
    }
  close(fd);
  if (got < bytes.size()) return std::nullopt;
  return TPuzzleRecord::FromBytes(bytes);
}

// A file that ends in a gift's trailer is a gift, whatever its name: a gift
// named like a saved game is never taken for one.
bool IsGiftFile(const QString& path) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
  try {
    ReadGiftTrailer(file);
    return true;
  } catch (const EError&) {
    return false;
  }
}

bool HoldsGameOf(const QString& path, const TPuzzleRecord& puzzle) {
  const std::optional<TPuzzleRecord> held = PuzzleRecordOf(path);
  return held && SameGift(*held, puzzle);
}

// Why the file at path may not be replaced by a saved game of puzzle; empty
// when nothing lies there or it is that game's saved game.
QString WhyNotReplaced(const QString& path, const TPuzzleRecord& puzzle) {
  struct stat info {};
  if (lstat(QFile::encodeName(path).constData(), &info) != 0) return {};
  if (S_ISDIR(info.st_mode)) return qt_error_string(EISDIR);
  if (S_ISLNK(info.st_mode)) return QStringLiteral("a symbolic link lies there");
  if (!S_ISREG(info.st_mode)) return QStringLiteral("it is not a regular file");
  // A file that cannot be read cannot be told to be the game's.
  if (const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
      fd >= 0)
    close(fd);
  else
    return qt_error_string(errno);
  if (IsGiftFile(path) || !HoldsGameOf(path, puzzle))
    return QStringLiteral("it holds a file that is not this gift's saved game");
  return {};
}

// Leftovers of a write to path: its name, a dot and the six letters or
// digits that mkstemp puts in place of "XXXXXX".
bool IsTemporaryOf(const QString& name, const QString& path) {
  const QString prefix = QFileInfo(path).fileName() + QLatin1Char('.');
  if (name.size() != prefix.size() + 6 || !name.startsWith(prefix)) return false;
  return std::all_of(name.begin() + prefix.size(), name.end(), [](QChar c) {
    return c.unicode() < 128 && std::isalnum(int(c.unicode()));
  });
}

QString StateFolder() {
  // As the XDG base directories have it, a relative $XDG_STATE_HOME is
  // ignored.
  const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
  const QString base =
      QDir::isAbsolutePath(configured) ? configured : QDir::homePath() + QStringLiteral("/.local/state");
  return base + QStringLiteral("/tessarine-gift");
}

// Moves the file at path to a name beside it that nothing has yet, never
// replacing what lies at a name taken, a planted link included. The new
// name, or empty when the file stays where it is.
QString SetAside(const QString& path) {
  const QByteArray from = QFile::encodeName(path);
  const QString base = path + QStringLiteral(".damaged");
  for (int n = 1; n < 1000; ++n) {
    const QString name = n == 1 ? base : base + QLatin1Char('.') + QString::number(n);
    const QByteArray to = QFile::encodeName(name);
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return name;
    if (errno == EEXIST) continue;
    // A file system that cannot rename without replacing: the name is
    // looked at first.
    if (errno != EINVAL && errno != ENOSYS) return {};
    struct stat info {};
    if (lstat(to.constData(), &info) == 0) continue;
    return rename(from.constData(), to.constData()) == 0 ? name : QString();
  }
  return {};
}

[[noreturn]] void Refuse(const QString& reason) { throw EError(reason); }

// The extras a file of format 1 or 2 stands for: it has none of its own.
TExtrasRecord OlderFormatExtras(const TExtrasRecord& current, TColor windowColour) {
  TExtrasRecord extras;
  extras.FirstShownTray = 1;
  extras.CountDown = current.CountDown;
  extras.LimitSeconds = 600;
  extras.WindowColour = windowColour;
  return extras;
}

// The saved puzzle is the gift's: the grid it was fitted, the picture it
// decoded, and values the cut and the clock can work with.
void CheckPuzzle(const TPuzzleRecord& saved, const TExtrasRecord& extras, const TJigsaw& game) {
  const TPuzzleRecord& built = game.Record;
  if (saved.Columns != built.Columns || saved.Rows != built.Rows)
    Refuse(
        QStringLiteral("it belongs to another puzzle: its grid of %1 x %2 pieces is not this gift's %3 x %4.")
            .arg(saved.Columns)
            .arg(saved.Rows)
            .arg(built.Columns)
            .arg(built.Rows));
  if (std::size_t(saved.PieceCount) != std::size_t(saved.Columns) * saved.Rows ||
      std::size_t(saved.PieceCount) != game.Pieces.size())
    Refuse(QStringLiteral("its piece count of %1 does not match its grid of %2 x %3 pieces.")
               .arg(saved.PieceCount)
               .arg(saved.Columns)
               .arg(saved.Rows));
  if (saved.PictureWidth != game.OriginalPicture.Width() ||
      saved.PictureHeight != game.OriginalPicture.Height())
    Refuse(QStringLiteral("it belongs to another picture: %1 x %2 pixels where this gift's has %3 x %4.")
               .arg(saved.PictureWidth)
               .arg(saved.PictureHeight)
               .arg(game.OriginalPicture.Width())
               .arg(game.OriginalPicture.Height()));
  if (saved.ShapeStyle < ClassicStyle || saved.ShapeStyle > MixStyle)
    Refuse(QStringLiteral("its shape style %1 is not one of the six.").arg(saved.ShapeStyle));
  if (saved.Oddness > MaxOddness) Refuse(QStringLiteral("its oddness of %1 is above 10.").arg(saved.Oddness));
  if (!CanCutAtScale(saved, saved.ScalePercent))
    Refuse(QStringLiteral("its pieces at %1 % of the picture's size cannot be cut.").arg(saved.ScalePercent));
  if (saved.NextGroupId < 0 || saved.NextGroupId >= TPieces::GroupLimit)
    Refuse(QStringLiteral("its group counter %1 cannot come from a game.").arg(saved.NextGroupId));
  if (saved.ElapsedSeconds < 0 || extras.LimitSeconds < 0)
    Refuse(QStringLiteral("its clock holds a negative time."));
  // Any other value would stop the clock and be written back as it came.
  if (saved.Completed > 1)
    Refuse(QStringLiteral("its completion mark %1 is neither 0 nor 1.").arg(saved.Completed));
}

// A joined piece is lifted, turned and dropped with every piece of its
// group, so a game never leaves a group in two trays or turned two ways;
// restored, such a group would be dropped into a tray that lists a piece
// twice.
void CheckGroups(std::span<const TPieceState> pieces) {
  std::vector<std::size_t> byGroup(pieces.size());
  std::iota(byGroup.begin(), byGroup.end(), 0);
  std::stable_sort(byGroup.begin(), byGroup.end(),
                   [&](std::size_t a, std::size_t b) { return pieces[a].Group < pieces[b].Group; });
  for (auto run = byGroup.begin(); run != byGroup.end();) {
    const TPieceState& first = pieces[*run];
    const auto end =
        std::find_if(run, byGroup.end(), [&](std::size_t i) { return pieces[i].Group != first.Group; });
    const auto astray = std::find_if(run, end, [&](std::size_t i) {
      return pieces[i].Tray != first.Tray || pieces[i].Rotation != first.Rotation;
    });
    if (astray != end && std::any_of(run, end, [&](std::size_t i) { return pieces[i].Joined; }))
      Refuse(QStringLiteral("pieces %1 and %2 are joined but lie in different trays or are turned differently.")
                 .arg(*run + 1)
                 .arg(*astray + 1));
    run = end;
  }
}

// The board the file holds: its pieces and trays, every piece in the board
// tray or in one the file has, and the counters of its records.
TBoardState ReadBoard(const TPuzzleRecord& saved, const TExtrasRecord& extras, std::span<const std::uint8_t> pieces,
                      std::span<const std::uint8_t> trays) {
  TBoardState board;
  board.Pieces = ReadPieceBlocks(pieces, saved.PieceCount, saved.CellHeight);
  TBoardFrame& frame = board.Frame;
  frame.Trays = ReadTrayRecords(trays, trays.size() / TBox::RecordSize);
  for (std::size_t i = 0; i < board.Pieces.size(); ++i) {
    const std::int32_t tray = board.Pieces[i].Tray;
    if (tray != 0 && std::none_of(frame.Trays.begin(), frame.Trays.end(),
                                  [&](const TTrayState& t) { return std::int64_t(t.Number) == tray; }))
      Refuse(QStringLiteral("piece %1 lies in tray %2, which the file does not have.").arg(i + 1).arg(tray));
  }
  CheckGroups(board.Pieces);
  frame.Counters = extras;
  frame.NextGroupId = saved.NextGroupId;
  frame.Completed = saved.Completed;
  frame.ScalePercent = saved.ScalePercent;
  frame.ZoomPercent = saved.ScalePercent;
  frame.ShapeStyle = saved.ShapeStyle;
  frame.Oddness = saved.Oddness;
  return board;
}

void Append(std::vector<std::uint8_t>& bytes, std::span<const std::uint8_t> section) {
  bytes.insert(bytes.end(), section.begin(), section.end());
}

}  // namespace

bool SameGift(const TPuzzleRecord& a, const TPuzzleRecord& b) {
  return a.Seed == b.Seed && a.CreatedAt == b.CreatedAt && a.Title == b.Title && a.Creator == b.Creator &&
         a.Columns == b.Columns && a.Rows == b.Rows;
}

TSavedGamePlace::TSavedGamePlace(const QString& giftPath) {
  if (giftPath.isEmpty()) return;
  gift_ = giftPath;
  beside_ = SavedGameName(giftPath);
  if (const QString earlier = EarlierSavedGameName(giftPath); earlier != beside_ && earlier != giftPath)
    earlier_ = earlier;
  const QByteArray hash =
      QCryptographicHash::hash(QFileInfo(giftPath).absoluteFilePath().toUtf8(), QCryptographicHash::Sha256);
  // The state folder's names stay those of earlier players.
  const QString stem = StateFolder() + QLatin1Char('/') +
                       QFileInfo(EarlierSavedGameName(giftPath)).completeBaseName().left(StateNameLength) +
                       QLatin1Char('-') + QString::fromLatin1(hash.toHex().left(HashLength));
  inStateFolder_ = stem + QStringLiteral(".sav");
  recovery_ = stem + QStringLiteral(".recovery");
  lock_ = stem + QStringLiteral(".lock");
}

bool TSavedGamePlace::OursAlone(const QString& path) const {
  // Earlier players took NAME.sav for a gift named NAME or NAME.EXT, this
  // one for a gift named NAME.
  const QFileInfo info(path);
  const QString name = info.fileName();
  if (!name.endsWith(QStringLiteral(".sav"))) return false;
  const QString stem = name.chopped(4);
  const QDir folder = info.absoluteDir();
  for (const QString& other :
       folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
    if (other == name) continue;
    const bool claims = other == stem || (other.startsWith(stem + QLatin1Char('.')) && other.size() > stem.size() + 1 &&
                                          !other.mid(stem.size() + 1).contains(QLatin1Char('.')));
    if (claims && !SameFile(folder.filePath(other), gift_)) return false;
  }
  return true;
}

QString TSavedGamePlace::EarlierInUse() const {
  // NAME.sav is the saved game of a gift named NAME, when there is one.
  if (earlier_.isEmpty()) return {};
  const QString owner = earlier_.chopped(4);
  return QFileInfo(owner).exists() || QFileInfo(owner).isSymLink() ? QString() : earlier_;
}

std::vector<TSavedGamePlace::TCandidate> TSavedGamePlace::Candidates() const {
  const auto usable = [this](const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile() && !SameFile(path, gift_) && !IsGiftFile(path);
  };
  std::vector<TCandidate> candidates;
  if (usable(recovery_)) candidates.push_back({recovery_, false});
  std::vector<TCandidate> saved;
  if (usable(beside_)) saved.push_back({beside_, !OursAlone(beside_)});
  if (usable(inStateFolder_)) saved.push_back({inStateFolder_, false});
  if (usable(EarlierInUse())) saved.push_back({earlier_, !OursAlone(earlier_)});
  std::stable_sort(saved.begin(), saved.end(), [](const TCandidate& a, const TCandidate& b) {
    return QFileInfo(a.Path).lastModified() > QFileInfo(b.Path).lastModified();
  });
  candidates.insert(candidates.end(), saved.begin(), saved.end());
  return candidates;
}

void TSavedGamePlace::Write(std::span<const std::uint8_t> bytes) const {
  if (beside_.isEmpty() || bytes.size() < std::size_t(TPuzzleRecord::FileSize))
    throw EError(QStringLiteral("The game could not be saved: no gift was loaded."));
  const TPuzzleRecord puzzle = TPuzzleRecord::FromBytes(bytes.first<TPuzzleRecord::FileSize>());
  const auto removeOthers = [&](const QString& kept) {
    for (const QString& path : {beside_, inStateFolder_, EarlierInUse()})
      if (path != kept && IsOurs(path, puzzle)) QFile::remove(path);
  };
  QString besideError = WhyNotReplaced(beside_, puzzle);
  if (besideError.isEmpty()) {
    try {
      WriteReplacing(beside_, bytes);
      removeOthers(beside_);
      return;
    } catch (const EError& e) {
      besideError = e.Message();
    }
  }
  try {
    QDir().mkpath(QFileInfo(inStateFolder_).absolutePath());
    WriteReplacing(inStateFolder_, bytes);
    removeOthers(inStateFolder_);
  } catch (const EError& e) {
    throw EError(QStringLiteral("The game could not be saved: neither \"%1\" (%2) nor \"%3\" (%4) could be "
                                "written. A game saved before is kept as it was.")
                     .arg(QDir::toNativeSeparators(beside_), besideError,
                          QDir::toNativeSeparators(inStateFolder_), e.Message()));
  }
}

bool TSavedGamePlace::IsOurs(const QString& path, const TPuzzleRecord& puzzle) const {
  // Never a link: what it leads to is not the player's to delete.
  const QFileInfo info(path);
  if (path.isEmpty() || info.isSymLink() || !info.isFile() || SameFile(path, gift_) || IsGiftFile(path))
    return false;
  return path == inStateFolder_ || OursAlone(path) || HoldsGameOf(path, puzzle);
}

void TSavedGamePlace::Remove(const TPuzzleRecord& puzzle) const {
  QStringList failures;
  for (const QString& path : {beside_, inStateFolder_, EarlierInUse()}) {
    QFile file(path);
    if (IsOurs(path, puzzle) && !file.remove())
      failures << QStringLiteral("\"%1\" (%2)").arg(QDir::toNativeSeparators(path), file.errorString());
  }
  if (!failures.isEmpty())
    throw EError(
        QStringLiteral("The saved game could not be deleted: %1.").arg(failures.join(QStringLiteral(", "))));
}

void TSavedGamePlace::RemoveUnfinishedWrites() const {
  // A name another file shares may be written by another gift's player.
  for (const QString& path : {beside_, inStateFolder_, recovery_}) {
    if (path.isEmpty() || (path == beside_ && !OursAlone(path))) continue;
    const QDir folder = QFileInfo(path).absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
      if (!IsTemporaryOf(name, path)) continue;
      // Only files this user's writes made, never through a link.
      const QByteArray leftover = QFile::encodeName(folder.filePath(name));
      struct stat info {};
      if (lstat(leftover.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid())
        unlink(leftover.constData());
    }
  }
}

std::vector<std::uint8_t> ComposeSavedGame(TJigsaw& game) {
  const TBoardState board = game.CaptureBoard();
  game.Extras.WindowColour = game.Window.Color();
  game.Extras.TrayCount = board.Frame.Counters.TrayCount;
  // A game of an older format has no trays but the board, and its reader
  // expects no tray records. Once it has a tray it takes the first format
  // that keeps them, which cuts as the older ones do: written without them,
  // the pieces in the tray would make the file unreadable.
  if (!HasExtras(game.Record.FormatVersion) && !board.Frame.Trays.empty())
    game.Record.FormatVersion = FirstFormatWithExtras;
  const bool extras = HasExtras(game.Record.FormatVersion);

  // Zoomed or not, the file is that of the whole board.
  std::vector<TTrayState> trays = board.Frame.Trays;
  for (TTrayState& tray : trays) tray.Bounds = game.WholeBoardRect(tray.Bounds);
  std::vector<std::uint8_t> bytes;
  Append(bytes, game.WholeBoardRecord().ToBytes());
  if (extras) Append(bytes, game.Extras.ToBytes());
  Append(bytes, WritePieceBlocks(game.WholeBoardHomes(), board.Pieces));
  if (extras) Append(bytes, WriteTrayRecords(trays));
  Append(bytes, game.WholeBoardOptions());
  return bytes;
}

TSavedGame::TSearch TSavedGame::Find(const TJigsaw& game) {
  const TSavedGamePlace place(game.Gift.ExePath);
  QString unreadable;
  for (const TSavedGamePlace::TCandidate& candidate : place.Candidates()) {
    try {
      TSavedGame saved = Read(candidate.Path, game);
      if (candidate.Shared && !SameGift(saved.puzzle_, game.Record)) continue;
      TSearch search{std::move(saved), {}};
      if (!unreadable.isEmpty())
        search.Problem = QStringLiteral("The saved game could not be read: %1 The game saved in \"%2\" is resumed "
                                        "instead.")
                             .arg(unreadable, QDir::toNativeSeparators(candidate.Path));
      return search;
    } catch (const EError& e) {
      // Another gift's file under a name both may take stays as it is.
      if (candidate.Shared && !HoldsGameOf(candidate.Path, game.Record)) continue;
      QString reason = e.Message();
      if (const QString kept = SetAside(candidate.Path); !kept.isEmpty())
        reason += QStringLiteral(" The file is kept as \"%1\".").arg(QDir::toNativeSeparators(kept));
      unreadable += (unreadable.isEmpty() ? QString() : QStringLiteral(" Another copy could not be read either: ")) +
                    reason;
    }
  }
  if (unreadable.isEmpty()) return {};
  return {std::nullopt, QStringLiteral("The saved game could not be read and a new game was started: %1").arg(unreadable)};
}

TSavedGame TSavedGame::Read(const QString& path, const TJigsaw& game) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    Refuse(QStringLiteral("the file cannot be opened (%1).").arg(file.errorString()));
  if (std::size_t(file.size()) > LargestFile)
    Refuse(QStringLiteral("the file is larger than any saved game (%1 bytes).").arg(file.size()));
  const QByteArray data = file.readAll();
  if (data.size() != file.size())
    Refuse(QStringLiteral("the file cannot be read (%1).").arg(file.errorString()));

  TSavedGame saved;
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                            std::size_t(data.size()));
  if (bytes.size() < std::size_t(TPuzzleRecord::FileSize))
    Refuse(QStringLiteral("the file ends inside its puzzle record, after %1 bytes.").arg(bytes.size()));
  saved.puzzle_ = TPuzzleRecord::FromBytes(bytes.first<TPuzzleRecord::FileSize>());
  const std::int16_t version = saved.puzzle_.FormatVersion;
  if (version > NewestFormat)
    Refuse(QStringLiteral("it was saved by a newer version of the player (format %1).").arg(version));
  if (version < OldestFormat)
    Refuse(QStringLiteral("its format version %1 is not a saved game's.").arg(version));

  std::size_t at = TPuzzleRecord::FileSize;
  if (HasExtras(version)) {
    if (bytes.size() < at + TExtrasRecord::FileSize)
      Refuse(QStringLiteral("the file ends inside its second record, after %1 bytes.").arg(bytes.size()));
    saved.extras_ = TExtrasRecord::FromBytes(bytes.subspan(at).first<TExtrasRecord::FileSize>());
    at += TExtrasRecord::FileSize;
  } else {
    saved.extras_ = OlderFormatExtras(game.Extras, game.Window.Color());
  }
  CheckPuzzle(saved.puzzle_, saved.extras_, game);

  const std::size_t trayRecords = saved.extras_.TrayCount >= 2 ? saved.extras_.TrayCount - 1u : 0;
  const std::size_t traysAt = at + saved.puzzle_.PieceCount * PieceEntrySize;
  const std::size_t optionsAt = traysAt + trayRecords * TBox::RecordSize;
  const std::size_t size = optionsAt + TJigConfig::BlockSize;
  if (bytes.size() < size)
    Refuse(QStringLiteral("the file ends early: it has %1 bytes where its sections take %2.")
               .arg(bytes.size())
               .arg(size));
  if (bytes.size() > size)
    Refuse(QStringLiteral("the file has %1 bytes after its last section.").arg(bytes.size() - size));

  saved.board_ = ReadBoard(saved.puzzle_, saved.extras_, bytes.subspan(at, traysAt - at),
                           bytes.subspan(traysAt, optionsAt - traysAt));
  std::copy(bytes.begin() + std::ptrdiff_t(optionsAt), bytes.end(), saved.options_.begin());
  return saved;
}

void TSavedGame::Restore(TJigsaw& game) const {
  game.Record = puzzle_;
  game.Extras = extras_;
  game.ResumeBoard(board_);
  game.Config.ReadFrom(options_);
}
