#include <gtest/gtest.h>

#include <QImage>
#include <QtEndian>

#include <cmath>
#include <cstdint>
#include <string>

#include "platform/errors.h"
#include "platform/resources.h"
#include "platform/utility.h"

namespace {

struct TEffectFormat {
  const char* Name;
  std::uint32_t Rate;
  int Bytes;
};

// Rates and lengths the sound effects must have.
const TEffectFormat effectFormats[] = {
    {"WAVE1", 11025, 1054}, {"WAVE2", 22050, 82348}, {"WAVE3", 11025, 24708},
    {"WAVE4", 11025, 2564}, {"WAVE5", 11025, 7874},
};

std::uint32_t U32(const QByteArray& b, int at) {
  return qFromLittleEndian<std::uint32_t>(b.constData() + at);
}
std::uint16_t U16(const QByteArray& b, int at) {
  return qFromLittleEndian<std::uint16_t>(b.constData() + at);
}

std::string ErrorOf(const QString& name, const QString& type) {
  try {
    LoadResourceStream(name, type);
  } catch (const EResNotFound& e) {
    EXPECT_EQ(std::string(e.what()), e.Message().toStdString());
    return e.Message().toStdString();
  }
  return "no error";
}

}  // namespace

TEST(Resources, EffectsAreEightBitMonoPcmWavesOfTheirRatesAndLengths) {
  for (const TEffectFormat& f : effectFormats) {
    SCOPED_TRACE(f.Name);
    const QByteArray wave = LoadResourceStream(f.Name, "WAVDATA");
    ASSERT_EQ(wave.size(), f.Bytes);
    EXPECT_EQ(wave.left(4), "RIFF");
    EXPECT_EQ(U32(wave, 4), std::uint32_t(f.Bytes - 8));
    EXPECT_EQ(wave.mid(8, 4), "WAVE");
    EXPECT_EQ(wave.mid(12, 4), "fmt ");
    EXPECT_EQ(U32(wave, 16), 16u);
    EXPECT_EQ(U16(wave, 20), 1);  // PCM
    EXPECT_EQ(U16(wave, 22), 1);  // mono
    EXPECT_EQ(U32(wave, 24), f.Rate);
    EXPECT_EQ(U32(wave, 28), f.Rate);  // bytes per second
    EXPECT_EQ(U16(wave, 32), 1);       // block align
    EXPECT_EQ(U16(wave, 34), 8);       // bits per sample
    EXPECT_EQ(wave.mid(36, 4), "data");
    EXPECT_EQ(U32(wave, 40), std::uint32_t(f.Bytes - 44));
  }
}

TEST(Resources, EffectsAreAudibleCentredAndNeverClipOrClick) {
  for (const TEffectFormat& f : effectFormats) {
    SCOPED_TRACE(f.Name);
    const QByteArray wave = LoadResourceStream(f.Name, "WAVDATA");
    ASSERT_EQ(wave.size(), f.Bytes);
    const auto* samples = reinterpret_cast<const std::uint8_t*>(wave.constData()) + 44;
    const int count = f.Bytes - 44;
    double sum = 0;
    double energy = 0;
    int peak = 0;
    int clipped = 0;
    for (int i = 0; i < count; ++i) {
      const int level = samples[i] - 128;
      sum += level;
      energy += double(level) * level;
      peak = std::max(peak, std::abs(level));
      if (samples[i] == 0 || samples[i] == 255) ++clipped;
    }
    EXPECT_GE(peak, 50);   // clearly audible
    EXPECT_LE(peak, 120);  // headroom left
    EXPECT_EQ(clipped, 0);
    EXPECT_GE(std::sqrt(energy / count), 5.0);       // more than a blip in silence
    EXPECT_LE(std::abs(sum / count), 2.0);           // centred on 128
    EXPECT_LE(std::abs(samples[0] - 128), 2);        // faded in
    EXPECT_LE(std::abs(samples[count - 1] - 128), 2);  // and out
  }
}

