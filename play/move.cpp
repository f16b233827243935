#include "play/move.h"

#include <algorithm>
#include <array>
#include <optional>

#include "platform/colors.h"
#include "platform/hourglass.h"
#include "platform/input.h"

TMove::TMove(TPuzzleGeometry& puzzle, TPieceOptions& options, TTrayCounters& counters, TTrayBar& bar,
             TScreen& screen)
    : TBoxes(puzzle, options, counters, bar, screen) {}

void TMove::RedrawArea(const TRect& rect) {
  View.Mural.Draw(rect, View.BoardBitmap);
  DrawTrays(View.BoardBitmap, &rect);
  View.Compositor.SaveBackground(rect);
}

void TMove::InvalidateArea(const TRect& rect) { Screen.Invalidate(rect); }

void TMove::RefreshArea(const TRect& rect) {
  RedrawArea(rect);
  InvalidateArea(rect);
}

void TMove::ResetBackground() { View.Compositor.Init(View.BoardBitmap); }

void TMove::PutBack() {
  if (Gesture.Moving.empty()) return;
  SetHidden(Gesture.Moving, false);
  // The image may have slid away from where the pieces lie.
  RefreshArea(Gesture.MoveRect.Union(
      Gesture.MoveRect.Offset(Gesture.OriginX - Gesture.MoveRect.Left, Gesture.OriginY - Gesture.MoveRect.Top)));
  Gesture.Moving.clear();
}

TRect TMove::WithSide(TRect rect) const {
  if (Options().IsWoodOutline()) rect.Bottom += Thickness;
  return rect;
}

void TMove::TakeGroup(TFormPiece& piece) {
  Gesture.Moving.assign(1, &piece);
  if (piece.Joined)
    for (TFormPiece& p : Pieces)
      if (&p != &piece && p.Group == piece.Group) Gesture.Moving.push_back(&p);
}

TRect TMove::MovingRect() const {
  TRect rect;
  for (const TFormPiece* p : Gesture.Moving) rect = rect.Union(PieceRect(*p));
  return rect;
}

