#include "game/undo.h"

void TUndoHistory::Restart() {
  current_.reset();
  undo_.clear();
  redo_.clear();
}

void TUndoHistory::Note(TBoardState board) {
  if (!current_) {
    current_ = std::move(board);
    return;
  }
  if (board == *current_) return;
  TBoardChange change;
  const std::size_t count = std::min(board.Pieces.size(), current_->Pieces.size());
  for (std::size_t i = 0; i < count; ++i)
    if (!(board.Pieces[i] == current_->Pieces[i])) {
      change.Before.emplace_back(i, current_->Pieces[i]);
      change.After.emplace_back(i, board.Pieces[i]);
    }
  change.FrameBefore = current_->Frame;
  change.FrameAfter = board.Frame;
  undo_.push_back(std::move(change));
  if (undo_.size() > Depth) undo_.pop_front();
  redo_.clear();
  current_ = std::move(board);
}

std::pair<const TBoardState*, std::vector<std::size_t>> TUndoHistory::Step(std::deque<TBoardChange>& from,
                                                                         std::deque<TBoardChange>& to,
                                                                         bool back) {
  if (from.empty() || !current_) return {nullptr, {}};
  TBoardChange change = std::move(from.back());
  from.pop_back();
  std::vector<std::size_t> changed;
  for (const auto& [index, state] : back ? change.Before : change.After) {
    current_->Pieces[index] = state;
    changed.push_back(index);
  }
  current_->Frame = back ? change.FrameBefore : change.FrameAfter;
  to.push_back(std::move(change));
  return {&*current_, std::move(changed)};
}

std::pair<const TBoardState*, std::vector<std::size_t>> TUndoHistory::Undo() { return Step(undo_, redo_, true); }

std::pair<const TBoardState*, std::vector<std::size_t>> TUndoHistory::Redo() { return Step(redo_, undo_, false); }

std::size_t TUndoHistory::StepBytes() const {
  std::size_t bytes = 0;
  for (const auto* steps : {&undo_, &redo_})
    for (const TBoardChange& c : *steps)
      bytes += sizeof c + (c.Before.capacity() + c.After.capacity()) * sizeof(c.Before.front()) +
               (c.FrameBefore.Trays.capacity() + c.FrameAfter.Trays.capacity()) * sizeof(TTrayState);
  return bytes;
}
