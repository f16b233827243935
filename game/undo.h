#pragma once
// What a person can take back: the board as it stood after each change, kept
// as the differences from one change to the next.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "play/boardstate.h"

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