void TMove::RotateGroup(TFormPiece& piece, int turns, bool join) {
  // The board must be on the screen as it is before the group vanishes.
  Screen.UpdateNow();
  TakeGroup(piece);
  Gesture.MoveRect = WithSide(MovingRect());
  SetHidden(Gesture.Moving, true);
  RefreshArea(Gesture.MoveRect);

  RotatePieces(Gesture.Moving, turns, false);
  Gesture.MoveRect = WithSide(PieceRect(piece));
  for (TFormPiece* p : Gesture.Moving) {
    if (p == &piece) continue;
    AlignTo(*p, piece);
    Gesture.MoveRect = Gesture.MoveRect.Union(WithSide(PieceRect(*p)));
  }
  if (join) {
    JoinMoving(Gesture.Moving, Gesture.MoveRect);
    Gesture.MoveRect = Gesture.MoveRect.Union(WithSide(SettleTrayPieces(TrayByNumber(std::uint32_t(piece.Tray)))));
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

void TMove::PickPiece(TFormPiece& piece) {
  Gesture.Moving.assign(1, &piece);
  Gesture.MoveRect = PieceRect(piece);
  LiftMoving();
}

void TMove::PickGroup(TFormPiece* piece) {
  if (!piece) return;
  std::optional<THourglass> hourglass;
  TakeGroup(*piece);
  Gesture.MoveRect = MovingRect();
  if (Gesture.Moving.size() > 1) hourglass.emplace();
  BringToFront(Gesture.Moving);
  LiftMoving();
}

bool TMove::PickAt(TBox& tray, int x, int y) {
  TFormPiece* piece = tray.PieceUnder(x, y, true);
  PickGroup(piece);
  return piece != nullptr;
}

bool TMove::PickInRect(std::uint32_t trayNumber, const TRect& rect) {
  Gesture.Moving.clear();
  Gesture.MoveRect = {};
  for (TFormPiece& p : Pieces) {
    const TRect r = PieceRect(p);
    if (p.Joined || p.Tray != std::int32_t(trayNumber) || r.Union(rect) != rect) continue;
    Gesture.Moving.push_back(&p);
    Gesture.MoveRect = Gesture.MoveRect.Union(r);
  }
  if (Gesture.Moving.empty()) return false;
  SortList(Gesture.Moving, TSortOrder::Stacking);
  BringToFront(Gesture.Moving);
  LiftMoving();
  return true;
}

TFormPiece* TMove::MovingPieceAt(int x, int y) const {
  for (auto it = Gesture.Moving.rbegin(); it != Gesture.Moving.rend(); ++it)
    if (PieceRect(**it).Contains({x, y}) && HitTest(**it, x, y)) return *it;
  return nullptr;
}

void TMove::SizeDragImage(bool withMask) {
  View.DragImage = TBitmap(Gesture.MoveRect.Width() + 1, Gesture.MoveRect.Height() + 1);
  if (withMask) {
    View.DragMask = TBitmap(Gesture.MoveRect.Width() + 1, Gesture.MoveRect.Height() + 1, TPixelFormat::Mono);
    View.DragMask.Fill(clWhite);
  }
}

void TMove::LiftMoving() {
  const bool wood = Options().IsWoodOutline();
  if (Options().Shadows) {
    View.ShadowSize = std::clamp(Puzzle().CellHeight / 10, 2, 10);
    Gesture.MoveRect.Right += View.ShadowSize;
    Gesture.MoveRect.Bottom += View.ShadowSize;
  }
  if (wood) Gesture.MoveRect.Bottom += Thickness;
  Gesture.OriginX = Gesture.MoveRect.Left;
  Gesture.OriginY = Gesture.MoveRect.Top;
  SizeDragImage(true);

  OffsetPieces(Gesture.Moving, -Gesture.MoveRect.Left, -Gesture.MoveRect.Top);
  DrawPieceList(Gesture.Moving, View.DragImage, nullptr);
  DrawMasks(Gesture.Moving, View.DragMask);
  if (Options().Shadows) {
    // A solid shadow, offset right and down, below the wooden side too.
    const int down = View.ShadowSize + (wood ? Thickness : 0);
    OffsetPieces(Gesture.Moving, View.ShadowSize, down);
    DrawMasks(Gesture.Moving, View.DragMask);
    OffsetPieces(Gesture.Moving, -View.ShadowSize, -down);
  }
  if (wood) {
    for (int i = 0; i < Thickness; ++i) {
      OffsetPieces(Gesture.Moving, 0, 1);
      DrawMasks(Gesture.Moving, View.DragMask);
    }
    OffsetPieces(Gesture.Moving, 0, -Thickness);
  }
  OffsetPieces(Gesture.Moving, Gesture.MoveRect.Left, Gesture.MoveRect.Top);
  SetHidden(Gesture.Moving, true);

  // The board without the pieces, their sides reaching up included.
  RefreshArea(
      {Gesture.MoveRect.Left, Gesture.MoveRect.Top - Thickness, Gesture.MoveRect.Right, Gesture.MoveRect.Bottom});
  View.Compositor.Reset();
  View.Compositor.DrawMasked(Gesture.MoveRect, View.DragImage, ImageRect(), View.DragMask);
  View.Compositor.Flush(Screen);
  Gesture.GrabPending = true;
}

void TMove::ShiftTray(TBox& tray, int dx, int dy) {
  tray.X += dx;
  tray.Y += dy;
  OffsetPieces(tray.Pieces, dx, dy);
}

void TMove::LiftTray(TBox& tray) {
  Gesture.MoveRect = tray.BoundsRect();
  if (Options().Shadows) {
    View.ShadowSize = std::clamp(Puzzle().CellHeight / 10, 2, 10);
    Gesture.MoveRect.Right += View.ShadowSize;
    Gesture.MoveRect.Bottom += View.ShadowSize;
  }
  THourglass hourglass;
  Gesture.OriginX = Gesture.MoveRect.Left;
  Gesture.OriginY = Gesture.MoveRect.Top;
  SizeDragImage(false);
  ShiftTray(tray, -Gesture.MoveRect.Left, -Gesture.MoveRect.Top);
  if (Options().Shadows) tray.DrawShadow(View.DragImage, View.ShadowSize);
  DrawTray(tray, View.DragImage, nullptr);
  ShiftTray(tray, Gesture.MoveRect.Left, Gesture.MoveRect.Top);

  SetTrayLifted(tray, true);
  RefreshArea(Gesture.MoveRect);
  View.Compositor.Reset();
  DrawTrayImage();
  View.Compositor.Flush(Screen);
  Gesture.GrabPending = true;
}

void TMove::DrawTrayImage() {
  const int w = Gesture.MoveRect.Width(), h = Gesture.MoveRect.Height();
  if (!Options().Shadows) {
    View.Compositor.DrawOpaque(Gesture.MoveRect, View.DragImage, ImageRect());
    return;
  }
  // The body and the two shadow strips, leaving the board to show through
  // at the corners the shadow does not reach.
  const int s = View.ShadowSize;
  const TRect& m = Gesture.MoveRect;
  View.Compositor.DrawOpaque({m.Left, m.Top, m.Right - s, m.Bottom - s}, View.DragImage, {0, 0, w - s, h - s});
  View.Compositor.DrawOpaque({m.Left + s, m.Bottom - s, m.Right, m.Bottom}, View.DragImage, {s, h - s, w, h});
  View.Compositor.DrawOpaque({m.Right - s, m.Top + s, m.Right, m.Bottom - s}, View.DragImage, {w - s, s, w, h - s});
}

void TMove::SetMousePos(int x, int y) {
  if (Gesture.GrabPending) {
    Gesture.GrabPending = false;
    Gesture.GrabX = x - Gesture.MoveRect.Left;
    Gesture.GrabY = y - Gesture.MoveRect.Top;
  }
  Gesture.MouseX = x;
  Gesture.MouseY = y;
}

void TMove::DragTo(int x, int y, TDragMode mode) {
  SetMousePos(x, y);
  Gesture.MoveRect =
      Gesture.MoveRect.Offset(x - Gesture.GrabX - Gesture.MoveRect.Left, y - Gesture.GrabY - Gesture.MoveRect.Top);
  switch (mode) {
    case TDragMode::Pieces: {
      // The board in the pieces' own coordinates, which change only at the
      // drop.
      const TRect board = BoardTray().BoundsRect().Offset(Gesture.OriginX - Gesture.MoveRect.Left,
                                                          Gesture.OriginY - Gesture.MoveRect.Top);
      if (const TFormPiece* inside = AnyInsideArea(Gesture.Moving, board)) {
        Gesture.AnchorPiece = inside->Index;
      } else if (Gesture.AnchorPiece >= 0 && std::size_t(Gesture.AnchorPiece) < Pieces.size()) {
        const TRect held = PieceRect(Pieces[std::size_t(Gesture.AnchorPiece)]);
        TRect kept = held;
        KeepInArea(kept, board);
        Gesture.MoveRect = Gesture.MoveRect.Offset(kept.Left - held.Left, kept.Top - held.Top);
      } else {
        KeepInArea(Gesture.MoveRect, BoardTray().BoundsRect());
      }
      MoveImageTo(Gesture.MoveRect.Left, Gesture.MoveRect.Top);
      break;
    }
    case TDragMode::Selection:
      KeepOnBoard(Gesture.MoveRect);
      MoveImageTo(Gesture.MoveRect.Left, Gesture.MoveRect.Top);
      break;
    case TDragMode::Tray: {
      const int width = Options().PlayWidth, height = Options().PlayHeight;
      TRect& m = Gesture.MoveRect;
      if (m.Right < 32) m = m.Offset(32 - m.Right, 0);
      if (m.Left > width - 32) m = m.Offset(width - 32 - m.Left, 0);
      if (m.Top < 0) m = m.Offset(0, -m.Top);
      if (m.Top > height - 32) m = m.Offset(0, height - 32 - m.Top);
      MoveTrayImageTo(m.Left, m.Top);
      break;
    }
  }
}

void TMove::MoveImageTo(int x, int y) {
  View.Compositor.Erase();
  Gesture.MoveRect = Gesture.MoveRect.Offset(x - Gesture.MoveRect.Left, y - Gesture.MoveRect.Top);
  View.Compositor.DrawMasked(Gesture.MoveRect, View.DragImage, ImageRect(), View.DragMask);
  View.Compositor.Flush(Screen);
}

void TMove::MoveTrayImageTo(int x, int y) {
  View.Compositor.Erase();
  Gesture.MoveRect = Gesture.MoveRect.Offset(x - Gesture.MoveRect.Left, y - Gesture.MoveRect.Top);
  DrawTrayImage();
  View.Compositor.Flush(Screen);
}

void TMove::DropMoving(TBox* tray, bool join) {
  if (Gesture.Moving.empty()) return;
  TBox& target = tray ? *tray : TrayAt(Gesture.MouseX, Gesture.MouseY);
  MoveToTray(Gesture.Moving, target);
  SetHidden(Gesture.Moving, false);
  OffsetPieces(Gesture.Moving, Gesture.MoveRect.Left - Gesture.OriginX, Gesture.MoveRect.Top - Gesture.OriginY);
  if (join) JoinMoving(Gesture.Moving, Gesture.MoveRect);
  // A group brought back may hold a piece the join snapped onto it.
  Gesture.MoveRect = Gesture.MoveRect.Union(WithSide(SettleTrayPieces(target)));
  if (!target.IsBoard()) SetPlaced(Gesture.Moving, false);
  for (const TFormPiece* p : Gesture.Moving) Gesture.MoveRect = Gesture.MoveRect.Union(WithSide(PieceRect(*p)));
  RefreshArea(Gesture.MoveRect);
  Gesture.Moving.clear();
}

void TMove::DropTray(TBox& tray) {
  SetTrayLifted(tray, false);
  MoveTray(tray, Gesture.MoveRect.Left - Gesture.OriginX, Gesture.MoveRect.Top - Gesture.OriginY);
  SortTrays(TTrayOrder::Stacking);
  RefreshArea(Gesture.MoveRect);
}

void TMove::BringTrayToFront(TBox& tray) {
  if (tray.IsBoard() || tray.IsFrontmost()) return;
  tray.TakeFrontNo();
  LiftTray(tray);
  DropTray(tray);
  Screen.RepaintNow();
}

namespace {

// The floating image's slide along the line's pixels, Bresenham's way: the
// longer axis steps every time, the shorter one when the error says. A frame
// every stepsPerFrame pixels, each due 10 - stepsPerFrame ms after the last;
// a frame whose time has passed is skipped, not drawn late.
class TSlide final : public TAnimation {
 public:
  TSlide(TMove& move, int x0, int y0, bool interruptible, int stepsPerFrame, int x1, int y1)
      : move_(move), interruptible_(interruptible), s_(std::clamp(stepsPerFrame, 1, 10)), x_(x0), y_(y0),
        x1_(x1), y1_(y1) {
    const int dx = x1 - x0, dy = y1 - y0;
    sx_ = dx > 0 ? 1 : -1;
    sy_ = dy > 0 ? 1 : -1;
    const int adx = std::abs(dx), ady = std::abs(dy);
    xMajor_ = ady < adx;
    major_ = xMajor_ ? adx : ady;
    const int minor = xMajor_ ? ady : adx;
    e_ = 2 * minor - major_;
    straight_ = 2 * minor;
    diagonal_ = 2 * (minor - major_);
  }

  int Step() override {
    if (!started_) {
      started_ = true;
      move_.MoveImageTo(x_, y_);
      deadline_ = move_.HRTimer.Now() + 10 - s_;
    } else {
      // Back from the wait for a frame's time.
      if (Stopped()) return Ended;
      deadline_ += 10 - s_;
      Advance();
    }
    for (; step_ <= major_; Advance()) {
      if (++i_ < s_) continue;
      i_ = 0;
      if (Early()) move_.MoveImageTo(x_, y_);
      if (s_ != 10 && Early()) return std::max(1, deadline_ - move_.HRTimer.Now());
      if (Stopped()) return Ended;
      deadline_ += 10 - s_;
    }
    move_.MoveImageTo(x1_, y1_);
    return Ended;
  }

  void Settle(bool interrupted) override {
    // Stopped by a press, the image stays where it was last shown.
    if (!(interrupted && interruptible_)) move_.MoveImageTo(x1_, y1_);
  }

 private:
  bool Early() const { return std::int32_t(move_.HRTimer.Now() - deadline_) < 0; }
  bool Stopped() const { return interruptible_ && MouseButtonPending(); }
  void Advance() {
    ++step_;
    if (xMajor_) x_ += sx_; else y_ += sy_;
    if (e_ < 0) {
      e_ += straight_;
    } else {
      e_ += diagonal_;
      if (xMajor_) y_ += sy_; else x_ += sx_;
    }
  }

  TMove& move_;
  const bool interruptible_;
  const int s_;
  int x_, y_;
  const int x1_, y1_;
  int sx_, sy_;
  bool xMajor_;
  int major_, e_, straight_, diagonal_;
  int step_ = 0;
  int i_ = 0;
  bool started_ = false;
  std::int32_t deadline_ = 0;
};

}  // namespace

void TMove::AnimateTo(int x0, int y0, bool interruptible, int stepsPerFrame, int x1, int y1) {
  Animator.Start(std::make_unique<TSlide>(*this, x0, y0, interruptible, stepsPerFrame, x1, y1));
}

TMove::TLargestGroup TMove::FindLargestGroup() const {
  const TPieceList& list = BoardTray().Pieces;
  TLargestGroup best;
  if (list.empty()) return best;
  // Until a longer run turns up, the first place stands for a group.
  best = {0, 1, 1, 0};
  for (std::size_t start = 0; start < list.size();) {
    std::size_t end = start + 1;
    while (end < list.size() && list[end]->Group == list[start]->Group) ++end;
    if (int(end - start) > best.Length) {
      const int notComplete =
          int(std::count_if(list.begin() + std::ptrdiff_t(start), list.begin() + std::ptrdiff_t(end),
                            [](const TFormPiece* p) { return !p->Complete; }));
      best = {int(start), int(end - start), notComplete, list[start]->Group};
    }
    start = end;
  }
  return best;
}
