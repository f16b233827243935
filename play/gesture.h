#pragma once
// What one gesture of the mouse over the play area has under way: the mouse
// machine's state, what floats above the board and where, the grip on it,
// the edge drag of a tray and the piece a popup was opened on. The game
// object owns one.

#include <cstdint>

#include "pieces/pieces.h"
#include "platform/types.h"
#include "play/box.h"

// What carries a drag, which decides how it is kept in sight: a piece or
// group held by the left button stays partly on the board, a band's
// selection stays on it, a tray keeps its title bar reachable. The values are
// the mouse machine's states for these drags.
enum class TDragMode : std::uint8_t { Pieces = 3, Selection = 4, Tray = 5 };

// What the mouse is doing over the play area. The three drags have the
// values of their TDragMode.
enum class TMouseState : std::uint8_t {
  Idle = 0,
  Selected = 1,  // a band selection floats until the next press
  Banding = 2,
  DraggingPieces = std::uint8_t(TDragMode::Pieces),
  DraggingSelection = std::uint8_t(TDragMode::Selection),
  DraggingTray = std::uint8_t(TDragMode::Tray),
  OverEdge = 6,  // the pointer rests on a tray's edge
  Resizing = 7,
  PressingCloseBox = 8
};

class TGesture {
 public:
  TMouseState MouseState = TMouseState::Idle;

  TPieceList Moving;                      // the pieces that float now
  TRect MoveRect;                         // where the floating image lies
  std::int32_t OriginX = 0, OriginY = 0;  // MoveRect's top-left when lifted
  // The mouse's last position in a drag: a drop goes into the tray there.
  std::int32_t MouseX = 0, MouseY = 0;
  // The mouse's offset into the floating image, fixed by the first position
  // after a lift (pending until then).
  std::int32_t GrabX = 0, GrabY = 0;
  bool GrabPending = false;
  // The piece that kept the last drag on the board (an index, so that it
  // never outlives the pieces); -1 before any.
  int AnchorPiece = -1;

  // The corner that stays while a tray's edge is dragged, and the mouse's
  // offset from the corner that moves.
  TPoint ResizeAnchor;
  TPoint ResizeGrab;
  // The least size the tray being resized may take.
  TSize ResizeLeast{TBox::MinWidth, TBox::MinHeight};

  // Where the last popup over the play area was opened, the piece under it
  // and that piece's neighbour for the neighbour cheats.
  TPoint PopupPoint;
  TFormPiece* PopupPiece = nullptr;
  TFormPiece* NeighbourPiece = nullptr;
  // The popup piece shows raised while its popup is open.
  bool PopupLifted = false;

  // Nothing afloat and the mouse machine idle.
  bool AtRest() const { return Moving.empty() && MouseState == TMouseState::Idle; }
};
