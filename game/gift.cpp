#include "game/gift.h"

#include <QDir>
#include <QFileInfo>

#include "game/colornames.h"
#include "game/music.h"
#include "game/picture.h"
#include "platform/utility.h"

namespace {

const QString damagedMessage = QStringLiteral("This jigsaw gift file is damaged and cannot be opened");

constexpr std::uint32_t ClassicStyle = 1, MixStyle = 6;
constexpr std::uint16_t MaxOddness = 10;
constexpr std::uint32_t CardOutline = 2, WoodOutline = 3;

// Little-endian unsigned field of a program header.
std::uint64_t Field(const QByteArray& header, int at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | std::uint8_t(header[at + i]);
  return value;
}

}  // namespace

void OpenGiftFile(QFile& file) {
  const QFileInfo info(file.fileName());
  QString reason;
  if (!info.exists())
    reason = QStringLiteral("There is no such file.");
  else if (info.isDir())
    reason = QStringLiteral("It is a folder, not a gift file.");
  else if (!file.open(QIODevice::ReadOnly))
    reason = file.errorString();
  if (!reason.isEmpty())
    throw EError(
        QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(file.fileName()), reason));
}

TGiftTrailer CheckGiftFile(const QString& path) {
  QFile file(path);
  OpenGiftFile(file);
  const TGiftTrailer trailer = ReadGiftTrailer(file);
  if (!PictureInside(trailer, file.size()))
    throw EError(MissingPictureMessage());
  return trailer;
}

bool CarriesGift(const QString& programPath) {
  // An ELF program ends with its section header table; a gift goes on
  // after it. The fields: class at 4 (1 = 32, 2 = 64 bits), little-endian
  // data (1) at 5, then the table's offset, entry size and count.
  QFile file(programPath);
  if (!file.open(QIODevice::ReadOnly)) return true;
  const QByteArray header = file.read(64);
  if (header.size() < 64 || !header.startsWith("\x7F" "ELF") || header[5] != 1) return true;
  const bool wide = header[4] == 2;
  const std::uint64_t tableOffset = wide ? Field(header, 0x28, 8) : Field(header, 0x20, 4);
  const std::uint64_t entrySize = wide ? Field(header, 0x3A, 2) : Field(header, 0x2E, 2);
  const std::uint64_t entries = wide ? Field(header, 0x3C, 2) : Field(header, 0x30, 2);
  if (entries == 0) return true;
  return std::uint64_t(file.size()) > tableOffset + entrySize * entries;
}

TGiftTrailer ReadGiftTrailer(QFile& file) {
  const qint64 start = file.size() - qint64(TGiftTrailer::FileSize);
  TGiftTrailer::TBytes bytes{};
  if (start < 0 || !file.seek(start) ||
      file.read(reinterpret_cast<char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()))
    throw EStreamError(damagedMessage);
  TGiftTrailer trailer = TGiftTrailer::FromBytes(bytes);
  if (trailer.RecordSize != TGiftTrailer::ValidRecordSize) throw EStreamError(damagedMessage);
  return trailer;
}

QString GiftLabText(const QString& creatorVersion) {
  return QStringLiteral(
             "This free jigsaw gift was created by Tessarine %1. Click on our web site below and "
             "download the free demo to see what else the latest version can do!  Or order the "
             "full-version now!")
      .arg(TextBefore(QStringLiteral("."), creatorVersion));
}

QString MadeWithText(const QString& creatorVersion) {
  const QString maker =
      creatorVersion.isEmpty() ? QStringLiteral("Tessarine Gift") : QStringLiteral("Tessarine Gift %1").arg(creatorVersion);
  return QStringLiteral("This jigsaw gift was made with %1. You can make one of your own from any picture: press "
                        "Make a Gift below, or choose File \u203A Make a Gift... while you play.")
      .arg(maker);
}

