// tessarine-gift make: a gift file from a picture, an optional tune and the
// trailer fields given as options: a copy of the player with them appended,
// or, for a name ending in ".tgift", a data gift without the player.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTransform>

#include <cstdio>
#include <limits>
#include <span>

#include "game/colornames.h"
#include "game/cut.h"
#include "game/gift.h"
#include "game/gifttrailer.h"
#include "platform/packedrecord.h"
#include "game/picture.h"
#include "tools/tessarine-gift/command.h"
#include "tools/tessarine-gift/giftfile.h"
#include "tools/tessarine-gift/options.h"

namespace {

// Version text of this tool as gifts record it; the splash shows "v1".
const QString creatorVersion = QStringLiteral("v1.0");
constexpr int jpegQuality = 92;

// Colours and fonts of the opening and closing messages: dark blue on cream.
constexpr TColor messageBackground = 0xF0FBFF;  // clCream
constexpr TColor messageInk = 0x800000;         // clNavy
constexpr TColor defaultBoard = 0x4F4F2F;       // dark slate grey behind the pieces

std::span<const std::uint8_t> Bytes(const QByteArray& data) {
  return {reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())};
}

// Inputs larger than this are no picture, tune or player a gift can carry.
constexpr qint64 maxInputBytes = qint64(1) << 30;

QByteArray ReadWhole(const QString& path, const QString& what) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
    throw TUsageError{QStringLiteral("cannot read the %1 \"%2\": %3")
                          .arg(what, path, QFileInfo::exists(path) ? file.errorString()
                                                                   : QStringLiteral("no such file"))};
  if (file.size() > maxInputBytes)
    throw TUsageError{QStringLiteral("the %1 \"%2\" is larger than 1 GiB").arg(what, path)};
  return file.readAll();
}

// Line breaks of a message: real ones, or written as "\n" (a backslash is
// then written "\\"), as info prints them. Stored as CR LF, as the player
// expects of texts typed for it.
QString MessageLines(const QString& text) {
  QString lines;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'n' || text[i + 1] == u'\\')) {
      lines += text[++i] == u'n' ? QChar(u'\n') : QChar(u'\\');
    } else if (c != u'\r') {
      lines += c;
    }
  }
  return lines.replace(u'\n', QLatin1String("\r\n"));
}

// A text option checked against its field: every character must have a byte
// in the gift's code page, and the bytes must fit.
QString CheckedText(const TOptions& options, const QString& name, const QString& fallback,
                    std::size_t capacity, bool multiLine) {
  QString text = options.Value(name).value_or(fallback);
  if (multiLine)
    text = MessageLines(text);
  else if (text.contains(u'\n') || text.contains(u'\r'))
    throw TUsageError{QStringLiteral("%1 must be one line").arg(name)};
  bool representable = false;
  const QByteArray bytes = ToWindows1252(text, &representable);
  if (!representable)
    throw TUsageError{QStringLiteral("%1 has characters that a gift cannot hold (only Western European "
                                     "letters and signs)")
                          .arg(name)};
  if (std::size_t(bytes.size()) > capacity)
    throw TUsageError{QStringLiteral("%1 is too long: %2 characters, at most %3")
                          .arg(name)
                          .arg(bytes.size())
                          .arg(capacity)};
  return text;
}

// "Summer_holiday-2023.jpg" gives "Summer holiday 2023".
QString TitleFromFileName(const QString& path) {
  QString title = QFileInfo(path).completeBaseName();
  title.replace(u'_', u' ').replace(u'-', u' ');
  title = title.simplified().left(qsizetype(TGiftTrailer::NameCapacity));
  if (!title.isEmpty()) title[0] = title[0].toUpper();
  return title;
}

QString DefaultCreator() {
  const QString user = qEnvironmentVariable("USER").trimmed();
  return user.isEmpty() ? QStringLiteral("A friend") : user;
}

TColor BackgroundColour(const TOptions& options) {
  const std::optional<QString> text = options.Value(QStringLiteral("--background"));
  if (!text) return defaultBoard;
  // "#RRGGBB" as on the web, besides the names and numbers gift files use.
  if (text->size() == 7 && text->startsWith(u'#')) {
    bool ok = false;
    const uint rgb = text->mid(1).toUInt(&ok, 16);
    if (ok) return RGBColor(int(rgb >> 16), int(rgb >> 8), int(rgb));
  }
  if (const std::optional<TColor> color = ColorFromName(*text)) return *color;
  throw TUsageError{QStringLiteral("--background must be a colour such as clWhite, #336699, $00996633 "
                                   "or 0x996633, not \"%1\"")
                        .arg(*text)};
}

