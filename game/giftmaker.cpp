#include "game/giftmaker.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QTransform>

#include <limits>


#include "game/colornames.h"
#include "game/cut.h"
#include "game/music.h"
#include "game/picture.h"
#include "game/puzzlerecord.h"
#include "platform/errors.h"
#include "platform/packedrecord.h"
#include "platform/replacingfile.h"

const QString GiftMakerVersion = QStringLiteral(TG_VERSION);

namespace {

// Colours and fonts of the opening and closing messages: dark blue on cream.
constexpr TColor messageBackground = 0xF0FBFF;  // clCream
constexpr TColor messageInk = 0x800000;         // clNavy
constexpr TColor defaultBoard = 0x4F4F2F;       // dark slate grey behind the pieces

// Inputs larger than this are no picture, tune or player a gift can carry.
constexpr qint64 maxInputBytes = qint64(1) << 30;

std::span<const std::uint8_t> Bytes(const QByteArray& data) {
  return {reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())};
}

QByteArray ReadWhole(const QString& path, const QString& what) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
    throw EError(QStringLiteral("Cannot read the %1 \"%2\": %3")
                     .arg(what, path, QFileInfo::exists(path) ? file.errorString() : QStringLiteral("no such file")));
  if (file.size() > maxInputBytes) throw EError(QStringLiteral("The %1 \"%2\" is larger than 1 GiB").arg(what, path));
  QByteArray data = file.readAll();
  if (data.size() != file.size())
    throw EError(QStringLiteral("Cannot read the %1 \"%2\": %3").arg(what, path, file.errorString()));
  return data;
}

void CheckPictureSize(const QString& path, qint64 width, qint64 height) {
  if (width <= 0 || height <= 0) throw EError(QStringLiteral("The picture \"%1\" is empty").arg(path));
  if (width * height > MaxPicturePixels || width > 0xFFFF || height > 0xFFFF)
    throw EError(QStringLiteral("The picture \"%1\" is too large (%2 x %3 pixels): a gift takes at most %4 pixels "
                                "in all, and at most 65,535 on a side")
                     .arg(path)
                     .arg(width)
                     .arg(height)
                     .arg(MaxPicturePixels));
}

QImage OnWhite(const QImage& image) {
  if (!image.hasAlphaChannel()) return image;
  QImage flat(image.size(), QImage::Format_RGB888);
  flat.fill(Qt::white);
  QPainter painter(&flat);
  painter.drawImage(0, 0, image);
  painter.end();
  return flat;
}

// Any picture but a JPEG, through Qt's readers, which turn it upright as
// its orientation tag says.
TBitmap ReadWithQt(const QString& path) {
  QImageReader reader(path);
  reader.setAutoTransform(true);
  if (!reader.canRead())
    throw EError(QStringLiteral("\"%1\" is not a picture this program can read (%2)").arg(path, reader.errorString()));
  const QSize size = reader.size();
  if (size.isValid()) CheckPictureSize(path, size.width(), size.height());
  const QImage image = reader.read();
  if (image.isNull())
    throw EError(QStringLiteral("The picture \"%1\" cannot be read: %2").arg(path, reader.errorString()));
  CheckPictureSize(path, image.width(), image.height());
  return TBitmap(OnWhite(image).convertToFormat(QImage::Format_BGR888));
}

// The decoded picture turned as an orientation tag says: mirrored first,
// then turned a quarter clockwise, as Qt's readers apply it.
TBitmap TurnedUpright(const TBitmap& decoded, QImageIOHandler::Transformations turn) {
  QImage image = decoded.Image().mirrored(turn.testFlag(QImageIOHandler::TransformationMirror),
                                          turn.testFlag(QImageIOHandler::TransformationFlip));
  if (turn.testFlag(QImageIOHandler::TransformationRotate90)) image = image.transformed(QTransform().rotate(90));
  return TBitmap(image.convertToFormat(QImage::Format_BGR888));
}

// The creation time as gift files keep it: days since 30 December 1899, the
// fraction being the local time of day.
double DayCount(const QDateTime& when) {
  const QDate epoch(1899, 12, 30);
  return double(epoch.daysTo(when.date())) + when.time().msecsSinceStartOfDay() / 86'400'000.0;
}

