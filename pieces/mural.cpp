#include "pieces/mural.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/colors.h"
#include "platform/system.h"
#include "platform/utility.h"

namespace {

// Fills the width pixels of a 24-bit row with one colour: the first pixel is
// written, then the filled part is doubled until the row is full.
void FillRow(std::uint8_t* row, int width, TColor color) {
  if (width <= 0) return;
  row[0] = std::uint8_t(BlueOf(color));
  row[1] = std::uint8_t(GreenOf(color));
  row[2] = std::uint8_t(RedOf(color));
  const std::size_t total = std::size_t(width) * 3;
  for (std::size_t filled = 3; filled < total; filled *= 2)
    std::memcpy(row + filled, row, std::min(filled, total - filled));
}

}  // namespace

void TMural::SetSize(int width, int height) {
  if (width == image_.Width() && height == image_.Height()) return;
  // The old pixels are not worth keeping: Paint follows.
  image_ = TBitmap(width, height, TPixelFormat::Bgr24);
}

void TMural::Place(TPoint origin, int boardHeight) {
  image_.SetOrigin(origin);
  boardHeight_ = boardHeight;
}

void TMural::Paint(TColor color) {
  const int width = image_.Width();
  const int height = image_.Height();
  if (image_.IsEmpty()) return;

  // Without a screen (headless rendering) the depth is 0 and the exact
  // gradient is kept.
  const int depth = ScreenDepth();
  const bool dither = depth > 0 && depth < 24;
  if (dither) Dither(0, true);

  const TColor rgb = ColorToRGB(color);
  const std::int64_t red = RedOf(rgb), green = GreenOf(rgb), blue = BlueOf(rgb);
  std::uint8_t* previous = nullptr;
  TColor previousColor = 0;
  for (int y = 0; y < height; ++y) {
    const std::int64_t f = height - y / 2;
    TColor rowColor = RGBColor(int(red * f / height), int(green * f / height), int(blue * f / height));
    if (dither) rowColor = Dither(rowColor, false);
    std::uint8_t* row = image_.ScanLine(y);
    // Neighbouring rows mostly share their colour: copy the row above then.
    if (previous && rowColor == previousColor)
      std::memcpy(row, previous, std::size_t(width) * 3);
    else
      FillRow(row, width, rowColor);
    previous = row;
    previousColor = rowColor;
  }
}

void TMural::Draw(TRect rect, TBitmap& target) const {
  BitBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), image_, rect.Left, rect.Top,
         TRasterOp::SrcCopy);
}
