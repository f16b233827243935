#include "game/picture.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/jpegerrors.h"

namespace {

// A progressive picture needs one pass over its data per scan; real pictures
// have a dozen, so a file that claims thousands is hostile.
constexpr int MaxScans = 1000;

void LimitScans(j_common_ptr codec) {
  if (!codec->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(codec)->input_scan_number <= MaxScans) return;
  char message[64];
  std::snprintf(message, sizeof message, "Too many scans (more than %d)", MaxScans);
  TJpegErrors::Of(codec).Fail(message);
}

// One row of CMYK pixels as blue, green and red. Files with Adobe's marker
// keep their inks inverted, as Adobe's programs write them (255 is no ink);
// others as they are (0 is no ink). Each colour is what its ink and the
// black leave of white.
void InksToColours(std::span<const JSAMPLE> inks, std::uint8_t* bgr, bool inverted) {
  for (std::size_t i = 0; i + 3 < inks.size(); i += 4, bgr += 3) {
    int left[4];
    for (int k = 0; k < 4; ++k) left[k] = inverted ? inks[i + std::size_t(k)] : 255 - inks[i + std::size_t(k)];
    bgr[0] = std::uint8_t((left[2] * left[3] + 127) / 255);
    bgr[1] = std::uint8_t((left[1] * left[3] + 127) / 255);
    bgr[2] = std::uint8_t((left[0] * left[3] + 127) / 255);
  }
}

class TJpegDecoder {
 public:
  explicit TJpegDecoder(std::span<const std::uint8_t> data) {
    cinfo_.err = errors_.Install();
    progress_.progress_monitor = LimitScans;
    Check(Guarded(errors_, [&] {
      jpeg_create_decompress(&cinfo_);
      cinfo_.progress = &progress_;
      jpeg_mem_src(&cinfo_, data.data(), static_cast<unsigned long>(data.size()));
      jpeg_read_header(&cinfo_, TRUE);
    }));
  }
  TJpegDecoder(const TJpegDecoder&) = delete;
  TJpegDecoder& operator=(const TJpegDecoder&) = delete;

  TJpegInfo Info() const {
    const bool sequential8Bit = !cinfo_.progressive_mode && !cinfo_.arith_code && cinfo_.data_precision == 8;
    const bool plainColors =
        cinfo_.jpeg_color_space == JCS_YCbCr || cinfo_.jpeg_color_space == JCS_GRAYSCALE;
    return {int(cinfo_.image_width), int(cinfo_.image_height), sequential8Bit && plainColors};
  }

  TBitmap Decode(TJpegDamage damage) {
    const std::int64_t width = cinfo_.image_width;
    const std::int64_t height = cinfo_.image_height;
    if (width > 0xFFFF || height > 0xFFFF || width * height > MaxPicturePixels)
      throw EPictureTooLarge(QStringLiteral("The picture is too large (%1 x %2 pixels); at most %3 pixels "
                                      "in all are supported")
                           .arg(width)
                           .arg(height)
                           .arg(MaxPicturePixels));
    // libjpeg gives ink pictures (CMYK, and YCCK turned into CMYK) only as
    // inks; they are turned into colours row by row.
    const bool inks = cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
    cinfo_.out_color_space = inks ? JCS_CMYK : JCS_EXT_BGR;
    Check(Guarded(errors_, [&] { jpeg_start_decompress(&cinfo_); }));
    TBitmap picture(int(cinfo_.output_width), int(cinfo_.output_height));
    std::vector<JSAMPROW> rows(std::size_t(picture.Height()));
    for (int y = 0; y < picture.Height(); ++y) rows[std::size_t(y)] = picture.ScanLine(y);
    std::vector<JSAMPLE> inkRow(inks ? 4 * std::size_t(cinfo_.output_width) : 0);
    const bool decoded = Guarded(errors_, [&] {
      while (cinfo_.output_scanline < cinfo_.output_height) {
        if (!inks) {
          jpeg_read_scanlines(&cinfo_, rows.data() + cinfo_.output_scanline,
                              cinfo_.output_height - cinfo_.output_scanline);
          continue;
        }
        JSAMPROW row = inkRow.data();
        const int y = int(cinfo_.output_scanline);
        if (jpeg_read_scanlines(&cinfo_, &row, 1) == 1)
          InksToColours(inkRow, picture.ScanLine(y), cinfo_.saw_Adobe_marker);
      }
      jpeg_finish_decompress(&cinfo_);
    });
    if (damage == TJpegDamage::Refuse && (!decoded || errors_.Damaged()))
      throw EJpegDamaged(QStringLiteral("The picture is damaged: %1")
                             .arg(errors_.Damaged() ? errors_.DamageText() : errors_.Text()));
    Check(decoded);
    return picture;
  }

