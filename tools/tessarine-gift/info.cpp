// tessarine-gift info: prints the trailer of a gift, one field a line, with
// the size of its picture and the grid the player will cut.

#include <QDate>
#include <QDateTime>

#include <cmath>
#include <cstdio>

#include "game/colornames.h"
#include "game/cut.h"
#include "game/puzzlerecord.h"
#include "tools/tessarine-gift/command.h"
#include "tools/tessarine-gift/giftfile.h"
#include "tools/tessarine-gift/options.h"

namespace {

void Print(const char* name, const QString& value) {
  std::printf("%s: %s\n", name, qPrintable(value));
}

void Print(const char* name, long long value) { std::printf("%s: %lld\n", name, value); }

// Texts on one line: line breaks become "\n", backslashes "\\".
QString OneLine(const QString& text) {
  QString line = text;
  line.replace(QLatin1String("\r\n"), QLatin1String("\n"))
      .replace(u'\\', QLatin1String("\\\\"))
      .replace(u'\n', QLatin1String("\\n"))
      .replace(u'\r', QLatin1String("\\r"));
  return line;
}

QString Named(long long value, const QStringList& names, long long first) {
  const long long index = value - first;
  const QString name = index >= 0 && index < names.size() ? names[qsizetype(index)] : QStringLiteral("invalid");
  return QStringLiteral("%1 (%2)").arg(value).arg(name);
}

QString DayCountText(double days) {
  if (!std::isfinite(days) || std::fabs(days) > 3'000'000.0) return QString::number(days);
  const double whole = std::floor(days);
  const QDateTime when(QDate(1899, 12, 30).addDays(qint64(whole)),
                       QTime::fromMSecsSinceStartOfDay(int(std::lround((days - whole) * 86'400'000.0)) % 86'400'000));
  return QStringLiteral("%1 (%2)").arg(QString::number(days, 'f', 6), when.toString(Qt::ISODate));
}

QString FontText(const TFontSpec& font) {
  QStringList style;
  if (font.Style & fsBold) style << QStringLiteral("bold");
  if (font.Style & fsItalic) style << QStringLiteral("italic");
  if (font.Style & fsUnderline) style << QStringLiteral("underline");
  if (font.Style & fsStrikeOut) style << QStringLiteral("strikeout");
  return QStringLiteral("\"%1\" height %2, %3 pitch, %4, colour %5")
      .arg(font.Name)
      .arg(font.Height)
      .arg(font.Pitch == 1 ? QStringLiteral("variable") : font.Pitch == 2 ? QStringLiteral("fixed")
                                                                            : QStringLiteral("default"))
      .arg(style.isEmpty() ? QStringLiteral("regular") : style.join(u'+'), ColorName(font.Color));
}

const QStringList alignments = {QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("centred")};

}  // namespace

int RunInfo(const QStringList& args) {
  const TOptions options(args, {});
  options.ExpectPositional(1, QStringLiteral("the gift file"));
  const QString path = options.Positional().first();

  const TGiftTrailer t = ReadTrailerOf(path);

  Print("RecordSize", t.RecordSize);
  Print("PictureOffset", t.PictureOffset);
  Print("PictureLength", t.PictureLength);
  Print("MusicOffset", t.MusicOffset);
  Print("MusicLength", t.MusicLength);
  Print("CreatorVersion", t.CreatorVersion);
  Print("CreatedAt", DayCountText(t.CreatedAt));
  Print("Title", t.Title);
  Print("Creator", t.Creator);
  Print("Description", OneLine(t.Description));
  Print("BackgroundColor", ColorName(t.BackgroundColor));
  Print("RequestedPieces", t.RequestedPieces);
  Print("Oddness", t.Oddness);
  Print("Seed", t.Seed);
  Print("OpeningText", OneLine(t.OpeningText));
  Print("ClosingText", OneLine(t.ClosingText));
  Print("OpeningFont", FontText(t.OpeningFont));
  Print("ClosingFont", FontText(t.ClosingFont));
  Print("OpeningColorName", t.OpeningColorName);
  Print("ClosingColorName", t.ClosingColorName);
  Print("OpeningAlignment", Named(t.OpeningAlignment, alignments, 0));
  Print("ClosingAlignment", Named(t.ClosingAlignment, alignments, 0));
  Print("ShapeStyle", Named(t.ShapeStyle, ShapeStyleWords, 1));
  Print("OutlineStyle", Named(t.OutlineStyle, OutlineStyleWords, 0));
  Print("RotationOn", QStringLiteral("%1 (%2)").arg(t.RotationOn).arg(t.RotationOn ? "yes" : "no"));
  std::fflush(stdout);

  const TBitmap picture = ReadPictureOf(path, t);
  Print("Picture", QStringLiteral("%1 x %2").arg(picture.Width()).arg(picture.Height()));
  TPuzzleRecord record;
  const int pieces = FitGrid(record, t.RequestedPieces, picture.Width(), picture.Height());
  Print("Grid", QStringLiteral("%1 x %2 (%3 pieces)").arg(record.Columns).arg(record.Rows).arg(pieces));
  return 0;
}
