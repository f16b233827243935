#pragma once
// The rubber band: a rectangle drawn on the play area's screen copy with the
// inverting pen, so that drawing it a second time removes it and the board
// underneath never has to be repainted. Used for band selection, for resizing
// a tray by its edge and for the zoom of a tray opening or closing.

#include <cstdint>
#include <memory>

#include "display/animator.h"
#include "display/screen.h"
#include "platform/canvas.h"
#include "platform/types.h"

class TBand {
 public:
  std::int32_t X1 = 0, Y1 = 0;  // fixed corner
  std::int32_t X2 = 0, Y2 = 0;  // moving corner, as last drawn

  // Starts a band at (x, y) on the screen; nothing is drawn.
  void BandStart(TScreen& screen, int x, int y);
  // Removes the rectangle shown and draws the one to (x, y).
  void BandTo(int x, int y);
  // Removes the rectangle shown and draws rect.
  void BandSet(const TRect& rect);
  // Takes the rectangle off the screen copy before the copy shows another
  // part of the board; the next BandTo draws it again.
  void Lift();
  // Removes the rectangle shown and returns it normalised (Left <= Right,
  // Top <= Bottom); the fields are normalised too.
  TRect BandEnd();
  // Twenty frames from `from` to `to`, 10 ms apart, after which nothing is
  // left on the screen. The board's changes wait meanwhile, so that the
  // frames are drawn over one board and taken off it cleanly: those made so
  // far show before the first frame (showBoardFirst: a closing tray has gone
  // when its zoom starts) or after the last (an opening tray appears when
  // its zoom has ended).
  std::unique_ptr<TAnimation> Zoom(TScreen& screen, const TRect& from, const TRect& to, bool showBoardFirst);

 private:
  // Sets the inverting pen mode and the clear brush on the screen's canvas.
  void Prepare();
  // Draws the outline of (X1, Y1, X2, Y2) with the inverting pen and the
  // canvas's pen colour and width, and remembers that pen.
  void Invert();
  // An outline taken off the screen, still to be shown.
  struct TOutline {
    bool Valid = false;
    TRect Rect;
    int PenWidth = 1;
  };
  // Draws the outline shown once more with the pen that drew it, which
  // removes it; the canvas's pen colour and width stay as they are.
  TOutline Remove();
  // Shows the removed outline and the one now drawn.
  void Present(const TOutline& removed);
  // Shows the four edge strips of an outline of the normalised rect.
  void PresentOutline(const TRect& rect, int penWidth);

  TScreen* screen_ = nullptr;
  // The outline on the screen, if any, and the pen it was drawn with.
  bool shown_ = false;
  TRect shownRect_;
  TPen shownPen_;
};
