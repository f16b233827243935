#include "play/band.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace {

// The rectangle (x1, y1, x2, y2) as the canvas draws it, whichever way round
// the corners are.
TRect Normalised(int x1, int y1, int x2, int y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// One coordinate of zoom step i of 20: the quotient in floating point,
// rounded to the nearest integer, ties to even.
int ZoomStep(int from, int to, int i) {
  const double quotient = double(std::int64_t(i) * (std::int64_t(to) - from)) / 20.0;
  return from + int(std::nearbyint(quotient));
}

constexpr int ZoomSteps = 20;
constexpr int ZoomDelayMs = 10;

}  // namespace

void TBand::BandStart(TScreen& screen, int x, int y) {
  screen_ = &screen;
  X1 = X2 = x;
  Y1 = Y2 = y;
  // The empty rectangle at the start point: nothing on the screen.
  shown_ = false;
}

void TBand::BandTo(int x, int y) {
  Prepare();
  const TOutline removed = Remove();
  X2 = x;
  Y2 = y;
  Invert();
  Present(removed);
}

void TBand::BandSet(const TRect& rect) {
  Prepare();
  const TOutline removed = Remove();
  X1 = rect.Left;
  Y1 = rect.Top;
  X2 = rect.Right;
  Y2 = rect.Bottom;
  Invert();
  Present(removed);
}

void TBand::Lift() {
  Prepare();
  Remove();
}

TRect TBand::BandEnd() {
  Prepare();
  Present(Remove());
  if (screen_) screen_->Canvas().Pen.Mode = TPenMode::Copy;
  if (X1 > X2) std::swap(X1, X2);
  if (Y1 > Y2) std::swap(Y1, Y2);
  return {X1, Y1, X2, Y2};
}

namespace {

class TZoom final : public TAnimation {
 public:
  TZoom(TBand& band, TScreen& screen, const TRect& from, const TRect& to, bool showBoardFirst)
      : band_(band), screen_(screen), from_(from), to_(to), showBoardFirst_(showBoardFirst) {
    if (!showBoardFirst) hold_.emplace(screen_);
  }

  int Step() override {
    if (frame_ == 0) {
      if (!hold_) {
        screen_.RepaintNow();
        hold_.emplace(screen_);
      }
      band_.BandStart(screen_, from_.Left, from_.Top);
    }
    if (frame_ == ZoomSteps) {
      End();
      return Ended;
    }
    ++frame_;
    band_.BandSet({ZoomStep(from_.Left, to_.Left, frame_), ZoomStep(from_.Top, to_.Top, frame_),
                   ZoomStep(from_.Right, to_.Right, frame_), ZoomStep(from_.Bottom, to_.Bottom, frame_)});
    return ZoomDelayMs;
  }
  void Settle(bool) override { End(); }

 private:
  void End() {
    if (frame_ > 0) band_.BandEnd();
    hold_.reset();
    // What changed on the board meanwhile shows now: all of it, after a
    // zoom that kept it back from its start.
    if (showBoardFirst_)
      screen_.UpdateNow();
    else
      screen_.RepaintNow();
  }

  TBand& band_;
  TScreen& screen_;
  const TRect from_, to_;
  const bool showBoardFirst_;
  int frame_ = 0;
  std::optional<TScreen::THold> hold_;
};

}  // namespace

std::unique_ptr<TAnimation> TBand::Zoom(TScreen& screen, const TRect& from, const TRect& to, bool showBoardFirst) {
  return std::make_unique<TZoom>(*this, screen, from, to, showBoardFirst);
}

void TBand::Prepare() {
  if (!screen_) return;
  TCanvas& canvas = screen_->Canvas();
  canvas.Pen.Mode = TPenMode::NotXor;
  canvas.Brush.Clear = true;
}

void TBand::Invert() {
  if (!screen_) return;
  TCanvas& canvas = screen_->Canvas();
  canvas.Rectangle(X1, Y1, X2, Y2);
  shown_ = true;
  shownRect_ = Normalised(X1, Y1, X2, Y2);
  shownPen_ = canvas.Pen;
}

TBand::TOutline TBand::Remove() {
  if (!screen_ || !shown_) return {};
  shown_ = false;
  TCanvas& canvas = screen_->Canvas();
  // The same rectangle with the same pen: every pixel it inverted is
  // inverted back, even if someone changed the pen colour or width since.
  const TPen current = canvas.Pen;
  canvas.Pen = shownPen_;
  canvas.Pen.Mode = TPenMode::NotXor;
  canvas.Rectangle(shownRect_.Left, shownRect_.Top, shownRect_.Right, shownRect_.Bottom);
  canvas.Pen = current;
  return {true, shownRect_, shownPen_.Width};
}

void TBand::Present(const TOutline& removed) {
  if (!screen_) return;
  // Removed and drawn outline are shown together, after both are done, so
  // that an immediate present never shows a frame without the band.
  if (removed.Valid) PresentOutline(removed.Rect, removed.PenWidth);
  if (shown_) PresentOutline(shownRect_, shownPen_.Width);
}

void TBand::PresentOutline(const TRect& r, int penWidth) {
  // Nothing is drawn for a rectangle without area.
  if (r.Width() < 1 || r.Height() < 1) return;
  // A pen square reaches at most its width beyond the one-pixel outline on
  // either side, so these four strips hold every pixel the outline touched.
  const int w = std::max(1, penWidth);
  const TRect outer = r.Inflate(w, w);
  screen_->Present({outer.Left, outer.Top, outer.Right, r.Top + w});
  screen_->Present({outer.Left, r.Bottom - w, outer.Right, outer.Bottom});
  screen_->Present({outer.Left, r.Top + w, r.Left + w, r.Bottom - w});
  screen_->Present({r.Right - w, r.Top + w, outer.Right, r.Bottom - w});
}
