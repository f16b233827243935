#pragma once
// The board state as the saved game holds it: three blocks of piece entries
// in home order and a record per tray after the board. The first block also
// keeps where each piece lies in the cut picture and its size; a resume cuts
// the picture again and takes those from the cut, so they are written from
// the pieces and only checked when read.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "pieces/formpiece.h"
#include "play/boardstate.h"

// Bytes of one piece in each block: its place in the cut and colour key,
// its place on the board, group, shuffle key, turn and flags, its tray.
inline constexpr std::size_t PieceEntrySizeA = 12;
inline constexpr std::size_t PieceEntrySizeB = 22;
inline constexpr std::size_t PieceEntrySizeC = 2;
inline constexpr std::size_t PieceEntrySize = PieceEntrySizeA + PieceEntrySizeB + PieceEntrySizeC;

// Where a piece lies in the cut picture and its size as it is turned.
struct TPieceHome {
  std::int32_t HomeX = 0, HomeY = 0;
  std::uint16_t Width = 0, Height = 0;
};

// The three blocks, one after the other: homes and pieces match one by one.
std::vector<std::uint8_t> WritePieceBlocks(std::span<const TPieceHome> homes, std::span<const TPieceState> pieces);
// The pieces of the three blocks of count entries at the start of bytes.
// EError when the blocks end early or an entry holds what no game can have:
// a piece larger than largestSide, a negative group or one at the group
// limit, a turn above 3.
std::vector<TPieceState> ReadPieceBlocks(std::span<const std::uint8_t> bytes, std::size_t count,
                                         int largestSide);

std::vector<std::uint8_t> WriteTrayRecords(std::span<const TTrayState> trays);
// The trays of count records at the start of bytes. EError when the
// records end early, one cannot be a tray or two share a number.
std::vector<TTrayState> ReadTrayRecords(std::span<const std::uint8_t> bytes, std::size_t count);
