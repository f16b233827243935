#pragma once
// A tray: a framed panel on the play area with its own pieces, a title bar, a
// minimize box and a toggle button on the tray bar. Tray 0 is the board tray:
// the whole play area, without frame or button, where every piece starts.

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "pieces/pieces.h"
#include "platform/bitmap.h"
#include "platform/types.h"
#include "play/boardstate.h"
#include "play/traybar.h"

class TBoxes;
class TGesture;

class TBox {
 public:
  // The saved game's record of a tray.
  static constexpr std::size_t RecordSize = 148;
  static constexpr std::size_t DescriptionCapacity = 128;
  static constexpr int DefaultWidth = 200, DefaultHeight = 150;
  static constexpr int MinWidth = 100, MinHeight = 75;
  static constexpr TColor DefaultColor = 12615935;  // 0xC080FF: red 255, green 128, blue 192

  // A new tray takes the next front number and the next cascade place, and
  // a button on the owner's tray bar (hidden for the board tray).
  TBox(TBoxes& owner, std::uint32_t number);
  ~TBox();
  TBox(const TBox&) = delete;
  TBox& operator=(const TBox&) = delete;

  // The saved game keeps tray numbers in 16 bits.
  static constexpr std::uint32_t LargestNumber = 0xFFFF;

  std::uint32_t Number = 0;
  std::int32_t X = 0, Y = 0;
  std::uint16_t Width = DefaultWidth, Height = DefaultHeight;
  std::uint32_t FrontNo = 0;
  TColor Color = DefaultColor;
  bool Open = true;
  bool Lifted = false;        // being dragged: not drawn on the board
  bool ClosePressed = false;  // the minimize box is shown pressed
  std::unique_ptr<TTrayButton> Button;
  QString Description;  // up to DescriptionCapacity characters
  TPieceList Pieces;    // in stacking order; the pieces are the piece set's

  bool IsBoard() const { return Number == 0; }

  void TakeFrontNo();
  bool IsFrontmost() const;
  void SetWidth(std::uint16_t width) { Width = width; }
  void SetHeight(std::uint16_t height) { Height = height; }
  void SetBounds(const TRect& rect);
  TRect BoundsRect() const { return Bounds(X, Y, Width, Height); }
  // Where pieces lie: the whole tray for the board, else inside the frame
  // (8 pixels at the sides and bottom, 24 at the top).
  TRect InnerRect() const;
  TRect CloseBoxRect() const;
  // Presses or releases the minimize box for a point; the board tray has
  // none.
  bool CloseBoxHit(int x, int y);
  // The tray's bar button on the board, where the play area shows it.
  TRect ButtonRect() const;
  // "Tray 3", or "Tray 3: Sky" with a description.
  QString Title() const;

  // The resize cursor for a point on the tray's edge, crDefault inside and 0
  // outside.
  int EdgeCursorAt(int x, int y) const;
  // Starts an edge drag at the mouse point: the point becomes the corner
  // that moves while the opposite one stays (the anchor), and the band starts
  // at the anchor. The gesture keeps the anchor, the grab offset and the
  // least size until the drag ends.
  void ResizeStart(TGesture& gesture, int& x, int& y, int cursor);
  // Corrects the mouse point of an edge drag for the grab offset, the edge
  // being dragged and the minimum size, and draws the band to it.
  void ResizeTrack(const TGesture& gesture, int& x, int& y, int cursor);

  int Count() const { return int(Pieces.size()); }
  TFormPiece* Item(int i) const { return Pieces[std::size_t(i)]; }
  TPieceList& PieceList() { return Pieces; }
  // Appends the pieces and makes this tray theirs.
  void AddPieces(TPieceSpan list);
  void SortPieces(TSortOrder order) { TPieces::SortList(Pieces, order); }
  // The topmost piece under the point inside the tray's inner area, tested by
  // its shape when byShape is set; null when there is none.
  TFormPiece* PieceUnder(int x, int y, bool byShape) const;

  // Frame, minimize box and title (not the pieces), limited to clip when one
  // is given. Nothing for the board, a closed or a lifted tray.
  void Draw(TBitmap& bitmap, const TRect* clip) const;
  // The shadow strips below and right of the tray, s pixels deep.
  void DrawShadow(TBitmap& bitmap, int s) const;

  // The button's click: opens or closes the tray with the band's zoom.
  void ToggleOpen();
  // A right press on the button: this tray becomes the current one and the
  // tray icon popup opens there.
  void ButtonMouseDown(TPoint screenPoint);

  // What the tray is, as undo and the saved game keep it.
  TTrayState State() const;
  // The tray becomes what the state says, and its bar button with it.
  void TakeState(const TTrayState& state);
  // The saved game's 148-byte record of a tray's state, and the state a
  // record holds.
  static std::array<std::uint8_t, RecordSize> ToRecord(const TTrayState& state);
  static TTrayState FromRecord(std::span<const std::uint8_t, RecordSize> record);
  // The number of the tray a record holds, or 0 (the board's, which has no
  // record) when its open flag or its size cannot be a tray's.
  static std::uint32_t RecordNumber(std::span<const std::uint8_t, RecordSize> record);

 private:
  TBoxes& owner_;
};
