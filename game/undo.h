#pragma once
// What a person can take back: the board as it stood after each change, kept
// as the differences from one change to the next. A board is the state of
// every piece (where, in which tray, group and turn), every tray and the
// counters that go with them; the pictures are made again from it.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "platform/types.h"
#include "play/boxes.h"

struct TPieceState {
  std::int32_t Tray = 0;
  std::int32_t X = 0, Y = 0;
  double NormX = 0.0, NormY = 0.0;
  std::int32_t Group = 0;
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

// The board apart from its pieces: trays, counters, the cut and the play
// area it was laid out on.
struct TBoardFrame {
  std::vector<TTrayState> Trays;  // in drawing order, the board's left out
  TTrayCounters Counters;
  std::int32_t NextGroupId = 0;
  std::uint8_t Completed = 0;
  // The cut: its scale, shape and oddness.
  std::int16_t ScalePercent = 100;
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

// One change: the pieces it moved, as they were and as they became, and the
// frame before and after.
struct TBoardChange {
  std::vector<std::pair<std::size_t, TPieceState>> Before, After;
  TBoardFrame FrameBefore, FrameAfter;
};

class TUndoHistory {
 public:
  static constexpr std::size_t Depth = 200;

  // A new game: the next board noted is where the history starts.
  void Restart();
  // The board after whatever was done; a change from the last one noted
  // becomes a step that can be undone, and nothing can be redone any more.
  void Note(TBoardState board);
  // The same board laid out anew (on a play area of another size): no step,
  // and the steps before lead to it.
  void Rebase(TBoardState board) {
    if (current_) current_ = std::move(board);
  }
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // The board to go back (or forward) to, and the pieces that change on the
  // way; the history moves one step.
  std::pair<const TBoardState*, std::vector<std::size_t>> Undo();
  std::pair<const TBoardState*, std::vector<std::size_t>> Redo();
  // The memory the steps hold, in bytes.
  std::size_t StepBytes() const;

 private:
  std::pair<const TBoardState*, std::vector<std::size_t>> Step(std::deque<TBoardChange>& from,
                                                                std::deque<TBoardChange>& to, bool back);

  std::optional<TBoardState> current_;
  std::deque<TBoardChange> undo_, redo_;
};
