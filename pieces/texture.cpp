#include "pieces/texture.h"

#include <QString>

#include "platform/errors.h"
#include "platform/jpegerrors.h"
#include "platform/utility.h"

namespace {

// Runs the whole decode into target. Returns false after a libjpeg error, with
// its text in errors.Message. Only trivially destructible locals live here,
// so the jump out of libjpeg skips no destructor.
bool RunDecoder(jpeg_decompress_struct& info, TJpegErrors& errors, std::span<const std::uint8_t> jpeg,
                TBitmap& target) {
  return Guarded(errors, [&] {
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = 256;
    info.two_pass_quantize = TRUE;
    info.dither_mode = JDITHER_FS;
    jpeg_start_decompress(&info);

    target = TBitmap(int(info.output_width), int(info.output_height), TPixelFormat::Indexed8);
    for (int i = 0; i < info.actual_number_of_colors; ++i)
      target.SetPaletteEntry(i, RGBColor(info.colormap[0][i], info.colormap[1][i], info.colormap[2][i]));
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = target.ScanLine(int(info.output_scanline));
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
  });
}

class TDecompressor {
 public:
  TDecompressor() {
    info_.err = errors_.Install();
    jpeg_create_decompress(&info_);
  }
  ~TDecompressor() { jpeg_destroy_decompress(&info_); }
  TDecompressor(const TDecompressor&) = delete;
  TDecompressor& operator=(const TDecompressor&) = delete;

  TBitmap Decode(std::span<const std::uint8_t> jpeg) {
    TBitmap result;
    if (!RunDecoder(info_, errors_, jpeg, result))
      throw EError(QStringLiteral("The texture could not be decoded: %1").arg(errors_.Text()));
    return result;
  }

 private:
  jpeg_decompress_struct info_{};
  TJpegErrors errors_{};
};

}  // namespace

TBitmap DecodeQuantisedJpeg(std::span<const std::uint8_t> jpeg) {
  if (jpeg.empty()) throw EError(QStringLiteral("The texture could not be decoded: no data"));
  TDecompressor decompressor;
  return decompressor.Decode(jpeg);
}

TBitmap LoadSideTexture() {
  const QByteArray bytes = LoadResourceStream(QStringLiteral("SOLID"), QStringLiteral("JPG"));
  return DecodeQuantisedJpeg(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
}
