#include "game/savedgame.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "game/jigsaw.h"
#include "pieces/pieces.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "play/box.h"

namespace {

// Files of format 3 on have the extras record and the tray records; 5 is
// the format of every game this player starts.
constexpr std::int16_t OldestFormat = 1;
constexpr std::int16_t FirstFormatWithExtras = 3;
constexpr std::int16_t NewestFormat = 5;

constexpr std::size_t PieceEntrySize = TPieces::RecordSizeA + TPieces::RecordSizeB + TPieces::RecordSizeC;
// Every piece a record can count, and a tray for each but one.
constexpr std::size_t LargestFile = std::size_t(TPuzzleRecord::FileSize) + TExtrasRecord::FileSize +
                                    0xFFFF * PieceEntrySize + 0xFFFE * TBox::RecordSize +
                                    TJigConfig::BlockSize;

constexpr std::uint16_t MaxOddness = 10;
constexpr std::int32_t ClassicStyle = 1, MixStyle = 6;

constexpr int StateNameLength = 64;  // of the gift's name, in the state folder's file name
constexpr int HashLength = 12;

bool HasExtras(std::int16_t formatVersion) { return formatVersion >= FirstFormatWithExtras; }

// The path with the extension of its file name replaced by ".sav", or ".sav"
// added when it has none.
QString SavedGameName(const QString& giftPath) {
  const qsizetype slash = giftPath.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = giftPath.lastIndexOf(QLatin1Char('.'));
  return (dot > slash + 1 ? giftPath.left(dot) : giftPath) + QStringLiteral(".sav");
}

QString StateFolder() {
  // As the XDG base directories have it, a relative $XDG_STATE_HOME is
  // ignored.
  const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
  const QString base =
      QDir::isAbsolutePath(configured) ? configured : QDir::homePath() + QStringLiteral("/.local/state");
  return base + QStringLiteral("/tessarine-gift");
}

[[noreturn]] void ThrowSystemError(int error) { throw EError(qt_error_string(error)); }

// A file written under a temporary name in the folder of its final one and
// put in its place only once all of it is on disk, so that a failure at any
// point leaves the old file as it was. The temporary file goes unless it was
// committed.
class TReplacement {
 public:
  explicit TReplacement(const QString& path)
      : path_(QFile::encodeName(path)),
        folder_(QFile::encodeName(QFileInfo(path).absolutePath())),
        temporary_(path_ + QByteArrayLiteral(".XXXXXX")) {
    fd_ = mkstemp(temporary_.data());
    if (fd_ < 0) ThrowSystemError(errno);
  }
  ~TReplacement() {
    if (fd_ >= 0) close(fd_);
    if (!committed_) unlink(temporary_.constData());
  }
  TReplacement(const TReplacement&) = delete;
  TReplacement& operator=(const TReplacement&) = delete;

  void Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
      const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written < 0) ThrowSystemError(errno);
      bytes = bytes.subspan(std::size_t(written));
    }
  }

  void Commit() {
    if (fsync(fd_) != 0) ThrowSystemError(errno);
    if (close(std::exchange(fd_, -1)) != 0) ThrowSystemError(errno);
    if (rename(temporary_.constData(), path_.constData()) != 0) ThrowSystemError(errno);
    committed_ = true;
    // The new name on disk too; a folder that cannot say so still holds
    // either the old file or the new one.
    if (const int fd = open(folder_.constData(), O_RDONLY | O_DIRECTORY); fd >= 0) {
      fsync(fd);
      close(fd);
    }
  }

 private:
  QByteArray path_;
  QByteArray folder_;
  QByteArray temporary_;
  int fd_ = -1;
  bool committed_ = false;
};

