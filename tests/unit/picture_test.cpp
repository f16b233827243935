#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <cstdlib>

#include "game/picture.h"
#include "tests/common/inkjpeg.h"

namespace {

// Four quadrants: red, green, blue, white.
QImage Quadrants(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool right = x >= w / 2, bottom = y >= h / 2;
      image.setPixel(x, y, !bottom ? (right ? qRgb(0, 200, 0) : qRgb(220, 0, 0))
                                   : (right ? qRgb(255, 255, 255) : qRgb(0, 0, 230)));
    }
  return image;
}

QByteArray Jpeg(const QImage& image, bool progressive = false) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(95);
  writer.setProgressiveScanWrite(progressive);
  EXPECT_TRUE(writer.write(image)) << qPrintable(writer.errorString());
  return data;
}

std::span<const std::uint8_t> Bytes(const QByteArray& data) {
  return {reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())};
}

// The pixel as blue, green, red bytes.
void ExpectNear(const TBitmap& b, int x, int y, int red, int green, int blue) {
  const std::uint8_t* p = b.ScanLine(y) + 3 * x;
  EXPECT_LE(std::abs(p[0] - blue), 12) << x << "," << y;
  EXPECT_LE(std::abs(p[1] - green), 12) << x << "," << y;
  EXPECT_LE(std::abs(p[2] - red), 12) << x << "," << y;
}

TEST(Picture, DecodesBaselineAndProgressiveIntoBlueGreenRedRows) {
  for (const bool progressive : {false, true}) {
    const QByteArray data = Jpeg(Quadrants(64, 48), progressive);
    const TJpegInfo info = ReadJpegInfo(Bytes(data));
    EXPECT_EQ(info.Width, 64);
    EXPECT_EQ(info.Height, 48);
    EXPECT_EQ(info.Baseline, !progressive);

    const TBitmap b = DecodeJpeg(Bytes(data));
    ASSERT_EQ(b.Format(), TPixelFormat::Bgr24);
    ASSERT_EQ(b.Width(), 64);
    ASSERT_EQ(b.Height(), 48);
    ExpectNear(b, 8, 8, 220, 0, 0);
    ExpectNear(b, 56, 8, 0, 200, 0);
    ExpectNear(b, 8, 40, 0, 0, 230);
    ExpectNear(b, 56, 40, 255, 255, 255);
  }
}

TEST(Picture, InkPicturesComeOutAsColour) {
  const struct {
    J_COLOR_SPACE Stored;
    bool Adobe;
    const char* What;
  } kinds[] = {{JCS_CMYK, false, "CMYK"}, {JCS_CMYK, true, "inverted CMYK"}, {JCS_YCCK, true, "YCCK"}};
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.What);
    const QByteArray data = InkJpeg(kind.Stored, kind.Adobe);
    // Not what the gift keeps as it is: the gift tool encodes it again.
    EXPECT_FALSE(ReadJpegInfo(Bytes(data)).Baseline);
    const TBitmap b = DecodeJpeg(Bytes(data), TJpegDamage::Refuse);
    ASSERT_EQ(b.Format(), TPixelFormat::Bgr24);
    ASSERT_EQ(b.Width(), 64);
    ASSERT_EQ(b.Height(), 48);
    ExpectNear(b, 8, 8, 255, 0, 0);
    ExpectNear(b, 56, 8, 0, 255, 0);
    ExpectNear(b, 8, 40, 127, 127, 127);
    ExpectNear(b, 56, 40, 255, 255, 255);
  }
}

TEST(Picture, GreyPicturesComeOutAsColour) {
  QImage grey(20, 10, QImage::Format_Grayscale8);
  grey.fill(100);
  const QByteArray data = Jpeg(grey);
  const TBitmap b = DecodeJpeg(Bytes(data));
  EXPECT_EQ(b.Format(), TPixelFormat::Bgr24);
  ExpectNear(b, 10, 5, 100, 100, 100);
}

TEST(Picture, DamagedDataGivesLibjpegsOwnMessage) {
  const QByteArray notJpeg = "\x89PNG\r\n\x1A\n and so on, this is no JPEG at all";
  try {
    DecodeJpeg(Bytes(notJpeg));
    FAIL() << "no error";
  } catch (const EJpegError& e) {
    EXPECT_TRUE(e.Message().startsWith("The picture could not be decoded: Not a JPEG file")) << qPrintable(e.Message());
  }

  // Only the start of a JPEG: the header is incomplete.
  const QByteArray data = Jpeg(Quadrants(64, 48));
  EXPECT_THROW(DecodeJpeg(Bytes(data.left(40))), EJpegError);
  EXPECT_THROW(DecodeJpeg({}), EJpegError);

  // A broken frame header: zero columns.
  QByteArray broken = data;
  const qsizetype sof = broken.indexOf("\xFF\xC0");
  ASSERT_GT(sof, 0);
  broken[sof + 7] = 0;
  broken[sof + 8] = 0;
  EXPECT_THROW(DecodeJpeg(Bytes(broken)), EJpegError);

  // Cut in the middle of the picture data: libjpeg fills the rest, as any
  // viewer does.
  const qsizetype scan = data.indexOf("\xFF\xDA");
  ASSERT_GT(scan, 0);
  const TBitmap partial = DecodeJpeg(Bytes(data.left(scan + (data.size() - scan) / 2)));
  EXPECT_EQ(partial.Width(), 64);
  EXPECT_EQ(partial.Height(), 48);
}

