#pragma once
// The gift: the program's own file with its picture, music and trailer
// appended. Loading it spreads the trailer over the splash, the option menus,
// the order form, the puzzle record and the options record.

#include <QFile>
#include <QString>

#include <functional>

#include "game/gifttrailer.h"
#include "game/jigconfig.h"
#include "game/puzzlerecord.h"
#include "game/windowstate.h"
#include "platform/bitmap.h"
#include "platform/errors.h"
#include "platform/system.h"

// The gift file is damaged: its trailer is missing or wrong.
class EStreamError : public EError {
 public:
  using EError::EError;
};

// Opens the gift file at file's name for reading. EError saying plainly what
// is wrong when there is no such file, it is a folder or it cannot be read.
void OpenGiftFile(QFile& file);

// The trailer that ends an open gift file. EStreamError with the damaged-file
// message when the file is shorter than a trailer or its size word is wrong.
TGiftTrailer ReadGiftTrailer(QFile& file);

// The trailer of the gift file at path, the file checked as the player reads
// it before a game of it begins: it opens, ends with a valid trailer, and its
// picture lies inside it. EError (EStreamError for a damaged trailer) saying
// what is wrong. An executable gift and a data gift, whose picture starts the
// file, read alike: the trailer's offsets count from the file's start.
TGiftTrailer CheckGiftFile(const QString& path);

// True when the program file at path has bytes after its program image: a
// gift, damaged or not, rather than a player that carries none. A file that
// is no program of this machine's format counts as carrying one.
bool CarriesGift(const QString& programPath);

// The splash's gift message for a creator version ("v4.1" says "v4").
QString GiftLabText(const QString& creatorVersion);
// The splash's gift message in a build with no maker's web site to send
// people to: which version made the gift (the whole version; none when it is
// not known), and how anyone makes one.
QString MadeWithText(const QString& creatorVersion);

class TGift {
 public:
  // exePath names the gift file: the program's own file, or the file the
  // player was given; tests give another.
  explicit TGift(std::function<QString()> exePath = ::ExePath) : exePath_(std::move(exePath)) {}

  TGiftTrailer GiftTrailer;  // as the last LoadGift read it
  QString ExePath;           // taken at the start of LoadGift

  // Reads the trailer and applies it. Throws EStreamError for a damaged file
  // and EError when the file cannot be opened; nothing is changed then.
  void LoadGift(TWindowState& window, TPuzzleRecord& record, TJigConfig& config);
  // Decodes the gift's picture (EError / EJpegError when that fails).
  void LoadPicture(TBitmap& bitmap) const;
  // Fills the closing splash as LoadGift fills the opening one.
  void ShowClosingTexts(TSplashTexts& splash) const;

 private:
  void ShowTexts(TSplashTexts& splash, const QString& text, const QString& colorName,
                 std::uint8_t alignment, const TFontSpec& font) const;

  std::function<QString()> exePath_;
};
