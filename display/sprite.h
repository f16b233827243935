#pragma once
// Run-length overlays: an 8-bit image whose bytes are mostly "nothing here" is
// encoded once and then applied many times to 24-bit bitmaps, either as signed
// brightness changes (rims) or as palette colours (the wooden side).
//
// Encoded block, little-endian, one record per source row, no header:
//   row length  4 bytes: low 16 bits the byte length of the whole record
//               (these 4 bytes included), high 16 bits 0
//   runs        each a 4-byte run word: bits 0-15 the pixel count (>= 1),
//               bits 16-31 the kind: 1 transparent (no data follows),
//               2 opaque (one data byte per pixel follows, left to right)
// Runs of the two kinds alternate and their counts add up to the width.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/bitmap.h"
#include "platform/types.h"

struct TPaletteEntry {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  std::uint8_t Flags = 0;
  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

using TSpritePalette = std::array<TPaletteEntry, 256>;

class TSprite {
 public:
  static constexpr std::uint32_t TransparentRun = 1;
  static constexpr std::uint32_t OpaqueRun = 2;
  // A row record's length is stored in 16 bits.
  static constexpr std::size_t MaxRowBytes = 0xFFFF;

  // additive: opaque bytes are signed deltas added to each channel;
  // otherwise they are palette indices. The palette starts all black.
  TSprite(bool additive, std::uint8_t keyValue);

  bool Additive() const { return additive_; }
  std::uint8_t KeyValue() const { return keyValue_; }
  const TSpritePalette& Palette() const { return palette_; }
  TSpritePalette& Palette() { return palette_; }

  // Takes entries 0 to 254 of an 8-bit palettised bitmap's palette; entry 255
  // keeps its value. EError for a bitmap of another format.
  void LoadPalette(const TBitmap& texture);

  // The most bytes Encode can produce for a block of this size: per row 4
  // bytes, plus 4 per run (at most one run per pixel), plus the data bytes of
  // the opaque pixels (at most every other pixel when every pixel is a run).
  static std::size_t MaxEncodedSize(std::uint16_t width, std::uint16_t height);

  // Encodes width x height bytes of source (rows stride bytes apart) and
  // replaces the contents of output with the block; returns its length.
  // EError when the source is too short for the rows or a row's record would
  // not fit its 16-bit length.
  std::size_t Encode(std::uint16_t width, std::uint16_t height, std::vector<std::uint8_t>& output,
                     std::span<const std::uint8_t> source, std::uint16_t stride) const;

  // Applies width x height pixels of the block with its top-left at (x, y).
  // The clip's Left and Top are the first pixels drawn and its Right and
  // Bottom the first ones left out, limited to the bitmap's bounds less its
  // last column and row; without a clip that limit itself is used, so the
  // bitmap's last column and row are never drawn. Points and clip are on the
  // bitmap's plane. Only opaque pixels are touched. A damaged
  // run ends its row and a damaged row length ends the drawing: nothing
  // outside the block is read and nothing outside the bitmap is written.
  // EError for a target that is not 24 bits per pixel.
  void DrawRuns(std::span<const std::uint8_t> block, TBitmap& target, const TRect* clip, int x,
                int y, int width, int height) const;

 private:
  void ApplyOpaque(const std::uint8_t* data, std::uint8_t* pixel, std::size_t count) const;

  bool additive_;
  std::uint8_t keyValue_;
  TSpritePalette palette_{};
};
