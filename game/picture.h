#pragma once
// The gift's picture: JPEG decoding into a 24-bit bitmap with libjpeg, and
// baseline encoding for the gift tool.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>

#include "game/gifttrailer.h"
#include "platform/bitmap.h"
#include "platform/errors.h"

// A picture that cannot be decoded or encoded; the message carries libjpeg's
// own explanation.
class EJpegError : public EError {
 public:
  using EError::EError;
};

class EPictureTooLarge : public EJpegError {
 public:
  using EJpegError::EJpegError;
};

// A picture libjpeg could decode only by making up part of it: the file is
// cut short or its picture data is corrupt.
class EJpegDamaged : public EJpegError {
 public:
  using EJpegError::EJpegError;
};

// What decoding does with damage libjpeg can read past. The player shows
// what there is, as any viewer does; the gift tool refuses to store it.
enum class TJpegDamage { Fill, Refuse };

// The largest picture the player takes: its size must fit the 16-bit picture
// fields of the puzzle record, and its pixels the memory of a desktop (the
// pieces need several bitmaps of the picture's size).
constexpr std::int64_t MaxPicturePixels = std::int64_t(64) * 1024 * 1024;

struct TJpegInfo {
  int Width = 0;
  int Height = 0;
  // A sequential, Huffman-coded, 8-bit picture in YCbCr or grey: what every
  // JPEG decoder reads, so the gift tool keeps it as it is.
  bool Baseline = false;
};

// The header of a JPEG image (nothing is decoded). Throws EJpegError.
TJpegInfo ReadJpegInfo(std::span<const std::uint8_t> data);
// The whole picture as a 24-bit bitmap; ink pictures (CMYK and YCCK) are
// turned into colours. Throws EJpegError for data libjpeg
// rejects, EPictureTooLarge for pictures larger than MaxPicturePixels. With
// TJpegDamage::Refuse, damaged data that libjpeg would fill in, or that fails
// once the picture data has begun, throws EJpegDamaged.
TBitmap DecodeJpeg(std::span<const std::uint8_t> data, TJpegDamage damage = TJpegDamage::Fill);
// A baseline JPEG of a 24-bit bitmap (quality 1..100).
QByteArray EncodeJpeg(const TBitmap& bitmap, int quality);

inline QString MissingPictureMessage() {
  return QStringLiteral("The picture in this jigsaw gift file is missing or damaged");
}
// The picture region of a gift's trailer is not empty and lies inside a file
// of fileSize bytes.
bool PictureInside(const TGiftTrailer& trailer, qint64 fileSize);
// Decodes the picture region of the gift file at path into bitmap. A region
// outside the file is a damaged gift (EError); the file and every buffer are
// released on every path.
void LoadPicture(const QString& path, const TGiftTrailer& trailer, TBitmap& bitmap);