// A name beside path that no file has yet, for keeping a file aside.
QString KeptName(const QString& path) {
  const QString base = path + QStringLiteral(".damaged");
  QString name = base;
  for (int n = 2; QFileInfo::exists(name); ++n) name = base + QLatin1Char('.') + QString::number(n);
  return name;
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
void CheckGroups(std::span<const TFormPiece> pieces) {
  std::vector<const TFormPiece*> byGroup;
  for (const TFormPiece& p : pieces) byGroup.push_back(&p);
  std::stable_sort(byGroup.begin(), byGroup.end(),
                   [](const TFormPiece* a, const TFormPiece* b) { return a->Group < b->Group; });
  for (auto run = byGroup.begin(); run != byGroup.end();) {
    const TFormPiece& first = **run;
    const auto end = std::find_if(run, byGroup.end(), [&](const TFormPiece* p) { return p->Group != first.Group; });
    const auto astray = std::find_if(
        run, end, [&](const TFormPiece* p) { return p->Tray != first.Tray || p->Rotation != first.Rotation; });
    if (astray != end && std::any_of(run, end, [](const TFormPiece* p) { return p->Joined; }))
      Refuse(QStringLiteral("pieces %1 and %2 are joined but lie in different trays or are turned differently.")
                 .arg(first.Index + 1)
                 .arg((*astray)->Index + 1));
    run = end;
  }
}

// Every piece record and tray record as the game will read them, on a piece
// set of its own; each piece in the board tray or in one the file has.
void CheckPiecesAndTrays(const TPuzzleRecord& saved, std::span<const std::uint8_t> pieces,
                         std::span<const std::uint8_t> trays) {
  TPuzzleRecord geometry = saved;
  TPieceOptions options;
  TPieces scratch(geometry, options);
  scratch.CreatePieces();
  try {
    pieces = pieces.subspan(scratch.ReadRecordsA(pieces));
    pieces = pieces.subspan(scratch.ReadRecordsB(pieces));
    scratch.ReadRecordsC(pieces);
  } catch (const EError&) {
    Refuse(QStringLiteral("a piece record holds a value no game can have."));
  }

  std::vector<std::uint32_t> numbers{0};
  for (std::size_t at = 0; at < trays.size(); at += TBox::RecordSize) {
    const std::uint32_t number = TBox::RecordNumber(
        std::span<const std::uint8_t, TBox::RecordSize>(trays.subspan(at, TBox::RecordSize)));
    if (number == 0)
      Refuse(QStringLiteral("tray record %1 cannot be a tray.").arg(at / TBox::RecordSize + 1));
    if (std::find(numbers.begin(), numbers.end(), number) != numbers.end())
      Refuse(QStringLiteral("two trays have the number %1.").arg(number));
    numbers.push_back(number);
  }
  for (const TFormPiece& p : scratch.Pieces)
    if (std::find(numbers.begin(), numbers.end(), std::uint32_t(p.Tray)) == numbers.end())
      Refuse(QStringLiteral("piece %1 lies in tray %2, which the file does not have.")
                 .arg(p.Index + 1)
                 .arg(p.Tray));
  CheckGroups(scratch.Pieces);
}

void Append(std::vector<std::uint8_t>& bytes, std::span<const std::uint8_t> section) {
  bytes.insert(bytes.end(), section.begin(), section.end());
}

}  // namespace

void WriteReplacing(const QString& path, std::span<const std::uint8_t> bytes) {
  TReplacement file(path);
  file.Write(bytes);
  file.Commit();
}

TSavedGamePlace::TSavedGamePlace(const QString& giftPath) {
  if (giftPath.isEmpty()) return;
  beside_ = SavedGameName(giftPath);
  const QByteArray hash =
      QCryptographicHash::hash(QFileInfo(giftPath).absoluteFilePath().toUtf8(), QCryptographicHash::Sha256);
  inStateFolder_ = StateFolder() + QLatin1Char('/') +
                   QFileInfo(beside_).completeBaseName().left(StateNameLength) + QLatin1Char('-') +
                   QString::fromLatin1(hash.toHex().left(HashLength)) + QStringLiteral(".sav");
  recovery_ = inStateFolder_.left(inStateFolder_.size() - 4) + QStringLiteral(".recovery");
}

QString TSavedGamePlace::Existing() const {
  const QFileInfo beside(beside_), inState(inStateFolder_);
  if (!inState.isFile()) return beside.isFile() ? beside_ : QString();
  if (!beside.isFile()) return inStateFolder_;
  return inState.lastModified() > beside.lastModified() ? inStateFolder_ : beside_;
}

void TSavedGamePlace::Write(std::span<const std::uint8_t> bytes) const {
  if (beside_.isEmpty()) throw EError(QStringLiteral("The game could not be saved: no gift was loaded."));
  QString besideError;
  try {
    WriteReplacing(beside_, bytes);
    QFile::remove(inStateFolder_);
    return;
  } catch (const EError& e) {
    besideError = e.Message();
  }
  try {
    QDir().mkpath(QFileInfo(inStateFolder_).absolutePath());
    WriteReplacing(inStateFolder_, bytes);
    QFile::remove(beside_);
  } catch (const EError& e) {
    throw EError(QStringLiteral("The game could not be saved: neither \"%1\" (%2) nor \"%3\" (%4) could be "
                                "written. A game saved before is kept as it was.")
                     .arg(QDir::toNativeSeparators(beside_), besideError,
                          QDir::toNativeSeparators(inStateFolder_), e.Message()));
  }
}

