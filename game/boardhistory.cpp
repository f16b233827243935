// Undo and redo of the game object: the board captured after each action
// and put back as it was.

#include <algorithm>

#include "game/jigsaw.h"

TBoardState TJigsaw::CaptureBoard() const {
  TBoardState board;
  board.Pieces.reserve(Pieces.size());
  for (const TFormPiece& p : Pieces)
    board.Pieces.push_back({p.Tray, p.X, p.Y, p.NormX, p.NormY, p.Group, p.Rotation, p.Joined, p.Complete, p.Placed});
  TBoardFrame& frame = board.Frame;
  for (const auto& tray : Trays)
    if (!tray->IsBoard())
      frame.Trays.push_back({tray->Number, tray->BoundsRect(), tray->FrontNo, tray->Color, tray->Open, tray->Description});
  frame.Counters = Extras;
  // Saving sets the count of the record; the board has as many trays as it
  // has whether or not it was saved (the clock's recovery writes save it
  // every few seconds), so a save is never a step.
  frame.Counters.TrayCount = std::uint16_t(Trays.size());
  frame.NextGroupId = Record.NextGroupId;
  frame.Completed = Record.Completed;
  frame.ScalePercent = Record.ScalePercent;
  frame.ShapeStyle = Record.ShapeStyle;
  frame.Oddness = Record.Oddness;
  frame.Board = BoardTray().BoundsRect();
  return board;
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
  const bool recut = frame.ScalePercent != Record.ScalePercent || frame.ShapeStyle != Record.ShapeStyle ||
                     frame.Oddness != Record.Oddness;
  if (recut) {
    SetShape(std::int16_t(frame.Oddness), frame.ShapeStyle);
    Recut(frame.ScalePercent);
  }
  TRect dirty;
  for (const auto& tray : Trays)
    if (!tray->IsBoard()) dirty = dirty.Union(tray->BoundsRect());

  TPieceList turning;
  for (const std::size_t i : changed) {
    TFormPiece& p = Pieces[i];
    const TPieceState& s = board.Pieces[i];
    dirty = dirty.Union(WithSide(PieceRect(p)));
    if (p.Rotation != s.Rotation) {
      p.PendingTurns = std::uint8_t((s.Rotation - p.Rotation + 4) % 4);
      turning.push_back(&p);
    }
  }
  RotatePieces(turning, 0, false);
  for (const std::size_t i : changed) {
    TFormPiece& p = Pieces[i];
    const TPieceState& s = board.Pieces[i];
    p.Tray = s.Tray;
    p.X = s.X;
    p.Y = s.Y;
    p.NormX = s.NormX;
    p.NormY = s.NormY;
    p.Group = s.Group;
    p.Joined = s.Joined;
    p.Complete = s.Complete;
    p.Placed = s.Placed;
    p.Hidden = false;
    dirty = dirty.Union(WithSide(PieceRect(p)));
  }

  // The trays as they were: those that went come back, those that came go.
  std::erase_if(Trays, [&](const std::unique_ptr<TBox>& tray) {
    return !tray->IsBoard() && std::none_of(frame.Trays.begin(), frame.Trays.end(),
                                            [&](const TTrayState& t) { return t.Number == tray->Number; });
  });
  for (const TTrayState& t : frame.Trays) {
    auto found = std::find_if(Trays.begin(), Trays.end(), [&](const auto& tray) { return tray->Number == t.Number; });
    TBox& tray = found != Trays.end() ? **found : *Trays.emplace_back(std::make_unique<TBox>(*this, t.Number));
    tray.SetBounds(t.Bounds);
    tray.FrontNo = t.FrontNo;
    tray.Color = t.Color;
    tray.Open = t.Open;
    tray.Description = t.Description;
    tray.Button->SetDown(t.Open);
    tray.Button->SetHint(t.Description + QStringLiteral("|"));
    dirty = dirty.Union(tray.BoundsRect());
  }
  static_cast<TTrayCounters&>(Extras) = frame.Counters;
  Record.NextGroupId = frame.NextGroupId;
  Record.Completed = frame.Completed;
  Record.SolvedCount = std::uint16_t(std::count_if(Pieces.begin(), Pieces.end(), [](const TFormPiece& p) { return p.Joined; }));
  for (const auto& tray : Trays) tray->Pieces.clear();
  for (TFormPiece& p : Pieces) TrayByNumber(std::uint32_t(p.Tray)).Pieces.push_back(&p);
  SortAllTrayPieces(TSortOrder::Stacking);
  SortTrays(TTrayOrder::Stacking);
  for (const auto& tray : Trays) tray->Button->SetFull(tray->Count() > 0);
  CurrentTray = &BoardTray();

  if (recut || frame.Board != BoardTray().BoundsRect()) {
    ResizeBoard(std::uint16_t(Window.PlayAreaWidth), std::uint16_t(Window.PlayAreaHeight));
  } else {
    ShowTrayBar(IsPlaying());
    // Trays cast their shadows beside and below them.
    RefreshArea(dirty.Inflate(12, 12));
  }
}
