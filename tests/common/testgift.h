#pragma once
// Gift files for the tests: a stand-in program, a JPEG picture, optional
// music and the trailer, written as the gift tool writes them.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>

#include "game/gifttrailer.h"
#include "game/picture.h"
#include "platform/bitmap.h"

// Neighbouring pixels differ and no pixel is dark, so that pieces and the
// board around them are easy to tell apart.
inline TBitmap GiftTestPicture(int width, int height) {
  TBitmap picture(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = std::uint8_t(60 + (x * 3 + y) % 190);
      row[3 * x + 1] = std::uint8_t(60 + (y * 2 + x / 2) % 190);
      row[3 * x + 2] = std::uint8_t(60 + ((x / 16 + y / 16) % 2) * 150);
    }
  }
  return picture;
}

// A trailer for a small puzzle of a picture.
inline TGiftTrailer TestTrailer(std::uint16_t pieces = 12, std::uint32_t seed = 4711) {
  TGiftTrailer t;
  t.CreatorVersion = QStringLiteral("v4.1");
  t.Title = QStringLiteral("Test picture");
  t.Creator = QStringLiteral("The tests");
  t.BackgroundColor = 0x404020;
  t.RequestedPieces = pieces;
  t.Oddness = 5;
  t.Seed = seed;
  t.OpeningText = QStringLiteral("Hello from the tests");
  t.ClosingText = QStringLiteral("Goodbye from the tests");
  t.ShapeStyle = 1;
  t.OutlineStyle = 2;
  return t;
}

// What stands in for the player at the start of an executable test gift.
inline QByteArray TestProgram() { return QByteArray("\x7F" "ELF stands in for the player. ") + QByteArray(300, 'p'); }

// Writes program + picture + trailer to path; the trailer's offsets are set
// to the picture. An empty program makes a data gift. Returns false when the
// file cannot be written.
inline bool WriteTestGift(const QString& path, TGiftTrailer trailer, const QByteArray& picture,
                          const QByteArray& program = TestProgram()) {
  trailer.PictureOffset = std::uint32_t(program.size());
  trailer.PictureLength = std::uint32_t(picture.size());
  trailer.MusicOffset = 0;
  trailer.MusicLength = 0;
  const TGiftTrailer::TBytes bytes = trailer.ToBytes();
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(program + picture);
  file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
  return true;
}

inline bool WriteTestGift(const QString& path, int width, int height, TGiftTrailer trailer = TestTrailer()) {
  return WriteTestGift(path, trailer, EncodeJpeg(GiftTestPicture(width, height), 95));
}
