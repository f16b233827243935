// The run-length sprite drawer on a hostile block: whatever the block holds
// and wherever it is placed, the drawer reads only the block, writes only
// the bitmap's pixels inside the placement, the clip and the bitmap less
// its last column and row, and never the padding at the ends of the rows.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "display/sprite.h"
#include "platform/bitmap.h"
#include "tests/fuzz/fuzzing.h"
#include "tests/fuzz/spriteinput.h"

namespace {

// Every byte of the bitmap's rows, padding included.
std::vector<std::uint8_t> RowBytes(const TBitmap& bitmap) {
  std::vector<std::uint8_t> bytes;
  for (int y = 0; y < bitmap.Height(); ++y)
    bytes.insert(bytes.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Stride());
  return bytes;
}

// The half-open range of one axis the drawer may write.
struct TSpan {
  std::int64_t First, End;
  bool Holds(std::int64_t v) const { return v >= First && v < End; }
};

TSpan Writable(std::int64_t at, std::int64_t size, std::int64_t extent, bool clipped, std::int64_t clipFirst,
               std::int64_t clipEnd) {
  std::int64_t first = std::max<std::int64_t>(0, at), end = std::min(extent - 1, at + size);
  if (clipped) {
    first = std::max(first, clipFirst);
    end = std::min(end, clipEnd);
  }
  return {first, end};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TSpriteInput input;
  if (!TSpriteInput::Parse({data, size}, input)) return 0;

  TSprite sprite(input.Additive, input.KeyValue);
  // Entry i is (i, 2i, 3i) modulo 256: a palette pixel shows where it came from.
  for (int i = 0; i < 256; ++i)
    sprite.Palette()[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(2 * i), std::uint8_t(3 * i), 0};

  TBitmap target(input.TargetWidth, input.TargetHeight);
  for (int y = 0; y < target.Height(); ++y) {
    std::uint8_t* row = target.ScanLine(y);
    for (int i = 0; i < target.Stride(); ++i) row[i] = std::uint8_t(7 * i + 13 * y + 1);
  }
  const std::vector<std::uint8_t> before = RowBytes(target);

  sprite.DrawRuns(input.Block, target, input.Clipped ? &input.Clip : nullptr, input.X, input.Y, input.Width,
                  input.Height);

  const TSpan across = Writable(input.X, input.Width, target.Width(), input.Clipped, input.Clip.Left, input.Clip.Right);
  const TSpan down = Writable(input.Y, input.Height, target.Height(), input.Clipped, input.Clip.Top, input.Clip.Bottom);
  const std::vector<std::uint8_t> after = RowBytes(target);
  const std::size_t stride = std::size_t(target.Stride());
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    const std::size_t column = i % stride;
    FuzzCheck(column < 3 * std::size_t(target.Width()), "a row's padding was written");
    FuzzCheck(across.Holds(std::int64_t(column / 3)) && down.Holds(std::int64_t(i / stride)),
              "a pixel outside the placement and the clip was written");
  }
  return 0;
}
