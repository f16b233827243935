#include "pieces/texture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <cstdlib>
#include <vector>

#include "platform/errors.h"

namespace {

std::vector<std::uint8_t> ToJpeg(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "JPG", 95)) return {};
  return {bytes.begin(), bytes.end()};
}

}  // namespace

TEST(QuantisedJpeg, ColoursComeThroughThePalette) {
  // Four flat quadrants: the palette must hold a close match for each.
  QImage image(32, 24, QImage::Format_RGB32);
  const QRgb colours[4] = {qRgb(200, 40, 30), qRgb(20, 160, 60), qRgb(30, 50, 220), qRgb(240, 230, 200)};
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 32; ++x) image.setPixel(x, y, colours[(y / 12) * 2 + x / 16]);
  const auto jpeg = ToJpeg(image);
  if (jpeg.empty()) GTEST_SKIP() << "no JPEG writer in this Qt";

  const TBitmap decoded = DecodeQuantisedJpeg(jpeg);
  ASSERT_EQ(decoded.Format(), TPixelFormat::Indexed8);
  ASSERT_EQ(decoded.Width(), 32);
  ASSERT_EQ(decoded.Height(), 24);
  // Away from the quadrant borders, where JPEG blurs.
  for (int y : {3, 8, 15, 20})
    for (int x : {3, 12, 19, 28}) {
      const QRgb want = colours[(y / 12) * 2 + x / 16];
      const TColor got = decoded.Pixel(x, y);
      EXPECT_NEAR(RedOf(got), qRed(want), 24) << x << "," << y;
      EXPECT_NEAR(GreenOf(got), qGreen(want), 24) << x << "," << y;
      EXPECT_NEAR(BlueOf(got), qBlue(want), 24) << x << "," << y;
    }
}

TEST(QuantisedJpeg, BadDataIsAnErrorNotACrash) {
  EXPECT_THROW(DecodeQuantisedJpeg({}), EError);
  const std::vector<std::uint8_t> garbage{0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x01, 0x42, 0x42, 0x42};
  EXPECT_THROW(DecodeQuantisedJpeg(garbage), EError);
  const std::vector<std::uint8_t> notJpeg(100, 0x55);
  try {
    DecodeQuantisedJpeg(notJpeg);
    FAIL() << "decoded something that is not a JPEG";
  } catch (const EError& e) {
    EXPECT_TRUE(e.Message().startsWith("The texture could not be decoded: ")) << e.Message().toStdString();
  }

  // A JPEG cut short decodes what is there or fails cleanly.
  QImage image(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) image.setPixel(x, y, qRgb(x * 4, y * 4, (x ^ y) * 4));
  auto jpeg = ToJpeg(image);
  if (jpeg.empty()) GTEST_SKIP() << "no JPEG writer in this Qt";
  for (std::size_t keep : {jpeg.size() / 2, std::size_t(200), std::size_t(20)}) {
    const std::vector<std::uint8_t> cut(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(keep));
    try {
      const TBitmap partial = DecodeQuantisedJpeg(cut);
      EXPECT_EQ(partial.Width(), 64);
    } catch (const EError&) {
    }
  }
}