void TSavedGamePlace::Remove() const {
  QStringList failures;
  for (const QString& path : {beside_, inStateFolder_}) {
    QFile file(path);
    if (QFileInfo(path).isFile() && !file.remove())
      failures << QStringLiteral("\"%1\" (%2)").arg(QDir::toNativeSeparators(path), file.errorString());
  }
  if (!failures.isEmpty())
    throw EError(
        QStringLiteral("The saved game could not be deleted: %1.").arg(failures.join(QStringLiteral(", "))));
}

std::vector<std::uint8_t> ComposeSavedGame(TJigsaw& game) {
  game.Extras.WindowColour = game.Window.Color();
  const std::vector<std::uint8_t> trays = game.WriteTrays();
  const bool extras = HasExtras(game.Record.FormatVersion);

  std::vector<std::uint8_t> bytes;
  Append(bytes, game.Record.ToBytes());
  if (extras) Append(bytes, game.Extras.ToBytes());
  Append(bytes, game.WriteRecordsA());
  Append(bytes, game.WriteRecordsB());
  Append(bytes, game.WriteRecordsC());
  // A game of an older format has no trays but the board: its reader
  // expects no tray records.
  if (extras) Append(bytes, trays);
  Append(bytes, game.Config.WriteTo());
  return bytes;
}

std::optional<TSavedGame> TSavedGame::Find(const TJigsaw& game) {
  // A recovery file is newer than any saved game: a normal end removes it.
  const TSavedGamePlace place(game.Gift.ExePath);
  const QString path = QFileInfo(place.Recovery()).isFile() ? place.Recovery() : place.Existing();
  if (path.isEmpty()) return std::nullopt;
  try {
    return Read(path, game);
  } catch (const EError& e) {
    QString message =
        QStringLiteral("The saved game could not be read and a new game was started: %1").arg(e.Message());
    const QString kept = KeptName(path);
    if (QFile::rename(path, kept))
      message += QStringLiteral(" The file is kept as \"%1\".").arg(QDir::toNativeSeparators(kept));
    MessageDlg(message, TMsgType::Warning, TMsgButtons::Ok);
    return std::nullopt;
  }
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
  saved.bytes_.assign(data.begin(), data.end());
  const std::span<const std::uint8_t> bytes = saved.bytes_;
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
  saved.piecesAt_ = at;
  saved.traysAt_ = saved.piecesAt_ + saved.puzzle_.PieceCount * PieceEntrySize;
  saved.optionsAt_ = saved.traysAt_ + trayRecords * TBox::RecordSize;
  const std::size_t size = saved.optionsAt_ + TJigConfig::BlockSize;
  if (bytes.size() < size)
    Refuse(QStringLiteral("the file ends early: it has %1 bytes where its sections take %2.")
               .arg(bytes.size())
               .arg(size));
  if (bytes.size() > size)
    Refuse(QStringLiteral("the file has %1 bytes after its last section.").arg(bytes.size() - size));

  CheckPiecesAndTrays(saved.puzzle_, bytes.subspan(saved.piecesAt_, saved.traysAt_ - saved.piecesAt_),
                      bytes.subspan(saved.traysAt_, saved.optionsAt_ - saved.traysAt_));
  return saved;
}

void TSavedGame::Restore(TJigsaw& game) const {
  const std::span<const std::uint8_t> bytes = bytes_;
  game.Record = puzzle_;
  game.Extras = extras_;
  std::span<const std::uint8_t> pieces = bytes.subspan(piecesAt_, traysAt_ - piecesAt_);
  pieces = pieces.subspan(game.ReadRecordsA(pieces));
  pieces = pieces.subspan(game.ReadRecordsB(pieces));
  game.ReadRecordsC(pieces);
  // However near its bound the file's group counter lies, play goes on far
  // below it.
  game.CompactGroups();
  game.ReadTrays(bytes.subspan(traysAt_, optionsAt_ - traysAt_));
  // Each tray read took a front number from the counter before its record
  // gave it its own: the counter is the saved one again.
  game.Extras.NextFrontNo = extras_.NextFrontNo;
  game.Config.ReadFrom(bytes.subspan(optionsAt_));
}