 private:
  void Check(bool ok) const {
    if (!ok)
      throw EJpegError(QStringLiteral("The picture could not be decoded: %1")
                           .arg(errors_.Text()));
  }

  // Released also when the constructor throws: members are, the object is not.
  struct TDecompressInfo : jpeg_decompress_struct {
    TDecompressInfo() : jpeg_decompress_struct{} {}
    ~TDecompressInfo() { jpeg_destroy_decompress(this); }
  };

  TJpegErrors errors_;
  jpeg_progress_mgr progress_{};
  TDecompressInfo cinfo_;
};

}  // namespace

TJpegInfo ReadJpegInfo(std::span<const std::uint8_t> data) { return TJpegDecoder(data).Info(); }

TBitmap DecodeJpeg(std::span<const std::uint8_t> data, TJpegDamage damage) {
  return TJpegDecoder(data).Decode(damage);
}

QByteArray EncodeJpeg(const TBitmap& bitmap, int quality) {
  if (bitmap.IsEmpty() || bitmap.Format() != TPixelFormat::Bgr24)
    throw EJpegError(QStringLiteral("Only a 24-bit picture can be stored as JPEG"));
  TJpegErrors errors;
  jpeg_compress_struct cinfo{};
  cinfo.err = errors.Install();
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  struct TRelease {
    jpeg_compress_struct& Info;
    unsigned char*& Buffer;
    ~TRelease() {
      jpeg_destroy_compress(&Info);
      std::free(Buffer);
    }
  } release{cinfo, buffer};

  std::vector<JSAMPROW> rows(std::size_t(bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y)
    rows[std::size_t(y)] = const_cast<JSAMPROW>(bitmap.ScanLine(y));
  const bool ok = Guarded(errors, [&] {
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(bitmap.Width());
    cinfo.image_height = JDIMENSION(bitmap.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;  // smaller, and still baseline
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
      jpeg_write_scanlines(&cinfo, rows.data() + cinfo.next_scanline,
                           cinfo.image_height - cinfo.next_scanline);
    jpeg_finish_compress(&cinfo);
  });
  if (!ok)
    throw EJpegError(QStringLiteral("The picture could not be encoded: %1")
                         .arg(errors.Text()));
  return QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
}

bool PictureInside(const TGiftTrailer& trailer, qint64 fileSize) {
  return trailer.PictureLength > 0 && qint64(trailer.PictureOffset) + qint64(trailer.PictureLength) <= fileSize;
}

void LoadPicture(const QString& path, const TGiftTrailer& trailer, TBitmap& bitmap) {
  QByteArray data;
  {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
      throw EError(QStringLiteral("Cannot open file \"%1\". %2")
                       .arg(QDir::toNativeSeparators(path), file.errorString()));
    if (PictureInside(trailer, file.size()) && file.seek(trailer.PictureOffset)) data = file.read(trailer.PictureLength);
    if (data.size() != qint64(trailer.PictureLength) || data.isEmpty())
      throw EError(MissingPictureMessage());
  }
  bitmap = DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                std::size_t(data.size())));
}
