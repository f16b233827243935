#pragma once
// The program-wide record of the clock's limit, the trays' counters and the
// window colour at save time; the second section of the saved game.

#include <array>
#include <cstdint>
#include <span>

#include "game/puzzlerecord.h"
#include "platform/types.h"
#include "play/boardstate.h"

struct TExtrasRecord : TTrayCounters {
  static constexpr int FileSize = 27;

  std::uint32_t Reserved0 = 0;
  std::uint32_t Reserved4 = 0;
  std::uint8_t ClockLimited = 0;
  std::uint8_t CountDown = 0;
  std::uint8_t ShowLimit = 0;
  std::int32_t LimitSeconds = 0;
  TColor WindowColour = 0;

  using TBytes = std::array<std::uint8_t, FileSize>;

  // The record as it lies on file: packed, little-endian, the reserved words
  // as held here.
  TBytes ToBytes() const;
  static TExtrasRecord FromBytes(std::span<const std::uint8_t, FileSize> bytes);

  friend bool operator==(const TExtrasRecord&, const TExtrasRecord&) = default;
};

// What lives for the whole run, whichever game object is current.
struct TGameRecords {
  TPuzzleRecord Puzzle;
  TExtrasRecord Extras;
};
