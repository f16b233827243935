#pragma once
// The play area as the user sees it: a copy of the screen's pixels that the
// board is copied onto, the compositor flushes its changed rectangles onto and
// the rubber band inverts, and the window shows. Drawing twice with the
// inverting pen therefore removes a band exactly, and an area marked invalid
// is recomposed from the board at the next paint, as a window system's update
// region is.

#include <QRegion>

#include <functional>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/types.h"

class TScreen {
 public:
  TScreen();
  virtual ~TScreen() = default;
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;

  TBitmap& Image() { return image_; }
  const TBitmap& Image() const { return image_; }
  TCanvas& Canvas() { return canvas_; }
  int Width() const { return image_.Width(); }
  int Height() const { return image_.Height(); }
  // The part of the board the copy shows.
  TRect ClientRect() const { return image_.BoundsRect(); }

  // The copy shows the board from origin on: every rectangle and point the
  // screen takes is the board's, and all of it is invalid.
  void SetOrigin(TPoint origin);
  TPoint Origin() const { return image_.Origin(); }

  // The play area changed size: the copy follows, and all of it is invalid.
  void Resize(int width, int height);
  // Each pixel of the copy shows magnified by this much, the copy as much
  // smaller than the play area; all of it is invalid.
  void SetMagnification(double magnification);
  double Magnification() const { return magnification_; }
  // The play area's own size, which a magnified copy is smaller than.
  int PlayAreaWidth() const { return playAreaWidth_; }
  int PlayAreaHeight() const { return playAreaHeight_; }

  // The board changed under rect: the next paint recomposes it.
  void Invalidate(const TRect& rect);
  // In the copy's pixels, as the window paints them.
  const QRegion& InvalidRegion() const { return invalid_; }
  // Copies source onto the copy wherever it is invalid, and clears the
  // invalid region. The paint handler calls it with the board.
  void PaintFrom(const TBitmap& source);
  // Fills the invalid region with one colour and clears it: a play area
  // with no board yet.
  void FillInvalid(TColor color);

  // The copy's pixels in rect changed: show them with the next paint.
  void Present(const TRect& rect);
  // Recomposes the invalid region and shows it at once, as a window updates
  // before something draws over it.
  void UpdateNow();
  // Recomposes the invalid region and shows the whole play area at once.
  void RepaintNow();

  // What recomposes the invalid region: the play area's paint handler.
  void SetPainter(std::function<void()> painter) { painter_ = std::move(painter); }
  // Runs the painter when something is invalid and no hold lives.
  void PaintInvalid();

  // While one of these lives, what is invalid waits to be painted: a paint
  // shows the copy as it is. An animation that draws onto the copy itself
  // (a zoom's inverted frames) holds one, so that no paint draws the board
  // over its frames before it has taken them off again.
  class THold {
   public:
    explicit THold(TScreen& screen) : screen_(screen) { ++screen_.held_; }
    ~THold() { --screen_.held_; }
    THold(const THold&) = delete;
    THold& operator=(const THold&) = delete;

   private:
    TScreen& screen_;
  };
  bool Held() const { return held_ > 0; }

  // The mouse cursor over the play area (the cursor numbers of
  // platform/cursors.h).
  void SetCursor(int cursor);
  int Cursor() const { return cursor_; }

  // The play area's point in screen coordinates, for popup menus.
  virtual TPoint ClientToScreen(TPoint point) const { return point; }

 protected:
  // Shows region of the copy (its pixels, not the board's points): now, or
  // when the window next paints. A screen without a window shows nothing.
  virtual void Show(const QRegion& region, bool now);
  virtual void ShowCursor(int cursor);

 private:
  QRect ToPixels(const TRect& rect) const;
  TRect ToPlane(const QRect& rect) const;
  QRegion AllPixels() const;

  TBitmap image_;
  TCanvas canvas_;
  QRegion invalid_;
  std::function<void()> painter_;
  int held_ = 0;
  int cursor_ = 0;
  double magnification_ = 1.0;
  int playAreaWidth_ = 0, playAreaHeight_ = 0;
};