QString DefaultCreator() {
  const QString user = qEnvironmentVariable("USER").trimmed();
  return user.isEmpty() ? QStringLiteral("A friend") : user;
}

void CheckRange(const char* what, std::int64_t value, std::int64_t min, std::int64_t max) {
  if (value < min || value > max)
    throw EError(QStringLiteral("The %1 must be %2 to %3, not %4").arg(QLatin1String(what)).arg(min).arg(max).arg(value));
}

constexpr TGiftTextField textFields[] = {
    {&TGiftTrailer::Title, "title", TGiftTrailer::NameCapacity, false},
    {&TGiftTrailer::Creator, "creator", TGiftTrailer::NameCapacity, false},
    {&TGiftTrailer::Description, "description", TGiftTrailer::TextCapacity, true},
    {&TGiftTrailer::OpeningText, "opening message", TGiftTrailer::TextCapacity, true},
    {&TGiftTrailer::ClosingText, "closing message", TGiftTrailer::TextCapacity, true},
};

QString StoredText(QString text) {
  text.remove(u'\r');
  return text.replace(u'\n', QLatin1String("\r\n"));
}

}  // namespace

TGiftPicture TGiftPicture::FromFile(const QString& path) {
  const QByteArray data = ReadWhole(path, QStringLiteral("picture"));
  TGiftPicture picture;
  if (!data.startsWith("\xFF\xD8\xFF")) {
    picture.upright_ = ReadWithQt(path);
    return picture;
  }
  QImageReader reader(path);
  reader.setAutoTransform(true);
  const QImageIOHandler::Transformations turn = reader.transformation();
  try {
    const TJpegInfo info = ReadJpegInfo(Bytes(data));
    CheckPictureSize(path, info.Width, info.Height);
    // Decoded in full even when stored as it is: only decoding finds a file
    // cut short, which the gift would show half grey.
    TBitmap decoded = DecodeJpeg(Bytes(data), TJpegDamage::Refuse);
    if (info.Baseline && turn == QImageIOHandler::TransformationNone) {
      picture.kept_ = data;
      picture.upright_ = std::move(decoded);
    } else {
      picture.upright_ = TurnedUpright(decoded, turn);
    }
  } catch (const EError& e) {
    throw EError(QStringLiteral("\"%1\": %2").arg(path, e.Message()));
  }
  return picture;
}

QByteArray TGiftPicture::Jpeg() const { return kept_.isEmpty() ? EncodeJpeg(upright_, GiftJpegQuality) : kept_; }

std::span<const TGiftTextField> GiftTextFields() { return textFields; }

qsizetype GiftTextLength(const QString& text) { return ToWindows1252(StoredText(text)).size(); }

QString GiftTextProblem(const TGiftTextField& field, const QString& text) {
  const QString name = QLatin1String(field.Name);
  if (!field.MultiLine && (text.contains(u'\n') || text.contains(u'\r')))
    return QStringLiteral("The %1 must be one line.").arg(name);
  bool representable = false;
  const QByteArray bytes = ToWindows1252(StoredText(text), &representable);
  if (!representable) {
    QString refused;
    for (const QChar c : text) {
      bool one = false;
      ToWindows1252(QString(c), &one);
      if (!one && !refused.contains(c)) refused += c;
    }
    return QStringLiteral("The %1 has characters that a gift cannot hold: %2. A gift takes only the letters and "
                          "signs of Western European languages.")
        .arg(name, refused);
  }
  if (std::size_t(bytes.size()) > field.Capacity)
    return QStringLiteral("The %1 is too long: %2 characters, at most %3 (a line break counts as two).")
        .arg(name)
        .arg(bytes.size())
        .arg(field.Capacity);
  return {};
}

QString GiftTitleFromFileName(const QString& path) {
  QString title = QFileInfo(path).completeBaseName();
  title.replace(u'_', u' ').replace(u'-', u' ');
  title = title.simplified().left(qsizetype(TGiftTrailer::NameCapacity));
  if (!title.isEmpty()) title[0] = title[0].toUpper();
  return title;
}

