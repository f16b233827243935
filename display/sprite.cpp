#include "display/sprite.h"

#include <algorithm>
#include <array>

#include "platform/errors.h"

namespace {

std::uint32_t ReadWord(const std::uint8_t* at) {
  return std::uint32_t(at[0]) | (std::uint32_t(at[1]) << 8) | (std::uint32_t(at[2]) << 16) |
         (std::uint32_t(at[3]) << 24);
}

void WriteWord(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  out[at] = std::uint8_t(value);
  out[at + 1] = std::uint8_t(value >> 8);
  out[at + 2] = std::uint8_t(value >> 16);
  out[at + 3] = std::uint8_t(value >> 24);
}

// Appends four bytes to be filled in later and returns where they are.
std::size_t ReserveWord(std::vector<std::uint8_t>& out) {
  out.resize(out.size() + 4);
  return out.size() - 4;
}

// ClampTable[128 + v] is v limited to 0..255, for v from -128 to 382: a
// channel plus a signed delta.
constexpr std::array<std::uint8_t, 511> ClampTable = [] {
  std::array<std::uint8_t, 511> table{};
  for (int v = -128; v <= 382; ++v)
    table[std::size_t(v + 128)] = std::uint8_t(std::clamp(v, 0, 255));
  return table;
}();

// The length of the row record at pos, or 0 when there is no sound record
// there (too short, or reaching past the end of the block).
std::size_t RowLength(std::span<const std::uint8_t> block, std::size_t pos) {
  if (block.size() - pos < 4) return 0;
  const std::size_t length = ReadWord(block.data() + pos) & 0xFFFF;
  if (length < 4 || length > block.size() - pos) return 0;
  return length;
}

}  // namespace

TSprite::TSprite(bool additive, std::uint8_t keyValue) : additive_(additive), keyValue_(keyValue) {}

void TSprite::LoadPalette(const TBitmap& texture) {
  if (texture.Format() != TPixelFormat::Indexed8)
    throw EError(QStringLiteral("The overlay palette must come from an 8-bit palettised bitmap."));
  // The last entry is not taken: it keeps whatever it held before.
  for (int i = 0; i < 255; ++i) {
    const TColor c = texture.PaletteEntry(i);
    palette_[i] = {std::uint8_t(RedOf(c)), std::uint8_t(GreenOf(c)), std::uint8_t(BlueOf(c)), 0};
  }
}

std::size_t TSprite::MaxEncodedSize(std::uint16_t width, std::uint16_t height) {
  const std::size_t row = 4 + 4 * std::size_t(width) + (std::size_t(width) + 1) / 2;
  return row * height;
}

std::size_t TSprite::Encode(std::uint16_t width, std::uint16_t height,
                            std::vector<std::uint8_t>& output, std::span<const std::uint8_t> source,
                            std::uint16_t stride) const {
  if (width > 0 && height > 0 && source.size() < std::size_t(height - 1) * stride + width)
    throw EError(QStringLiteral("The overlay image is smaller than its size says."));
  output.clear();
  for (std::size_t row = 0; row < height; ++row) {
    const std::uint8_t* pixels = source.data() + row * stride;
    const std::size_t rowStart = ReserveWord(output);
    // Whole runs at a time: find where the class of pixel changes, then
    // write the run's word and, for an opaque run, its bytes in one go.
    const std::uint8_t* const end = pixels + width;
    for (const std::uint8_t* run = pixels; run < end;) {
      const bool opaque = *run != keyValue_;
      const std::uint8_t* const runEnd =
          opaque ? std::find(run, end, keyValue_)
                 : std::find_if(run, end, [key = keyValue_](std::uint8_t v) { return v != key; });
      const std::size_t count = std::size_t(runEnd - run);
      WriteWord(output, ReserveWord(output), std::uint32_t(count) | ((opaque ? OpaqueRun : TransparentRun) << 16));
      if (opaque) output.insert(output.end(), run, runEnd);
      run = runEnd;
    }
    const std::size_t rowBytes = output.size() - rowStart;
    if (rowBytes > MaxRowBytes) {
      output.clear();
      throw EError(QStringLiteral("An overlay row of %1 pixels is too long to encode.").arg(width));
    }
    WriteWord(output, rowStart, std::uint32_t(rowBytes));
  }
  return output.size();
}

