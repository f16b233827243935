// Undo and redo of the game object: the board captured after each action
// and put back as it was.

#include <algorithm>
#include <numeric>

#include "game/jigsaw.h"

namespace {

TPieceState StateOf(const TFormPiece& p) {
  return {p.Tray,       p.X,          p.Y,        p.NormX,  p.NormY,    p.Group,
          p.ColourKey,  p.ShuffleKey, p.Rotation, p.Joined, p.Complete, p.Placed};
}

// Everything of the state but the turn, which takes turning the images.
void TakeState(TFormPiece& p, const TPieceState& s) {
  p.Tray = s.Tray;
  p.X = s.X;
  p.Y = s.Y;
  p.NormX = s.NormX;
  p.NormY = s.NormY;
  p.Group = s.Group;
  p.ColourKey = s.ColourKey;
  p.ShuffleKey = s.ShuffleKey;
  p.Joined = s.Joined;
  p.Complete = s.Complete;
  p.Placed = s.Placed;
  p.Hidden = false;
}

}  // namespace

TBoardState TJigsaw::CaptureBoard() const {
  TBoardState board;
  board.Pieces.reserve(Pieces.size());
  for (const TFormPiece& p : Pieces) board.Pieces.push_back(StateOf(p));
  TBoardFrame& frame = board.Frame;
  for (const auto& tray : Trays)
    if (!tray->IsBoard()) frame.Trays.push_back(tray->State());
  frame.Counters = Extras;
  // Saving sets the count of the record; the board has as many trays as it
  // has whether or not it was saved (the clock's recovery writes save it
  // every few seconds), so a save is never a step.
  frame.Counters.TrayCount = std::uint16_t(Trays.size());
  frame.NextGroupId = Record.NextGroupId;
  frame.Completed = Record.Completed;
  frame.ScalePercent = std::int16_t(WholeBoardScale());
  frame.ZoomPercent = Record.ScalePercent;
  frame.ShapeStyle = Record.ShapeStyle;
  frame.Oddness = Record.Oddness;
  frame.Board = BoardTray().BoundsRect();
  return board;
}

void TJigsaw::TakeBoard(const TBoardState& board, std::span<const std::size_t> changed) {
  for (const std::size_t i : changed) TakeState(Pieces[i], board.Pieces[i]);
  RestoreTrays(board.Frame.Trays);
  const TBoardFrame& frame = board.Frame;
  static_cast<TTrayCounters&>(Extras) = frame.Counters;
  Record.NextGroupId = frame.NextGroupId;
  Record.Completed = frame.Completed;
  RecountSolved();
}

void TJigsaw::ResumeBoard(const TBoardState& board) {
  std::vector<std::size_t> all(Pieces.size());
  std::iota(all.begin(), all.end(), 0);
  // The cut that follows turns the pieces as they were.
  for (const std::size_t i : all) Pieces[i].Rotation = board.Pieces[i].Rotation;
  TakeBoard(board, all);
  // A tray's pieces lie where their places in proportion put them in it;
  // the board's are laid out once the play area is known.
  for (const auto& tray : Trays)
    if (!tray->IsBoard())
      for (TFormPiece* p : tray->Pieces) RestoreNormalised(*p, tray->InnerRect());
  // However near its bound the file's group counter lies, play goes on far
  // below it.
  CompactGroups();
}

bool TJigsaw::CanUndo() const { return IsSettled() && History.CanUndo(); }

bool TJigsaw::CanRedo() const { return IsSettled() && History.CanRedo(); }

void TJigsaw::ShowUndoItems() {
  Window.Commands.Undo.SetEnabled(CanUndo());
  Window.Commands.Redo.SetEnabled(CanRedo());
}

bool TJigsaw::IsSettled() const { return IsAtRest() && !AutoSolving; }

void TJigsaw::SettleInSight() {
  // Whatever an action left cut off in a tray or under one comes into view
  // before the board is noted, so that undo never brings a hidden piece back.
  const TRect moved = KeepPiecesInSight();
  if (!moved.IsEmpty()) RefreshArea(WithSide(moved));
}

void TJigsaw::NoteChanges() {
  // A board with something afloat is not one to come back to.
  if (IsSettled()) {
    SettleInSight();
    History.Note(CaptureBoard());
  }
  // The count changes with the join a person has just seen and heard.
  ShowSolvedStatus();
  ShowUndoItems();
}

void TJigsaw::NoteBoardResized() {
  if (IsSettled()) History.Rebase(CaptureBoard());
}

void TJigsaw::Undo() {
  if (CanUndo()) StepHistory(true);
}

void TJigsaw::Redo() {
  if (CanRedo()) StepHistory(false);
}

void TJigsaw::StepHistory(bool back) {
  const auto [board, changed] = back ? History.Undo() : History.Redo();
  RestoreBoard(*board, changed);
  SettleInSight();
  // Laid out on a play area of another size, the board is not quite the
  // one kept: what is shown now is where the next step starts.
  History.Rebase(CaptureBoard());
  ShowUndoItems();
}

void TJigsaw::RestoreBoard(const TBoardState& board, const std::vector<std::size_t>& changed) {
  const TBoardFrame& frame = board.Frame;
  // A step across a new cut cuts again, and then everything is drawn anew.
  const bool recut = frame.ScalePercent != WholeBoardScale() || frame.ShapeStyle != Record.ShapeStyle ||
                     frame.Oddness != Record.Oddness;
  if (recut) {
    // Another piece size is the whole board's.
    ForgetZoom();
    SetShape(std::int16_t(frame.Oddness), frame.ShapeStyle);
    Recut(frame.ScalePercent);
  }
  TRect dirty;
  for (const auto& tray : Trays)
    if (!tray->IsBoard()) dirty = dirty.Union(tray->BoundsRect());

  TPieceList turning;
  for (const std::size_t i : changed) {
    TFormPiece& p = Pieces[i];
    dirty = dirty.Union(WithSide(PieceRect(p)));
    if (p.Rotation != board.Pieces[i].Rotation) {
      p.PendingTurns = std::uint8_t((board.Pieces[i].Rotation - p.Rotation + 4) % 4);
      turning.push_back(&p);
    }
  }
  RotatePieces(turning, 0, false);
  TakeBoard(board, changed);
  for (const std::size_t i : changed) dirty = dirty.Union(WithSide(PieceRect(Pieces[i])));
  for (const auto& tray : Trays)
    if (!tray->IsBoard()) dirty = dirty.Union(tray->BoundsRect());

  // A board kept at another zoom has its places in other pixels: they come
  // from the places in proportion.
  const bool rezoomed = frame.ZoomPercent * WholeBoardScale() != Record.ScalePercent * frame.ScalePercent;
  if (rezoomed) PlaceInProportion(double(Record.ScalePercent) * frame.ScalePercent / (double(frame.ZoomPercent) * WholeBoardScale()));
  if (recut || rezoomed || frame.Board != BoardTray().BoundsRect()) {
    ResizeBoard(std::uint16_t(Window.PlayAreaWidth), std::uint16_t(Window.PlayAreaHeight));
  } else {
    ShowTrayBar(IsPlaying());
    // Trays cast their shadows beside and below them.
    RefreshArea(dirty.Inflate(12, 12));
  }
}
