#include "play/move.h"

#include <algorithm>
#include <array>

TMove::TMove(TPuzzleGeometry& puzzle, TPieceOptions& options, TTrayCounters& counters, TTrayBar& bar,
             TScreen& screen)
    : TBoxes(puzzle, options, counters, bar, screen) {}

void TMove::RedrawArea(const TRect& rect) {
  Mural.Draw(rect, BoardBitmap);
  DrawTrays(BoardBitmap, &rect);
  Compositor.SaveBackground(rect);
}

void TMove::InvalidateArea(const TRect& rect) { Screen.Invalidate(rect); }

void TMove::RefreshArea(const TRect& rect) {
  RedrawArea(rect);
  InvalidateArea(rect);
}

void TMove::ResetBackground() { Compositor.Init(BoardBitmap); }

void TMove::PutBack() {
  if (Moving.empty()) return;
  SetHidden(Moving, false);
  RefreshArea(MoveRect);
  Moving.clear();
}

TRect TMove::WithSide(TRect rect) const {
  if (Options().IsWoodOutline()) rect.Bottom += Thickness;
  return rect;
}

void TMove::TakeGroup(TFormPiece& piece) {
  Moving.assign(1, &piece);
  MoveRect = PieceRect(piece);
  if (piece.Joined)
    for (TFormPiece& p : Pieces)
      if (&p != &piece && p.Group == piece.Group) {
        Moving.push_back(&p);
        MoveRect = MoveRect.Union(PieceRect(p));
      }
  MoveRect = WithSide(MoveRect);
}

void TMove::RotateGroup(TFormPiece& piece, int turns, bool join) {
  // The board must be on the screen as it is before the group vanishes.
  Screen.UpdateNow();
  TakeGroup(piece);
  SetHidden(Moving, true);
  RefreshArea(MoveRect);

  RotatePieces(Moving, turns, false);
  MoveRect = WithSide(PieceRect(piece));
  for (TFormPiece* p : Moving) {
    if (p == &piece) continue;
    AlignTo(*p, piece);
    MoveRect = MoveRect.Union(WithSide(PieceRect(*p)));
  }
  if (join) {
    JoinMoving(Moving, MoveRect);
    TBox& tray = TrayByNumber(std::uint32_t(piece.Tray));
    tray.SortPieces(SortStacking);
    StoreTrayPositions(tray);
  }
  PutBack();
}

void TMove::JoinMoving(TPieceSpan list, TRect& rect) {
  struct TCandidate {
    TFormPiece* Piece;
    int GroupSize;
  };
  for (TFormPiece* p : list) {
    p->Placed = true;
    const std::int32_t group = p->Group;
    const TPoint topLeft{p->X, p->Y};
    std::array<TCandidate, 4> candidates{};
    int found = 0;
    for (const TNeighbourSlot& slot : NeighbourSlots(p->Index)) {
      TFormPiece* n = slot.Piece;
      if (!n || n->Group == group || n->Group == p->Group || n->Tray != p->Tray || n->Rotation != p->Rotation ||
          !slot.SnapRect.Contains(topLeft))
        continue;
      if (AutoSolving) {
        JoinPieces(*p, *n, rect);
        found = 0;
        break;
      }
      candidates[std::size_t(found++)] = {n, GroupSize(*n)};
    }
    // The smallest group first; of equal ones the first found.
    while (found > 0) {
      int smallest = 0;
      for (int i = 1; i < found; ++i)
        if (candidates[std::size_t(i)].GroupSize < candidates[std::size_t(smallest)].GroupSize) smallest = i;
      JoinPieces(*p, *candidates[std::size_t(smallest)].Piece, rect);
      std::copy(candidates.begin() + smallest + 1, candidates.begin() + found, candidates.begin() + smallest);
      --found;
    }
  }
}
