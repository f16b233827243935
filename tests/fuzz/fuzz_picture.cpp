// The gift's picture as the player decodes it: any bytes give either a
// 24-bit bitmap of the size the header states or a JPEG error, never a
// crash or a read outside the data.

#include <cstdint>

#include "game/picture.h"
#include "tests/fuzz/fuzzing.h"

namespace {

// Pictures up to this size are decoded in full. Larger ones, up to the
// player's limit, take seconds and hundreds of megabytes of grey filler for a
// few bytes of input: they measure the memory, not the decoder, and would
// starve the search.
constexpr std::int64_t DecodedPixels = std::int64_t(2048) * 2048;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  TJpegInfo info;
  try {
    info = ReadJpegInfo(bytes);
  } catch (const EJpegError&) {
    // No header: decoding must refuse it just the same.
    try {
      DecodeJpeg(bytes);
    } catch (const EJpegError&) {
      return 0;
    }
    FuzzFailure("a picture without a header was decoded");
  }
  const std::int64_t pixels = std::int64_t(info.Width) * info.Height;
  if (pixels > DecodedPixels && pixels <= MaxPicturePixels) return 0;

  try {
    const TBitmap picture = DecodeJpeg(bytes);
    FuzzCheck(pixels <= MaxPicturePixels, "a picture above the limit was decoded");
    FuzzCheck(picture.Format() == TPixelFormat::Bgr24, "the picture is not 24 bits per pixel");
    FuzzCheck(picture.Width() == info.Width && picture.Height() == info.Height,
              "the picture is not the size its header states");
  } catch (const EPictureTooLarge&) {
    FuzzCheck(pixels > MaxPicturePixels || info.Width > 0xFFFF || info.Height > 0xFFFF,
              "a picture within the limit was refused as too large");
  } catch (const EJpegError&) {
  }
  return 0;
}
