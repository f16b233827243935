#pragma once
// The state of a board as one value: every piece (where, in which tray, its
// group, turn and sort keys), every tray and the counters that go with them.
// The pictures are made again from it. Undo keeps boards of this kind, the
// saved game and the recovery file are one written out, and resuming a game
// is restoring one.

#include <QString>

#include <cstdint>
#include <vector>

#include "platform/types.h"

struct TPieceState {
  std::int32_t Tray = 0;
  // Where it lies on the board in pixels, and in proportion to the picture.
  // A saved game keeps only the proportional place.
  std::int32_t X = 0, Y = 0;
  double NormX = 0.0, NormY = 0.0;
  std::int32_t Group = 0;
  // What arranging sorts by: the colour rank the game was built with and
  // the last shuffle's key.
  std::uint32_t ColourKey = 0;
  std::uint16_t ShuffleKey = 0;
  std::uint8_t Rotation = 0;
  bool Joined = false, Complete = false, Placed = false;
  friend bool operator==(const TPieceState&, const TPieceState&) = default;
};

struct TTrayState {
  std::uint32_t Number = 0;
  TRect Bounds;
  std::uint32_t FrontNo = 0;
  TColor Color = 0;
  bool Open = true;
  QString Description;
  friend bool operator==(const TTrayState&, const TTrayState&) = default;
};

// The tray values of the saved game's extras record.
struct TTrayCounters {
  std::uint16_t TrayCount = 0;       // trays including the board tray, set when saving
  std::uint16_t FirstShownTray = 0;  // list position of the first button on the bar
  std::int32_t NextFrontNo = 0;      // the front number the next tray brought forward takes

  friend bool operator==(const TTrayCounters&, const TTrayCounters&) = default;
};

// The board apart from its pieces: trays, counters, the cut and the play
// area it was laid out on.
struct TBoardFrame {
  std::vector<TTrayState> Trays;  // in drawing order, the board's left out
  TTrayCounters Counters;
  std::int32_t NextGroupId = 0;
  std::uint8_t Completed = 0;
  // The cut: its scale, shape and oddness; the scale the board shows it at,
  // larger while zoomed, which the places in pixels go by.
  std::int16_t ScalePercent = 100;
  std::int16_t ZoomPercent = 100;
  std::int32_t ShapeStyle = 1;
  std::uint16_t Oddness = 0;
  TRect Board;
  friend bool operator==(const TBoardFrame&, const TBoardFrame&) = default;
};

struct TBoardState {
  std::vector<TPieceState> Pieces;  // in home order
  TBoardFrame Frame;
  friend bool operator==(const TBoardState&, const TBoardState&) = default;
};
