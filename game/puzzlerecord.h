#pragma once
// The program-wide record of the puzzle and the game's progress. It is also
// the first section of the saved game (4,457 bytes on file).

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "pieces/puzzlegeometry.h"

// The grid, sizes and counters that the piece set works with are the
// record's own fields, shared through the base.
struct TPuzzleRecord : TPuzzleGeometry {
  static constexpr int FileSize = 4457;
  // Where the play time lies in the file: the only field the clock changes.
  static constexpr std::size_t ElapsedSecondsAt = 4315;

  std::int16_t FormatVersion = 5;
  std::array<std::uint8_t, 16> Reserved2{};  // not used; kept as read
  std::int32_t LabelBufferSize = 0;
  QString CreatorVersion;  // at most 15 characters on file
  double CreatedAt = 0.0;  // days since 30 December 1899
  QString Title;           // at most 64 characters on file
  QString Creator;         // at most 64 characters on file
  QString Description;     // at most 1,024 characters on file
  std::array<std::uint8_t, 3063> Reserved1201{};
  std::int32_t ShapeStyle = 1;  // 1 Classic .. 6 Mix
  std::array<std::uint8_t, 8> Reserved4268{};
  std::uint16_t RequestedPieces = 0;
  std::uint16_t Reserved4284 = 0;  // 24 once a gift is loaded, never read
  std::uint16_t Oddness = 0;       // 0 to 10
  std::uint32_t Seed = 0;
  std::uint8_t Completed = 0;
  std::int32_t ElapsedSeconds = 0;
  std::uint16_t CheatCount = 0;
  std::uint8_t AutoSolveUsed = 0;
  std::uint8_t ShowDescription = 0;
  std::uint8_t Reserved4323 = 0;
  std::array<std::uint8_t, 64> Reserved4324{};
  std::uint8_t Reserved4388 = 0;
  std::array<std::uint8_t, 64> Reserved4389{};
  std::int16_t ScalePercent = 100;
  std::int16_t Reserved4455 = 0;

  using TBytes = std::array<std::uint8_t, FileSize>;

  // The record as it lies on file: packed, little-endian, every reserved area
  // as held here. Texts longer than their fields are cut.
  TBytes ToBytes() const;
  static TPuzzleRecord FromBytes(std::span<const std::uint8_t, FileSize> bytes);

  friend bool operator==(const TPuzzleRecord&, const TPuzzleRecord&) = default;
};