void TGift::LoadGift(TWindowState& window, TPuzzleRecord& record, TJigConfig& config) {
  // The program's own file is the gift; its last bytes are the trailer.
  ExePath = exePath_();
  QFile file(ExePath);
  OpenGiftFile(file);
  GiftTrailer = ReadGiftTrailer(file);
  const TGiftTrailer& t = GiftTrailer;

  // The creator's words go to the opening splash and the order form.
  ShowTexts(window.OpeningSplash, t.OpeningText, t.OpeningColorName, t.OpeningAlignment, t.OpeningFont);
  window.OrderDistrib = t.Creator;
  window.NotifyTextsChanged();

  // The music plays from memory; without music the option is off.
  window.MusicFile = ExtractMusic(file, t);
  if (window.MusicFile.isEmpty()) {
    window.Menus.Music.SetChecked(false);
    window.Menus.SpeedMusic.SetChecked(false);
  }

  // A new game of this gift. Values no gift maker writes (a hostile trailer)
  // are brought into range so that the cut and the pieces stay sound.
  record.RequestedPieces = t.RequestedPieces;
  record.Oddness = std::min(t.Oddness, MaxOddness);
  record.Seed = t.Seed;
  record.ScalePercent = 100;
  record.FormatVersion = 5;
  record.CreatorVersion = t.CreatorVersion;
  record.CreatedAt = t.CreatedAt;
  record.Title = t.Title;
  record.Creator = t.Creator;
  record.Description = t.Description;
  record.Reserved4284 = 24;
  record.Completed = 0;
  record.SolvedCount = 0;
  record.ElapsedSeconds = 0;
  record.CheatCount = 0;
  record.AutoSolveUsed = 0;
  record.ShowDescription = 1;
  record.Reserved4323 = 0;
  record.Reserved4388 = 0;
  record.Reserved4455 = 0;
  record.ShapeStyle = std::int32_t(t.ShapeStyle >= ClassicStyle && t.ShapeStyle <= MixStyle ? t.ShapeStyle
                                                                                            : ClassicStyle);

  // The board's colour and the options the gift decides.
  window.SetColor(t.BackgroundColor);
  window.Menus.SelectOutline(int(t.OutlineStyle <= WoodOutline ? t.OutlineStyle : CardOutline));
  const bool rotation = t.RotationOn != 0;
  window.Menus.Rotation.SetChecked(rotation);
  window.Menus.RotateRight.SetEnabled(rotation);
  window.Menus.RotateLeft.SetEnabled(rotation);

  // The options record follows the menus; the file closes on the way out.
  config.CaptureFromMenus();
}

void TGift::LoadPicture(TBitmap& bitmap) const { ::LoadPicture(ExePath, GiftTrailer, bitmap); }

void TGift::ShowClosingTexts(TSplashTexts& splash) const {
  ShowTexts(splash, GiftTrailer.ClosingText, GiftTrailer.ClosingColorName, GiftTrailer.ClosingAlignment,
            GiftTrailer.ClosingFont);
}

void TGift::ShowTexts(TSplashTexts& splash, const QString& text, const QString& colorName,
                      std::uint8_t alignment, const TFontSpec& font) const {
  splash.GiftLab = GiftLabText(GiftTrailer.CreatorVersion);
  splash.CreatorVersion = GiftTrailer.CreatorVersion;

  // The texts were typed on a system that ends lines with CR LF.
  splash.MemoText = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
  if (const std::optional<TColor> color = ColorFromName(colorName)) {
    splash.MemoColor = *color;
    splash.MemoAlignment = alignment <= std::uint8_t(TAlignment::Center) ? TAlignment(alignment)
                                                                         : TAlignment::LeftJustify;
  } else {
    splash.MemoColor = clWhite;
  }
  splash.MemoFont = font;

  // A splash whose memo is already hidden is already short.
  if (splash.MemoText.isEmpty() && splash.MemoVisible) {
    splash.MemoVisible = false;
    const int saved = splash.MemoHeight + splash.ProductTop;
    splash.PanelHeight -= saved;
    splash.ClientHeight -= saved;
  }
}