TEST(Resources, WoodTextureIsABaselineJpegOfBrownGrain) {
  const QByteArray jpeg = LoadResourceStream("SOLID", "JPG");
  // Walk the markers up to the scan: the frame must be baseline (SOF0).
  ASSERT_GE(jpeg.size(), 4);
  ASSERT_EQ(std::uint8_t(jpeg[0]), 0xFF);
  ASSERT_EQ(std::uint8_t(jpeg[1]), 0xD8);
  int frameMarker = 0;
  for (int at = 2; at + 4 <= jpeg.size() && frameMarker == 0;) {
    ASSERT_EQ(std::uint8_t(jpeg[at]), 0xFF);
    const int marker = std::uint8_t(jpeg[at + 1]);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
      frameMarker = marker;
    ASSERT_NE(marker, 0xDA) << "scan before frame header";
    at += 2 + qFromBigEndian<std::uint16_t>(jpeg.constData() + at + 2);
  }
  EXPECT_EQ(frameMarker, 0xC0);

  const QImage image = QImage::fromData(jpeg, "JPG");
  ASSERT_FALSE(image.isNull());
  ASSERT_EQ(image.width(), 96);
  ASSERT_EQ(image.height(), 96);
  double red = 0, green = 0, blue = 0, light = 0, lightSquares = 0;
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) {
      const QRgb c = image.pixel(x, y);
      red += qRed(c);
      green += qGreen(c);
      blue += qBlue(c);
      const double l = qGray(c);
      light += l;
      lightSquares += l * l;
    }
  const double n = 96.0 * 96.0;
  red /= n, green /= n, blue /= n, light /= n;
  EXPECT_GT(red, green + 20);  // warm brown: red over green over blue
  EXPECT_GT(green, blue + 20);
  EXPECT_GT(light, 70);  // neither near black nor washed out
  EXPECT_LT(light, 200);
  EXPECT_GT(std::sqrt(lightSquares / n - light * light), 8.0);  // grain, not a flat colour
}

TEST(Resources, DragCursorIsAWhiteHandOutlinedInBlackWithItsHotSpotOnIt) {
  const TCursorImage cursor = LoadCursorResource(1);
  ASSERT_EQ(cursor.Image.size(), QSize(32, 32));
  ASSERT_TRUE(cursor.Image.hasAlphaChannel());
  int transparent = 0, white = 0, black = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const QRgb c = cursor.Image.pixel(x, y);
      if (qAlpha(c) == 0) ++transparent;
      else if (qAlpha(c) == 255 && qGray(c) > 240) ++white;
      else if (qAlpha(c) == 255 && qGray(c) < 15) ++black;
    }
  EXPECT_EQ(qAlpha(cursor.Image.pixel(0, 0)), 0);
  EXPECT_GT(transparent, 400);
  EXPECT_GT(white, 100);
  EXPECT_GT(black, 40);
  ASSERT_TRUE(QRect(0, 0, 32, 32).contains(cursor.HotSpot.X, cursor.HotSpot.Y));
  EXPECT_EQ(qAlpha(cursor.Image.pixel(cursor.HotSpot.X, cursor.HotSpot.Y)), 255);
  EXPECT_NE(cursor.HotSpot, (TPoint{0, 0}));  // stored with the image, not defaulted

  try {
    LoadCursorResource(2);
    ADD_FAILURE() << "cursor 2 does not exist";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Can't load resource: 2");
  }
}

TEST(Resources, NamesAndTypesMatchWithoutRegardToCase) {
  const QByteArray wave1 = LoadResourceStream("WAVE1", "WAVDATA");
  EXPECT_EQ(LoadResourceStream("wave1", "WAVDATA"), wave1);
  EXPECT_EQ(LoadResourceStream("Wave1", "wavdata"), wave1);
  EXPECT_EQ(LoadResourceStream("solid", "jpg").left(2), QByteArray("\xFF\xD8"));

  EXPECT_EQ(ErrorOf("WAVE6", "WAVDATA"), "Can't load resource: WAVE6");
  EXPECT_EQ(ErrorOf("Solid", "WAVDATA"), "Can't load resource: Solid");  // wrong type
  EXPECT_EQ(ErrorOf("wave1", "WAV"), "Can't load resource: wave1");
  EXPECT_EQ(ErrorOf("../JPG/SOLID", "WAVDATA"), "Can't load resource: ../JPG/SOLID");
  EXPECT_EQ(ErrorOf("", "WAVDATA"), "Can't load resource: ");
}