TGiftTrailer NewGiftTrailer() {
  TGiftTrailer trailer;
  trailer.CreatorVersion = GiftMakerVersion;
  trailer.CreatedAt = DayCount(QDateTime::currentDateTime());
  trailer.Creator = DefaultCreator();
  trailer.OpeningText = QStringLiteral(
      "Here is a jigsaw puzzle, made just for you.\n\nPress Play, then drag the pieces together with the mouse. "
      "Have fun!");
  trailer.ClosingText = QStringLiteral("Thank you for playing!\n\nSave your game to carry on where you left off.");
  trailer.RequestedPieces = 100;
  trailer.Oddness = 3;
  trailer.Seed = QRandomGenerator::system()->generate();
  trailer.ShapeStyle = 1;
  trailer.OutlineStyle = 2;
  trailer.RotationOn = 0;
  trailer.BackgroundColor = defaultBoard;
  const TFontSpec messageFont{messageInk, -15, 0, 0, 0, QStringLiteral("DejaVu Sans")};
  trailer.OpeningFont = trailer.ClosingFont = messageFont;
  trailer.OpeningColorName = trailer.ClosingColorName = ColorName(messageBackground);
  trailer.OpeningAlignment = trailer.ClosingAlignment = 2;  // centred
  return trailer;
}

QString GiftGridProblem(const TGiftTrailer& trailer, int width, int height) {
  TPuzzleRecord grid;
  FitGrid(grid, trailer.RequestedPieces, width, height);
  return CutSheetProblem(grid, grid.CutWidth, grid.CutHeight);
}

QByteArray ReadGiftMusic(const QString& path) {
  QByteArray data = ReadWhole(path, QStringLiteral("music"));
  if (const QString problem = MidiProblem(Bytes(data)); !problem.isEmpty())
    throw EError(QStringLiteral("\"%1\" is not a standard MIDI file: %2").arg(path, problem));
  return data;
}

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

void MakeGift(const QString& path, TGiftTrailer trailer, const TGiftPicture& picture, const QByteArray& music,
              const QByteArray& program) {
  for (const TGiftTextField& field : textFields) {
    QString& text = trailer.*field.Field;
    if (const QString problem = GiftTextProblem(field, text); !problem.isEmpty()) throw EError(problem);
    text = StoredText(text);
  }
  CheckRange("number of pieces", trailer.RequestedPieces, 2, 10000);
  CheckRange("oddness", trailer.Oddness, 0, 10);
  CheckRange("shape style", trailer.ShapeStyle, 1, 6);
  CheckRange("outline style", trailer.OutlineStyle, 0, 3);
  if (const QString problem = GiftGridProblem(trailer, picture.Width(), picture.Height()); !problem.isEmpty())
    throw EError(problem);
  if (!music.isEmpty())
    if (const QString problem = MidiProblem(Bytes(music)); !problem.isEmpty())
      throw EError(QStringLiteral("The music is not a standard MIDI file: %1").arg(problem));

  const QByteArray jpeg = picture.Jpeg();
  const qint64 total = program.size() + jpeg.size() + music.size() + qint64(TGiftTrailer::FileSize);
  if (total > qint64(std::numeric_limits<std::uint32_t>::max()))
    throw EError(QStringLiteral("The gift would be larger than 4 GiB"));
  trailer.RecordSize = TGiftTrailer::ValidRecordSize;
  trailer.PictureOffset = std::uint32_t(program.size());
  trailer.PictureLength = std::uint32_t(jpeg.size());
  trailer.MusicOffset = music.isEmpty() ? 0 : std::uint32_t(program.size() + jpeg.size());
  trailer.MusicLength = std::int32_t(music.size());

  const TGiftTrailer::TBytes bytes = trailer.ToBytes();
  QByteArray whole;
  whole.reserve(qsizetype(total));
  whole.append(program).append(jpeg).append(music).append(reinterpret_cast<const char*>(bytes.data()),
                                                            qsizetype(bytes.size()));
  const mode_t readable = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;
  const mode_t executable = readable | S_IXUSR | S_IXGRP | S_IXOTH;
  try {
    WriteReplacing(path, std::span(reinterpret_cast<const std::uint8_t*>(whole.constData()), std::size_t(whole.size())),
                   program.isEmpty() ? readable : executable);
  } catch (const EError& e) {
    throw EError(QStringLiteral("Cannot write \"%1\": %2. Nothing was written.").arg(path, e.Message()));
  }
}