TEST(Picture, RefusesDamagedDataOnlyWhenAsked) {
  const QByteArray data = Jpeg(Quadrants(64, 48));
  EXPECT_EQ(DecodeJpeg(Bytes(data), TJpegDamage::Refuse).Image(), DecodeJpeg(Bytes(data)).Image());

  // Cut in the middle of the picture data, and RST markers written over the
  // middle of it: both are filled in unless refused.
  const qsizetype scan = data.indexOf("\xFF\xDA");
  ASSERT_GT(scan, 0);
  const qsizetype middle = scan + (data.size() - scan) / 2;
  QByteArray corrupt = data;
  for (qsizetype i = 0; i < 16; i += 2) corrupt.replace(middle + i, 2, "\xFF\xD0");
  const struct {
    QByteArray Data;
    QString Message;
  } damaged[] = {
      {data.left(middle), "The picture is damaged: Premature end of JPEG file"},
      {corrupt, "The picture is damaged: Corrupt JPEG data: premature end of data segment"},
  };
  for (const auto& d : damaged) {
    EXPECT_EQ(DecodeJpeg(Bytes(d.Data)).Height(), 48);
    try {
      DecodeJpeg(Bytes(d.Data), TJpegDamage::Refuse);
      ADD_FAILURE() << "no error for " << qPrintable(d.Message);
    } catch (const EJpegDamaged& e) {
      EXPECT_EQ(e.Message(), d.Message);
    }
  }

  // Warnings that lose nothing: an unknown JFIF version (2.1), and two stray
  // bytes between the header's segments.
  QByteArray newerJfif = data;
  const qsizetype jfif = newerJfif.indexOf(QByteArray("JFIF\0", 5));
  ASSERT_GT(jfif, 0);
  newerJfif[jfif + 5] = 2;
  QByteArray strayBytes = data;
  const qsizetype tables = strayBytes.indexOf("\xFF\xDB");
  ASSERT_GT(tables, 0);
  strayBytes.insert(tables, "\x12\x34");
  for (const QByteArray& harmless : {newerJfif, strayBytes})
    EXPECT_EQ(DecodeJpeg(Bytes(harmless), TJpegDamage::Refuse).Image(), DecodeJpeg(Bytes(data)).Image());
}

TEST(Picture, RefusesPicturesTooLargeBeforeDecodingThem) {
  // A small JPEG whose frame header claims 60000 x 60000 pixels.
  QByteArray data = Jpeg(Quadrants(16, 16));
  const qsizetype sof = data.indexOf("\xFF\xC0");
  ASSERT_GT(sof, 0);
  data[sof + 5] = char(0xEA);  // height 0xEA60 = 60000
  data[sof + 6] = char(0x60);
  data[sof + 7] = char(0xEA);
  data[sof + 8] = char(0x60);
  EXPECT_EQ(ReadJpegInfo(Bytes(data)).Width, 60000);
  try {
    DecodeJpeg(Bytes(data));
    FAIL() << "no error";
  } catch (const EPictureTooLarge& e) {
    EXPECT_TRUE(e.Message().contains("60000 x 60000")) << qPrintable(e.Message());
  }
}

TEST(Picture, EncodesBaselineJpegThatOthersRead) {
  TBitmap bitmap(QImage(Quadrants(40, 30)).convertToFormat(QImage::Format_BGR888));
  const QByteArray data = EncodeJpeg(bitmap, 92);
  const TJpegInfo info = ReadJpegInfo(Bytes(data));
  EXPECT_TRUE(info.Baseline);
  EXPECT_EQ(info.Width, 40);
  const QImage back = QImage::fromData(data, "JPEG");
  ASSERT_FALSE(back.isNull());
  const QRgb red = back.pixel(5, 5);
  EXPECT_GT(qRed(red), 200);
  EXPECT_LT(qBlue(red), 30);
  const QRgb blue = back.pixel(5, 25);
  EXPECT_GT(qBlue(blue), 200);

  EXPECT_THROW(EncodeJpeg(TBitmap(), 90), EJpegError);
}

}  // namespace
