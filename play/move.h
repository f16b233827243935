#pragma once
// The move engine of the game object: lifting, dragging and dropping what
// floats above the board, and the repainting of the board that every change
// goes through. It owns the view, the play area's pixels, and the gesture,
// what the mouse has under way.

#include <cstdint>

#include "play/boardview.h"
#include "play/boxes.h"
#include "play/gesture.h"

class TMove : public TBoxes {
 public:
  TMove(TPuzzleGeometry& puzzle, TPieceOptions& options, TTrayCounters& counters, TTrayBar& bar,
        TScreen& screen);

  TBoardView View;   // the play area's pixels
  TGesture Gesture;  // what the mouse has under way
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

  // Lifting: the pieces float as one raised image, hidden on the board.
  void PickPiece(TFormPiece& piece);
  // The piece with its group, brought to the front; nothing for none.
  void PickGroup(TFormPiece* piece);
  // The topmost piece of the tray under the point, by its shape, with its
  // group; false when there is none.
  bool PickAt(TBox& tray, int x, int y);
  // Every loose piece of the tray lying wholly inside rect; false when none.
  bool PickInRect(std::uint32_t trayNumber, const TRect& rect);
  // The topmost floating piece under the point, by its shape.
  TFormPiece* MovingPieceAt(int x, int y) const;
  void LiftMoving();
  void LiftTray(TBox& tray);
  void DrawTrayImage();

  // Dragging. The first position after a lift fixes where the image is held.
  void SetMousePos(int x, int y);
  // Follows the mouse: pieces picked by the user (3) stay on the board by
  // at least one piece, a band selection (4) by half a cell, a tray (5) by
  // 32 pixels.
  void DragTo(int x, int y, TDragMode mode);
  void MoveImageTo(int x, int y);
  void MoveTrayImageTo(int x, int y);
  TPoint GetMovePos() const { return {Gesture.MoveRect.Left, Gesture.MoveRect.Top}; }

  // Dropping: into the given tray or the one under the mouse, joining what
  // fits when join is set.
  void DropMoving(TBox* tray, bool join);
  void DropTray(TBox& tray);
  // Shows the floating pieces on the board again where they were lifted.
  void PutBack();
  void BringTrayToFront(TBox& tray);
  // Queues the slide of the floating image from (x0, y0) to (x1, y1),
  // stepsPerFrame pixels a frame of 10 - stepsPerFrame ms; a mouse button
  // held down stops an interruptible slide where it is.
  void AnimateTo(int x0, int y0, bool interruptible, int stepsPerFrame, int x1, int y1);

  // The longest run of one group in the board tray's list.
  struct TLargestGroup {
    int Start = 0;
    int Length = 0;
    int NotComplete = 0;
    std::int32_t Group = 0;
  };
  TLargestGroup FindLargestGroup() const;
  // Turns a piece with its group by quarter turns clockwise in the piece's
  // place, joining what then fits when join is set.
  void RotateGroup(TFormPiece& piece, int turns, bool join);
  // Joins every piece of the list with the home neighbours it now fits,
  // smallest group first; rect grows by everything that moved.
  void JoinMoving(TPieceSpan list, TRect& rect);

 protected:
  // A rectangle of pieces grown by their wooden side.
  TRect WithSide(TRect rect) const;

 private:
  // Moving := the piece and, when it is joined, the rest of its group in
  // index order.
  void TakeGroup(TFormPiece& piece);
  TRect MovingRect() const;
  // The drag image's size for MoveRect, filled black, with a white mask.
  void SizeDragImage(bool withMask);
  TRect ImageRect() const { return {0, 0, Gesture.MoveRect.Width(), Gesture.MoveRect.Height()}; }
  // Moves a tray and its pieces without storing their places.
  static void ShiftTray(TBox& tray, int dx, int dy);
};
