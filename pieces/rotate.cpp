#include "pieces/rotate.h"

#include <cstddef>
#include <cstring>

#include "platform/errors.h"

namespace {

// The source pixel behind each destination pixel moves in straight lines:
// destination (0, 0) reads source (X, Y); one step right in the destination
// moves the source position by (ColumnX, ColumnY), one step down by
// (RowX, RowY).
struct TSourceWalk {
  int X, Y;
  int ColumnX, ColumnY;
  int RowX, RowY;
};

// Copies the destWidth x destHeight top-left rectangle of to from the pixels
// the walk visits in from. Positions are counted in bits so that one routine
// serves mono masks and byte-sized pixels.
template <int Bits>
void CopyWalk(const TBitmap& from, TBitmap& to, int destWidth, int destHeight, const TSourceWalk& walk) {
  const std::ptrdiff_t fromRowBits = std::ptrdiff_t(from.Stride()) * 8;
  const auto bitOffset = [&](int x, int y) { return std::ptrdiff_t(y) * fromRowBits + std::ptrdiff_t(x) * Bits; };
  const std::ptrdiff_t columnStep = bitOffset(walk.ColumnX, walk.ColumnY);
  const std::ptrdiff_t rowStep = bitOffset(walk.RowX, walk.RowY);

  const std::uint8_t* source = from.ScanLine(0);
  std::uint8_t* destRows = to.ScanLine(0);
  const std::ptrdiff_t destStride = to.Stride();
  std::ptrdiff_t rowStart = bitOffset(walk.X, walk.Y);
  for (int row = 0; row < destHeight; ++row, rowStart += rowStep) {
    std::uint8_t* out = destRows + row * destStride;
    std::ptrdiff_t at = rowStart;
    for (int column = 0; column < destWidth; ++column, at += columnStep) {
      if constexpr (Bits == 1) {
        // Only this pixel's bit of the destination byte changes.
        const bool white = (source[at >> 3] >> (7 - (at & 7))) & 1;
        const auto bit = std::uint8_t(0x80 >> (column & 7));
        std::uint8_t& target = out[column >> 3];
        target = white ? std::uint8_t(target | bit) : std::uint8_t(target & ~bit);
      } else {
        std::memcpy(out + std::ptrdiff_t(column) * (Bits / 8), source + (at >> 3), Bits / 8);
      }
    }
  }
}

}  // namespace

void TRotate::Rotate(const TBitmap& source, TBitmap& dest, int width, int height, int turns) {
  LastColumn = width - 1;
  FirstRow = 0;
  LastRow = height - 1;
  if (width <= 0 || height <= 0) return;

  turns &= 3;  // also maps -1 to 3
  const bool odd = turns & 1;
  const int destWidth = odd ? height : width;
  const int destHeight = odd ? width : height;
  if (source.Format() != dest.Format())
    throw EError(QStringLiteral("Can't turn pixels between bitmaps of different formats"));
  if (width > source.Width() || height > source.Height() || destWidth > dest.Width() ||
      destHeight > dest.Height())
    throw EError(QStringLiteral("Can't turn a %1 x %2 area of a %3 x %4 bitmap into a %5 x %6 bitmap")
                     .arg(width)
                     .arg(height)
                     .arg(source.Width())
                     .arg(source.Height())
                     .arg(dest.Width())
                     .arg(dest.Height()));

  TSourceWalk walk{};
  switch (turns) {
    case 0:  // (x, y) from (x, y)
      walk = {0, FirstRow, 1, 0, 0, 1};
      break;
    case 1:  // (x, y) from (y, height - 1 - x)
      walk = {0, LastRow, 0, -1, 1, 0};
      break;
    case 2:  // (x, y) from (width - 1 - x, height - 1 - y)
      walk = {LastColumn, LastRow, -1, 0, 0, -1};
      break;
    default:  // (x, y) from (width - 1 - y, x)
      walk = {LastColumn, FirstRow, 0, 1, -1, 0};
      break;
  }

  // Turning a bitmap onto itself reads from a copy; the first write then
  // gives dest pixels of its own.
  const TBitmap copy = &source == &dest ? source : TBitmap();
  const TBitmap& from = &source == &dest ? copy : source;
  switch (source.Format()) {
    case TPixelFormat::Bgr24:
      CopyWalk<24>(from, dest, destWidth, destHeight, walk);
      break;
    case TPixelFormat::Indexed8:
      CopyWalk<8>(from, dest, destWidth, destHeight, walk);
      break;
    case TPixelFormat::Mono:
      CopyWalk<1>(from, dest, destWidth, destHeight, walk);
      break;
  }
}