// The player to copy: --player, else the tessarine built beside this tool,
// else the one installed with it.
QString PlayerPath(const TOptions& options) {
  if (const std::optional<QString> player = options.Value(QStringLiteral("--player"))) return *player;
  const QDir here(QCoreApplication::applicationDirPath());
  for (const QString& candidate : {here.filePath(QStringLiteral("tessarine")),
                                   here.filePath(QStringLiteral("shell/tessarine")),
                                   here.cleanPath(here.filePath(QStringLiteral(TG_INSTALLED_PLAYER)))})
    if (QFileInfo(candidate).isFile()) return candidate;
  throw TUsageError{QStringLiteral("no tessarine player beside this tool; name one with --player")};
}

// The program part of a player; a gift given as the player loses its own
// picture, music and trailer.
QByteArray ProgramImage(const QByteArray& player) {
  if (player.size() < qsizetype(TGiftTrailer::FileSize)) return player;
  const qsizetype trailerStart = player.size() - qsizetype(TGiftTrailer::FileSize);
  const TGiftTrailer trailer = TGiftTrailer::FromBytes(
      Bytes(player).subspan(std::size_t(trailerStart)).first<TGiftTrailer::FileSize>());
  const qint64 pictureEnd = qint64(trailer.PictureOffset) + trailer.PictureLength;
  const bool isGift = trailer.RecordSize == TGiftTrailer::ValidRecordSize && trailer.PictureLength > 2 &&
                      pictureEnd <= trailerStart && player.mid(trailer.PictureOffset, 2) == "\xFF\xD8";
  return isGift ? player.left(trailer.PictureOffset) : player;
}

QImage OnWhite(const QImage& image) {
  QImage flat(image.size(), QImage::Format_RGB888);
  flat.fill(Qt::white);
  QPainter painter(&flat);
  painter.drawImage(0, 0, image);
  painter.end();
  return flat;
}

// A PNG picture through Qt's reader, upright as its orientation tag says.
TBitmap ReadWithQt(const QString& path) {
  QImageReader reader(path);
  reader.setAutoTransform(true);
  const QSize size = reader.size();
  if (size.isValid() && (qint64(size.width()) * size.height() > MaxPicturePixels || size.width() > 0xFFFF ||
                         size.height() > 0xFFFF))
    throw TUsageError{QStringLiteral("the picture \"%1\" is too large (%2 x %3 pixels); at most %4 pixels in all")
                          .arg(path)
                          .arg(size.width())
                          .arg(size.height())
                          .arg(MaxPicturePixels)};
  const QImage image = reader.read();
  if (image.isNull())
    throw TUsageError{QStringLiteral("the picture \"%1\" cannot be read: %2")
                          .arg(path, reader.errorString())};
  return TBitmap(OnWhite(image).convertToFormat(QImage::Format_BGR888));
}

struct TPicture {
  QByteArray Jpeg;
  int Width = 0;
  int Height = 0;
};

// The decoded picture turned as an orientation tag says: mirrored first,
// then turned a quarter clockwise, as Qt's readers apply it.
TBitmap Upright(const TBitmap& decoded, QImageIOHandler::Transformations turn) {
  QImage image = decoded.Image().mirrored(turn.testFlag(QImageIOHandler::TransformationMirror),
                                          turn.testFlag(QImageIOHandler::TransformationFlip));
  if (turn.testFlag(QImageIOHandler::TransformationRotate90)) image = image.transformed(QTransform().rotate(90));
  return TBitmap(image.convertToFormat(QImage::Format_BGR888));
}

// A baseline JPEG of the picture file: a baseline JPEG that needs no turning
// is taken as it is, anything else is decoded (JPEG pictures by the player's
// own decoder, whatever their colours) and encoded again.
TPicture PictureFromFile(const QString& path) {
  const QByteArray data = ReadWhole(path, QStringLiteral("picture"));
  const bool isJpeg = data.startsWith("\xFF\xD8\xFF");
  const bool isPng = data.startsWith("\x89PNG\r\n\x1A\n");
  if (!isJpeg && !isPng) throw TUsageError{QStringLiteral("\"%1\" is not a JPEG or PNG picture").arg(path)};
  if (!isJpeg) {
    const TBitmap bitmap = ReadWithQt(path);
    return {EncodeJpeg(bitmap, jpegQuality), bitmap.Width(), bitmap.Height()};
  }
  const QImageIOHandler::Transformations turn = QImageReader(path).transformation();
  try {
    const TJpegInfo info = ReadJpegInfo(Bytes(data));
    // Decoded in full even when stored as it is: only decoding finds a
    // file cut short, which the gift would show half grey.
    const TBitmap decoded = DecodeJpeg(Bytes(data), TJpegDamage::Refuse);
    if (info.Baseline && turn == QImageIOHandler::TransformationNone) return {data, info.Width, info.Height};
    const TBitmap upright = Upright(decoded, turn);
    return {EncodeJpeg(upright, jpegQuality), upright.Width(), upright.Height()};
  } catch (const EJpegError& e) {
    throw TUsageError{QStringLiteral("\"%1\": %2").arg(path, e.Message())};
  }
}

