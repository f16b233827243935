#pragma once
// The move engine of the game object: what floats above the board while the
// user drags, and the repainting of the board that every change goes through.

#include <cstdint>

#include "display/dirty.h"
#include "pieces/mural.h"
#include "play/boxes.h"

class TMove : public TBoxes {
 public:
  TMove(TPuzzleGeometry& puzzle, TPieceOptions& options, TTrayCounters& counters, TTrayBar& bar,
        TScreen& screen);

  TPieceList Moving;  // the pieces that float now
  TRect MoveRect;     // where the floating image lies
  std::int32_t OriginX = 0, OriginY = 0;  // MoveRect's top-left when lifted
  TBitmap DragImage;
  TBitmap DragMask{0, 0, TPixelFormat::Mono};
  TDirty Compositor;
  std::int32_t MouseX = 0, MouseY = 0;
  std::int32_t GrabX = 0, GrabY = 0;
  bool GrabPending = false;
  std::int32_t ShadowSize = 0;
  TMural Mural;
  // An auto-solve is running: a dropped piece joins its first fitting
  // neighbour at once.
  bool AutoSolving = false;

  // Recomposes rect of the board from the mural and the trays with their
  // pieces, and keeps the compositor's background in step.
  void RedrawArea(const TRect& rect);
  // The next paint copies rect from the board to the screen.
  void InvalidateArea(const TRect& rect);
  void RefreshArea(const TRect& rect) override;
  // After the whole board was rebuilt: the compositor starts from it.
  void ResetBackground();

  // Shows the floating pieces on the board again where they were lifted.
  void PutBack();
  // Turns a piece with its group by quarter turns clockwise in the piece's
  // place, joining what then fits when join is set.
  void RotateGroup(TFormPiece& piece, int turns, bool join);
  // Joins every piece of the list with the home neighbours it now fits,
  // smallest group first; rect grows by everything that moved.
  void JoinMoving(TPieceSpan list, TRect& rect);

 private:
  // The piece and, when it is joined, the rest of its group in index order,
  // and the rectangle they cover with the wooden side.
  void TakeGroup(TFormPiece& piece);
  TRect WithSide(TRect rect) const;
};
