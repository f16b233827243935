// tessarine-gift make: a gift file from a picture, an optional tune and the
// trailer fields given as options: a copy of the player with them appended,
// or, for a name ending in ".tgift", a data gift without the player.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <limits>

#include "game/colornames.h"
#include "game/giftmaker.h"
#include "platform/errors.h"
#include "tools/tessarine-gift/command.h"
#include "tools/tessarine-gift/giftfile.h"
#include "tools/tessarine-gift/options.h"

namespace {

// Inputs larger than this are no player a gift can carry.
constexpr qint64 maxPlayerBytes = qint64(1) << 30;

QByteArray ReadPlayer(const QString& path) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
    throw TUsageError{QStringLiteral("cannot read the player \"%1\": %2")
                          .arg(path, QFileInfo::exists(path) ? file.errorString() : QStringLiteral("no such file"))};
  if (file.size() > maxPlayerBytes) throw TUsageError{QStringLiteral("the player \"%1\" is larger than 1 GiB").arg(path)};
  return file.readAll();
}

// Line breaks of a message: real ones, or written as "\n" (a backslash is
// then written "\\"), as info prints them.
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
  return lines;
}

TColor BackgroundColour(const TOptions& options, TColor fallback) {
  const std::optional<QString> text = options.Value(QStringLiteral("--background"));
  if (!text) return fallback;
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

// A text option in place of the trailer's text: line breaks may be written
// "\n", as info prints them.
void SetText(const TOptions& options, const QString& name, QString& text, bool multiLine) {
  if (const std::optional<QString> value = options.Value(name)) text = multiLine ? MessageLines(*value) : *value;
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

  // The options are checked before anything is read in full or written.
  TGiftTrailer trailer = NewGiftTrailer();
  trailer.Title = GiftTitleFromFileName(picturePath);
  SetText(options, QStringLiteral("--title"), trailer.Title, false);
  SetText(options, QStringLiteral("--creator"), trailer.Creator, false);
  SetText(options, QStringLiteral("--description"), trailer.Description, true);
  SetText(options, QStringLiteral("--opening-text"), trailer.OpeningText, true);
  SetText(options, QStringLiteral("--closing-text"), trailer.ClosingText, true);
  for (const TGiftTextField& field : GiftTextFields())
    if (const QString problem = GiftTextProblem(field, trailer.*field.Field); !problem.isEmpty())
      throw TUsageError{problem};
  trailer.RequestedPieces = std::uint16_t(options.Integer(QStringLiteral("--pieces"), 2, 10000, 100));
  trailer.Oddness = std::uint16_t(options.Integer(QStringLiteral("--oddness"), 0, 10, 3));
  trailer.Seed = std::uint32_t(
      options.Integer(QStringLiteral("--seed"), 0, std::numeric_limits<std::uint32_t>::max(), trailer.Seed));
  trailer.ShapeStyle = std::uint32_t(options.Choice(QStringLiteral("--style"), ShapeStyleWords, 0) + 1);
  trailer.OutlineStyle = std::uint32_t(options.Choice(QStringLiteral("--outline"), OutlineStyleWords, 2));
  trailer.RotationOn = options.Flag(QStringLiteral("--rotation")) ? 1 : 0;
  trailer.BackgroundColor = BackgroundColour(options, trailer.BackgroundColor);

  // A data gift carries no player: its picture starts the file, and any
  // installed player opens it.
  const bool dataGift = outPath.endsWith(QLatin1String(".tgift"), Qt::CaseInsensitive);
  if (dataGift && options.Has(QStringLiteral("--player")))
    throw TUsageError{QStringLiteral("--player makes no sense for a data gift (*.tgift), which carries no player")};
  const QByteArray program = dataGift ? QByteArray() : ProgramImage(ReadPlayer(PlayerPath(options)));
  try {
    const TGiftPicture picture = TGiftPicture::FromFile(picturePath);
    const std::optional<QString> musicPath = options.Value(QStringLiteral("--music"));
    const QByteArray music = musicPath ? ReadGiftMusic(*musicPath) : QByteArray();
    MakeGift(outPath, trailer, picture, music, program);
    std::printf("%s: %d x %d picture, %s, %d pieces asked for\n", qPrintable(outPath), picture.Width(),
                picture.Height(),
                music.isEmpty() ? "no music" : qPrintable(QStringLiteral("%1 bytes of music").arg(music.size())),
                int(trailer.RequestedPieces));
  } catch (const EError& e) {
    throw TUsageError{e.Message()};
  }
  return 0;
}
