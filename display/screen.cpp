#include "display/screen.h"

#include <cmath>

#include "platform/colors.h"

namespace {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

}  // namespace

TScreen::TScreen() : canvas_(image_) {}

QRect TScreen::ToPixels(const TRect& rect) const {
  return ToQRect(rect.Offset(-image_.Origin().X, -image_.Origin().Y));
}

TRect TScreen::ToPlane(const QRect& rect) const {
  return Bounds(rect.x() + image_.Origin().X, rect.y() + image_.Origin().Y, rect.width(), rect.height());
}

QRegion TScreen::AllPixels() const { return QRegion(0, 0, Width(), Height()); }

void TScreen::Resize(int width, int height) {
  playAreaWidth_ = std::max(width, 0);
  playAreaHeight_ = std::max(height, 0);
  const auto magnified = [this](int side) { return int(std::lround(side / magnification_)); };
  image_.SetSize(magnified(playAreaWidth_), magnified(playAreaHeight_));
  invalid_ = AllPixels();
  Show(invalid_, false);
}

void TScreen::SetMagnification(double magnification) {
  if (magnification == magnification_) return;
  magnification_ = magnification;
  Resize(playAreaWidth_, playAreaHeight_);
}

void TScreen::SetOrigin(TPoint origin) {
  image_.SetOrigin(origin);
  invalid_ = AllPixels();
  Show(invalid_, false);
}

void TScreen::Invalidate(const TRect& rect) {
  const TRect visible = rect.Intersect(ClientRect());
  if (visible.IsEmpty()) return;
  const QRect pixels = ToPixels(visible);
  invalid_ += pixels;
  Show(QRegion(pixels), false);
}

void TScreen::PaintFrom(const TBitmap& source) {
  for (const QRect& r : invalid_) {
    const TRect plane = ToPlane(r);
    BitBlt(image_, plane.Left, plane.Top, plane.Width(), plane.Height(), source, plane.Left, plane.Top,
           TRasterOp::SrcCopy);
  }
  invalid_ = QRegion();
}

void TScreen::FillInvalid(TColor color) {
  canvas_.Brush.Color = ColorToRGB(color);
  for (const QRect& r : invalid_) canvas_.FillRect(ToPlane(r));
  invalid_ = QRegion();
}

void TScreen::Present(const TRect& rect) {
  const TRect visible = rect.Intersect(ClientRect());
  if (!visible.IsEmpty()) Show(QRegion(ToPixels(visible)), false);
}

void TScreen::PaintInvalid() {
  if (!invalid_.isEmpty() && painter_ && !Held()) painter_();
}

void TScreen::UpdateNow() {
  const QRegion region = invalid_;
  PaintInvalid();
  if (!region.isEmpty()) Show(region, true);
}

void TScreen::RepaintNow() {
  PaintInvalid();
  Show(AllPixels(), true);
}

void TScreen::SetCursor(int cursor) {
  if (cursor_ == cursor) return;
  cursor_ = cursor;
  ShowCursor(cursor);
}

void TScreen::Show(const QRegion&, bool) {}

void TScreen::ShowCursor(int) {}
