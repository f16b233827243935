#include "pieces/overlaybuilder.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstring>

#include "pieces/pieces.h"
#include "platform/errors.h"

namespace {

// For every mask byte, the eight bytes 1 (inside: bit clear) or 0, leftmost
// pixel first, as they lie in memory.
const std::array<std::uint64_t, 256> InsideBytes = [] {
  std::array<std::uint64_t, 256> table{};
  for (int m = 0; m < 256; ++m) {
    std::array<std::uint8_t, 8> bytes{};
    for (int k = 0; k < 8; ++k) bytes[std::size_t(k)] = ((m >> (7 - k)) & 1) ? 0 : 1;
    std::memcpy(&table[std::size_t(m)], bytes.data(), 8);
  }
  return table;
}();

}  // namespace

TOverlayBuilder::TOverlayBuilder(const TPieces& pieces)
    : pieces_(pieces), stride_(pieces.Puzzle().CellWidth) {
  const int style = pieces.Options().OutlineStyle;
  if (style == OutlineNone) return;
  const int rows = pieces.Puzzle().CellHeight + (style == OutlineWood ? pieces.Thickness : 0);
  // Rows are unpacked eight pixels at a time: room for one byte group more.
  inside_.assign(std::size_t(stride_) * pieces.Puzzle().CellHeight + 8, 0);
  work_.assign(std::size_t(stride_) * std::size_t(rows), 0);
  encoded_.reserve(TSprite::MaxEncodedSize(std::uint16_t(stride_), std::uint16_t(rows)));
  if (style == OutlineWood) {
    if (pieces.Texture.Format() != TPixelFormat::Indexed8 || pieces.Texture.IsEmpty())
      throw EError(QStringLiteral("The wood texture of the piece sides is missing."));
    sideLeft_.assign(std::size_t(stride_), 0);
  }
}

void TOverlayBuilder::Build(TFormPiece& p) {
  const int style = pieces_.Options().OutlineStyle;
  if (style == OutlineNone) {
    p.RimSprite = {};
    p.SideSprite = {};
    return;
  }
  UnpackMask(p);
  BuildRim(p);
  if (style == OutlineWood)
    BuildSide(p);
  else
    p.SideSprite = {};
}

void TOverlayBuilder::UnpackMask(const TFormPiece& p) {
  const TBitmap& mask = pieces_.MaskSheet;
  const int width = p.Width;
  const int height = p.Height;
  if (width > stride_ || height > pieces_.Puzzle().CellHeight || p.SheetX < 0 || p.SheetY < 0 ||
      p.SheetX % 8 != 0 || p.SheetX + width > mask.Width() || p.SheetY + height > mask.Height() ||
      mask.Format() != TPixelFormat::Mono)
    throw EError(QStringLiteral("Piece %1 does not lie in a cell of the mask sheet.").arg(p.Index));
  const int bytes = (width + 7) / 8;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* bits = mask.ScanLine(p.SheetY + y) + p.SheetX / 8;
    std::uint8_t* out = inside_.data() + std::size_t(y) * std::size_t(stride_);
    for (int b = 0; b < bytes; ++b) std::memcpy(out + 8 * b, &InsideBytes[bits[b]], 8);
  }
}

// Every diagonal running down and to the right gets a light band where it
// enters the piece and a dark band where it leaves, so that faces turned up
// and left look lit and faces turned down and right look shaded. A run of
// inside pixels that ends at the diagonal's last pixel counts without it; the
// dark band ends at the run's last pixel and may cover light ones.
void TOverlayBuilder::BuildRim(TFormPiece& p) {
  const int width = p.Width;
  const int height = p.Height;
  const int rimWidth = pieces_.RimWidth;
  const std::ptrdiff_t step = stride_ + 1;
  for (int j = 0; j < width + height - 1; ++j) {
    const int x0 = j < height ? 0 : j - height + 1;
    const int y0 = j < height ? height - 1 - j : 0;
    const int length = std::min(width - x0, height - y0);
    const std::ptrdiff_t start = std::ptrdiff_t(y0) * stride_ + x0;
    const std::uint8_t* in = inside_.data() + start;
    std::uint8_t* out = work_.data() + start;
    for (int k = 0; k < length;) {
      while (k < length && !in[k * step]) ++k;
      if (k == length) break;
      const int first = k;
      while (k < length && in[k * step]) ++k;
      const int last = k - 1;
      const int counted = k - first - (k == length ? 1 : 0);
      if (counted == 0) continue;
      const int light = std::min(counted, rimWidth);
      for (int t = first; t < first + light; ++t) out[t * step] = RimLight;
      const int deep = std::max(0, counted - rimWidth - 1);
      const int dark = (light + std::min(rimWidth, deep) + 1) / 2;
      for (int t = last - dark + 1; t <= last; ++t) out[t * step] = RimDark;
    }
  }
  Encode(true, width, height, p.RimSprite);
}

// Below every face turned down the piece shows up to Thickness rows of
// wood, also under its bottom row.
void TOverlayBuilder::BuildSide(TFormPiece& p) {
  const int width = p.Width;
  const int height = p.Height;
  const int thickness = pieces_.Thickness;
  const TBitmap& texture = pieces_.Texture;
  const int textureWidth = texture.Width();
  const int textureHeight = texture.Height();
  std::fill_n(sideLeft_.begin(), width, 0);
  const int firstColumn = p.SheetX % textureWidth;
  for (int y = 0; y < height + thickness; ++y) {
    const std::uint8_t* in = y < height ? inside_.data() + std::size_t(y) * std::size_t(stride_) : nullptr;
    std::uint8_t* out = work_.data() + std::size_t(y) * std::size_t(stride_);
    const std::uint8_t* wood = texture.ScanLine(y % textureHeight);
    int column = firstColumn;
    for (int x = 0; x < width; ++x) {
      std::int32_t& left = sideLeft_[std::size_t(x)];
      if (in && in[x]) {
        left = thickness;
      } else if (left > 0) {
        out[x] = wood[column];
        --left;
      }
      if (++column == textureWidth) column = 0;
    }
  }
  Encode(false, width, height + thickness, p.SideSprite);
}

void TOverlayBuilder::Encode(bool rim, int width, int height, std::vector<std::uint8_t>& sprite) {
  const TSprite& painter = rim ? pieces_.RimPainter : pieces_.SidePainter;
  painter.Encode(std::uint16_t(width), std::uint16_t(height), encoded_, work_, std::uint16_t(stride_));
  sprite.assign(encoded_.begin(), encoded_.end());
  for (int y = 0; y < height; ++y)
    std::fill_n(work_.begin() + std::ptrdiff_t(y) * stride_, width, std::uint8_t(0));
}