std::uint32_t BigEndian(const QByteArray& data, qsizetype at, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | std::uint8_t(data[at + i]);
  return value;
}

// Why data is not a standard MIDI file, or empty when it is one: a header
// chunk with format 0, 1 or 2, then as many complete track chunks as the
// header announces (chunks of other types are allowed and skipped).
QString MidiProblem(const QByteArray& data) {
  if (!data.startsWith("MThd") || data.size() < 14) return QStringLiteral("it does not start with a MIDI header");
  const std::uint32_t headerLength = BigEndian(data, 4, 4);
  const std::uint32_t format = BigEndian(data, 8, 2);
  const std::uint32_t tracks = BigEndian(data, 10, 2);
  if (headerLength < 6 || headerLength > std::uint32_t(data.size()) - 8)
    return QStringLiteral("its header has a wrong length");
  if (format > 2) return QStringLiteral("its format %1 is not 0, 1 or 2").arg(format);
  if (tracks == 0 || (format == 0 && tracks != 1))
    return QStringLiteral("format %1 cannot have %2 tracks").arg(format).arg(tracks);
  if (BigEndian(data, 12, 2) == 0) return QStringLiteral("its time division is 0");
  std::uint32_t found = 0;
  qint64 at = 8 + qint64(headerLength);
  while (found < tracks) {
    if (at + 8 > data.size())
      return QStringLiteral("it ends after %1 of its %2 tracks").arg(found).arg(tracks);
    const qint64 length = BigEndian(data, at + 4, 4);
    if (at + 8 + length > data.size()) return QStringLiteral("chunk %1 is cut short").arg(found + 1);
    if (data.mid(at, 4) == "MTrk") ++found;
    at += 8 + length;
  }
  return {};
}

QByteArray MusicFromFile(const TOptions& options) {
  const std::optional<QString> path = options.Value(QStringLiteral("--music"));
  if (!path) return {};
  const QByteArray data = ReadWhole(*path, QStringLiteral("music"));
  if (const QString problem = MidiProblem(data); !problem.isEmpty())
    throw TUsageError{QStringLiteral("\"%1\" is not a standard MIDI file: %2").arg(*path, problem)};
  return data;
}

// The creation time as gift files keep it: days since 30 December 1899, the
// fraction being the local time of day.
double DayCount(const QDateTime& when) {
  const QDate epoch(1899, 12, 30);
  return double(epoch.daysTo(when.date())) + when.time().msecsSinceStartOfDay() / 86'400'000.0;
}

void WriteGift(const QString& path, const QByteArray& program, const QByteArray& picture,
               const QByteArray& music, const TGiftTrailer& trailer, QFile::Permissions permissions) {
  QSaveFile out(path);
  const TGiftTrailer::TBytes bytes = trailer.ToBytes();
  const bool written =
      out.open(QIODevice::WriteOnly) && out.write(program) == program.size() &&
      out.write(picture) == picture.size() && out.write(music) == music.size() &&
      out.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) == qint64(bytes.size()) &&
      out.setPermissions(permissions) && out.commit();
  if (!written) throw TUsageError{QStringLiteral("cannot write \"%1\": %2").arg(path, out.errorString())};
}

}  // namespace

