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
  // The old pixels are not worth keeping: Paint follows. The place stays.
  const TPoint origin = image_.Origin();
  image_ = TBitmap(width, height, TPixelFormat::Bgr24);
  image_.SetOrigin(origin);
}

void TMural::Place(TPoint origin, int boardHeight) {
  image_.SetOrigin(origin);
  boardHeight_ = boardHeight;
}

void TMural::Paint(TColor color) {
  const int width = image_.Width();
  const int height = image_.Height();
  if (image_.IsEmpty()) return;
  const int top = image_.Origin().Y;
  const std::int64_t board = boardHeight_ > 0 ? boardHeight_ : height;

  const TColor rgb = ColorToRGB(color);
  const std::int64_t red = RedOf(rgb), green = GreenOf(rgb), blue = BlueOf(rgb);
  // Rows above the board keep its top colour and rows past twice its height
  // stay black, so that no channel leaves 0..255.
  const auto boardRowColor = [&](int y) {
    const std::int64_t f = std::clamp<std::int64_t>(board - y / 2, 0, board);
    return RGBColor(int(red * f / board), int(green * f / board), int(blue * f / board));
  };

  // Without a screen (headless rendering) the depth is 0 and the exact
  // gradient is kept.
  const int depth = ScreenDepth();
  const bool dither = depth > 0 && depth < 24;
  if (dither) {
    Dither(0, true);
    // The rounding error carried down the board reaches the first row shown
    // as it would with the whole board painted.
    for (int y = 0; y < top; ++y) Dither(boardRowColor(y), false);
  }

  std::uint8_t* previous = nullptr;
  TColor previousColor = 0;
  for (int row = 0; row < height; ++row) {
    TColor rowColor = boardRowColor(top + row);
    if (dither) rowColor = Dither(rowColor, false);
    std::uint8_t* pixels = image_.ScanLine(row);
    // Neighbouring rows mostly share their colour: copy the row above then.
    if (previous && rowColor == previousColor)
      std::memcpy(pixels, previous, std::size_t(width) * 3);
    else
      FillRow(pixels, width, rowColor);
    previous = pixels;
    previousColor = rowColor;
  }
}

void TMural::Draw(TRect rect, TBitmap& target) const {
  BitBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), image_, rect.Left, rect.Top,
         TRasterOp::SrcCopy);
}