void TSprite::ApplyOpaque(const std::uint8_t* data, std::uint8_t* pixel, std::size_t count) const {
  if (additive_) {
    for (std::size_t i = 0; i < count; ++i, pixel += 3) {
      const std::uint8_t* clamped = ClampTable.data() + 128 + std::int8_t(data[i]);
      pixel[0] = clamped[pixel[0]];
      pixel[1] = clamped[pixel[1]];
      pixel[2] = clamped[pixel[2]];
    }
  } else {
    for (std::size_t i = 0; i < count; ++i, pixel += 3) {
      const TPaletteEntry& entry = palette_[data[i]];
      pixel[0] = entry.Blue;
      pixel[1] = entry.Green;
      pixel[2] = entry.Red;
    }
  }
}

void TSprite::DrawRuns(std::span<const std::uint8_t> block, TBitmap& target, const TRect* clip,
                       int x, int y, int width, int height) const {
  if (target.Format() != TPixelFormat::Bgr24)
    throw EError(QStringLiteral("Overlays can only be drawn on 24-bit bitmaps."));

  // 64-bit arithmetic: no argument can make the limits overflow. The limits
  // are points of the target's plane.
  const TPoint origin = target.Origin();
  std::int64_t left = origin.X, top = origin.Y;
  std::int64_t right = std::int64_t(origin.X) + target.Width() - 1;
  std::int64_t bottom = std::int64_t(origin.Y) + target.Height() - 1;
  if (clip) {
    left = std::max<std::int64_t>(left, clip->Left);
    top = std::max<std::int64_t>(top, clip->Top);
    right = std::min<std::int64_t>(right, clip->Right);
    bottom = std::min<std::int64_t>(bottom, clip->Bottom);
  }
  std::int64_t destX = x, destY = y, w = width, h = height;
  std::int64_t skip = 0, skipRows = 0;
  if (destX < left) {
    skip = left - destX;
    w -= skip;
    destX = left;
  }
  if (destX + w > right) w = right - destX;
  if (destY < top) {
    skipRows = top - destY;
    h -= skipRows;
    destY = top;
  }
  if (destY + h > bottom) h = bottom - destY;
  if (w < 1 || h < 1) return;

  std::size_t pos = 0;
  for (std::int64_t row = 0; row < skipRows; ++row) {
    const std::size_t length = RowLength(block, pos);
    if (length == 0) return;
    pos += length;
  }
  std::uint8_t* rowStart = target.PixelAt(int(destX), int(destY));
  const std::ptrdiff_t stride = target.Stride();
  for (std::int64_t row = 0; row < h; ++row) {
    const std::size_t length = RowLength(block, pos);
    if (length == 0) return;
    const std::uint8_t* run = block.data() + pos + 4;
    const std::uint8_t* const rowEnd = block.data() + pos + length;
    pos += length;

    std::uint8_t* pixel = rowStart;
    rowStart += stride;
    std::int64_t toSkip = skip;
    std::int64_t remaining = w;
    while (remaining > 0 && rowEnd - run >= 4) {
      const std::uint32_t word = ReadWord(run);
      run += 4;
      std::int64_t count = word & 0xFFFF;
      const std::uint32_t kind = word >> 16;
      const bool opaque = kind == OpaqueRun;
      // A run of unknown kind or with data past the row's end: the rest of
      // this row cannot be trusted.
      if ((!opaque && kind != TransparentRun) || (opaque && count > rowEnd - run)) break;
      const std::uint8_t* data = run;
      if (opaque) run += count;
      if (toSkip >= count) {
        toSkip -= count;
        continue;
      }
      count -= toSkip;
      if (opaque) data += toSkip;
      toSkip = 0;
      const std::int64_t used = std::min(count, remaining);
      if (opaque) ApplyOpaque(data, pixel, std::size_t(used));
      pixel += 3 * used;
      remaining -= used;
    }
  }
}