int RunMake(const QStringList& args) {
  const TOptions options(
      args, {{QStringLiteral("-o"), true, QStringLiteral("--output")},
             {QStringLiteral("--picture")},
             {QStringLiteral("--music")},
             {QStringLiteral("--title")},
             {QStringLiteral("--creator")},
             {QStringLiteral("--description")},
             {QStringLiteral("--pieces")},
             {QStringLiteral("--oddness")},
             {QStringLiteral("--seed")},
             {QStringLiteral("--style")},
             {QStringLiteral("--outline")},
             {QStringLiteral("--rotation"), false},
             {QStringLiteral("--background")},
             {QStringLiteral("--opening-text")},
             {QStringLiteral("--closing-text")},
             {QStringLiteral("--player")}});
  options.ExpectPositional(0, {});
  const QString outPath = options.Required(QStringLiteral("-o"));
  const QString picturePath = options.Required(QStringLiteral("--picture"));

  // Everything is checked before anything is read in full or written.
  TGiftTrailer trailer;
  trailer.CreatorVersion = creatorVersion;
  trailer.CreatedAt = DayCount(QDateTime::currentDateTime());
  trailer.Title = CheckedText(options, QStringLiteral("--title"), TitleFromFileName(picturePath),
                              TGiftTrailer::NameCapacity, false);
  trailer.Creator =
      CheckedText(options, QStringLiteral("--creator"), DefaultCreator(), TGiftTrailer::NameCapacity, false);
  trailer.Description =
      CheckedText(options, QStringLiteral("--description"), {}, TGiftTrailer::TextCapacity, true);
  trailer.OpeningText = CheckedText(
      options, QStringLiteral("--opening-text"),
      QStringLiteral("Here is a jigsaw puzzle, made just for you.\n\nPress Play, then drag the pieces "
                     "together with the mouse. Have fun!"),
      TGiftTrailer::TextCapacity, true);
  trailer.ClosingText =
      CheckedText(options, QStringLiteral("--closing-text"),
                  QStringLiteral("Thank you for playing!\n\nSave your game to carry on where you left off."),
                  TGiftTrailer::TextCapacity, true);
  trailer.RequestedPieces = std::uint16_t(options.Integer(QStringLiteral("--pieces"), 2, 10000, 100));
  trailer.Oddness = std::uint16_t(options.Integer(QStringLiteral("--oddness"), 0, 10, 3));
  trailer.Seed = std::uint32_t(options.Integer(QStringLiteral("--seed"), 0, std::numeric_limits<std::uint32_t>::max(),
                                               QRandomGenerator::system()->generate()));
  trailer.ShapeStyle = std::uint32_t(options.Choice(QStringLiteral("--style"), ShapeStyleWords, 0) + 1);
  trailer.OutlineStyle = std::uint32_t(options.Choice(QStringLiteral("--outline"), OutlineStyleWords, 2));
  trailer.RotationOn = options.Flag(QStringLiteral("--rotation")) ? 1 : 0;
  trailer.BackgroundColor = BackgroundColour(options);
  const TFontSpec messageFont{messageInk, -15, 0, 0, 0, QStringLiteral("DejaVu Sans")};
  trailer.OpeningFont = trailer.ClosingFont = messageFont;
  trailer.OpeningColorName = trailer.ClosingColorName = ColorName(messageBackground);
  trailer.OpeningAlignment = trailer.ClosingAlignment = 2;  // centred

  // A data gift carries no player: its picture starts the file, and any
  // installed player opens it.
  const bool dataGift = outPath.endsWith(QLatin1String(".tgift"), Qt::CaseInsensitive);
  if (dataGift && options.Has(QStringLiteral("--player")))
    throw TUsageError{QStringLiteral("--player makes no sense for a data gift (*.tgift), which carries no player")};
  const QByteArray program =
      dataGift ? QByteArray() : ProgramImage(ReadWhole(PlayerPath(options), QStringLiteral("player")));
  const TPicture picture = PictureFromFile(picturePath);
  // The player would refuse to cut it, by the same rule.
  TPuzzleRecord grid;
  FitGrid(grid, trailer.RequestedPieces, picture.Width, picture.Height);
  if (const QString problem = CutSheetProblem(grid, grid.CutWidth, grid.CutHeight); !problem.isEmpty())
    throw TUsageError{QStringLiteral("\"%1\": %2").arg(picturePath, problem)};
  const QByteArray music = MusicFromFile(options);

  const qint64 total = program.size() + picture.Jpeg.size() + music.size() + qint64(TGiftTrailer::FileSize);
  if (total > qint64(std::numeric_limits<std::uint32_t>::max()))
    throw TUsageError{QStringLiteral("the gift would be larger than 4 GiB")};
  trailer.PictureOffset = std::uint32_t(program.size());
  trailer.PictureLength = std::uint32_t(picture.Jpeg.size());
  trailer.MusicOffset = music.isEmpty() ? 0 : std::uint32_t(program.size() + picture.Jpeg.size());
  trailer.MusicLength = std::int32_t(music.size());

  const QFile::Permissions readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
  const QFile::Permissions executable = readable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
  WriteGift(outPath, program, picture.Jpeg, music, trailer, dataGift ? readable : executable);
  std::printf("%s: %d x %d picture, %s, %d pieces asked for\n", qPrintable(outPath), picture.Width,
              picture.Height,
              music.isEmpty() ? "no music" : qPrintable(QStringLiteral("%1 bytes of music").arg(music.size())),
              int(trailer.RequestedPieces));
  return 0;
}
