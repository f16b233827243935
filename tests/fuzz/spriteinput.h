#pragma once
// The input of the sprite drawer's fuzz target: where and how one
// run-length block is drawn, then the block itself. A fixed header keeps
// every input's block reachable: whatever the header says, the drawer gets
// a small bitmap and the block's bytes.
//
//   0      flags: bit 0 additive (else palette) mode, bit 1 a clip is given
//   1, 2   target width and height, each taken modulo 64, plus 1
//   3      the sprite's key value (only the encoder reads it)
//   4..19  x, y, width, height: i32 each, where and how much of the block
//   20..35 clip Left, Top, Right, Bottom: i32 each
//   36..   the encoded block

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/packedrecord.h"
#include "platform/types.h"

struct TSpriteInput {
  static constexpr std::size_t HeaderSize = 36;
  static constexpr int LargestTarget = 64;

  bool Additive = true;
  bool Clipped = false;
  int TargetWidth = 1;
  int TargetHeight = 1;
  std::uint8_t KeyValue = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  TRect Clip;
  std::vector<std::uint8_t> Block;

  // False when the input is shorter than the header.
  static bool Parse(std::span<const std::uint8_t> bytes, TSpriteInput& input) {
    if (bytes.size() < HeaderSize) return false;
    const TPackedReader header(bytes.first(HeaderSize));
    input.Additive = (header.U8(0) & 1) != 0;
    input.Clipped = (header.U8(0) & 2) != 0;
    input.TargetWidth = header.U8(1) % LargestTarget + 1;
    input.TargetHeight = header.U8(2) % LargestTarget + 1;
    input.KeyValue = header.U8(3);
    input.X = header.I32(4);
    input.Y = header.I32(8);
    input.Width = header.I32(12);
    input.Height = header.I32(16);
    input.Clip = {header.I32(20), header.I32(24), header.I32(28), header.I32(32)};
    const auto block = bytes.subspan(HeaderSize);
    input.Block.assign(block.begin(), block.end());
    return true;
  }

  std::vector<std::uint8_t> ToBytes() const {
    std::vector<std::uint8_t> bytes(HeaderSize);
    TPackedWriter header(bytes);
    header.U8(0, std::uint8_t((Additive ? 1 : 0) | (Clipped ? 2 : 0)));
    header.U8(1, std::uint8_t(TargetWidth - 1));
    header.U8(2, std::uint8_t(TargetHeight - 1));
    header.U8(3, KeyValue);
    header.I32(4, X);
    header.I32(8, Y);
    header.I32(12, Width);
    header.I32(16, Height);
    header.I32(20, Clip.Left);
    header.I32(24, Clip.Top);
    header.I32(28, Clip.Right);
    header.I32(32, Clip.Bottom);
    bytes.insert(bytes.end(), Block.begin(), Block.end());
    return bytes;
  }
};
