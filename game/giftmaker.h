#pragma once
// Making a gift: a picture of any format Qt's image readers take, turned
// upright and stored as a baseline JPEG; an optional standard MIDI tune; the
// trailer's texts and settings checked against what the trailer and the
// player take; the whole written to a new file that is renamed into place.
// The gift tool and the player's gift-making window both make gifts here.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>

#include "game/gifttrailer.h"
#include "platform/bitmap.h"

// The version of the gift maker that gift files record: this program's.
extern const QString GiftMakerVersion;
// Pictures that are not stored as they are become JPEGs of this quality: high
// enough that the pieces show no trace of the encoding.
constexpr int GiftJpegQuality = 92;

// A picture as a gift stores it, read from a file of any format Qt's image
// readers take. A baseline JPEG that needs no turning keeps its bytes;
// anything else is decoded (JPEG by the player's own decoder, whatever its
// colours), turned upright as its orientation tag says, laid on white where
// it is transparent, and encoded again.
class TGiftPicture {
 public:
  // Throws EError, naming the file, for a file that cannot be read, is no
  // picture, is damaged or larger than the player takes (16-bit sides,
  // MaxPicturePixels).
  static TGiftPicture FromFile(const QString& path);

  int Width() const { return upright_.Width(); }
  int Height() const { return upright_.Height(); }
  // The picture as the gift's player will decode it.
  const TBitmap& Upright() const { return upright_; }
  // The JPEG the gift stores. Throws EError when encoding fails.
  QByteArray Jpeg() const;

 private:
  QByteArray kept_;
  TBitmap upright_;
};

// A text field of the trailer as the maker fills it: line breaks are "\n"
// and are stored as CR LF, as the player expects of texts typed for it.
struct TGiftTextField {
  QString TGiftTrailer::*Field;
  const char* Name;  // "title": messages say "The title ..."
  std::size_t Capacity;
  bool MultiLine;
};
std::span<const TGiftTextField> GiftTextFields();
// The bytes text takes in the trailer (Western European code page, CR LF).
qsizetype GiftTextLength(const QString& text);
// Why text cannot go into the field, or empty when it can: a character the
// Western European character set lacks, a line break in a one-line field, or
// too many bytes.
QString GiftTextProblem(const TGiftTextField& field, const QString& text);

// "Summer_holiday-2023.jpg" gives "Summer holiday 2023".
QString GiftTitleFromFileName(const QString& path);

// The trailer a new gift starts from: a greeting and thanks in dark blue on
// cream, a hundred pieces of the classic shape, card outlines, the user as
// the creator, this maker's version, the time now and a random seed.
TGiftTrailer NewGiftTrailer();

// Why a picture of width x height cannot be cut into the pieces the trailer
// asks for (the player's own rule), or empty when it can.
QString GiftGridProblem(const TGiftTrailer& trailer, int width, int height);

// A standard MIDI file read for a gift. Throws EError, naming the file, for a
// file that cannot be read or that the player would refuse to play.
QByteArray ReadGiftMusic(const QString& path);

// The program part of a player file; a gift given as the player loses its
// own picture, music and trailer.
QByteArray ProgramImage(const QByteArray& player);

// Checks the trailer's texts (with "\n" line breaks) and settings, the
// picture's grid and the music, then writes the gift to path: program (empty
// for a data gift, which any installed player opens), picture, music and
// trailer, the trailer's offsets and texts filled in here. The file is
// written whole to a new file in the same folder and renamed over path only
// when complete; an executable gift is made executable. Throws EError saying
// what is wrong; nothing is left behind then.
void MakeGift(const QString& path, TGiftTrailer trailer, const TGiftPicture& picture, const QByteArray& music,
              const QByteArray& program = {});
