#include "display/screen.h"

#include "platform/colors.h"

namespace {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

}  // namespace

TScreen::TScreen() : canvas_(image_) {}

void TScreen::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width != Width() || height != Height()) {
    if (width == 0 || height == 0)
      image_ = TBitmap();
    else
      image_.SetSize(width, height);
  }
  invalid_ = QRegion(ToQRect(ClientRect()));
  Show(invalid_, false);
}

void TScreen::SetOrigin(TPoint origin) {
  image_.SetOrigin(origin);
  invalid_ = QRegion(ToQRect(ClientRect()));
  Show(invalid_, false);
}

void TScreen::Invalidate(const TRect& rect) {
  const TRect visible = rect.Intersect(ClientRect());
  if (visible.IsEmpty()) return;
  invalid_ += ToQRect(visible);
  Show(QRegion(ToQRect(visible)), false);
}

void TScreen::PaintFrom(const TBitmap& source) {
  for (const QRect& r : invalid_)
    BitBlt(image_, r.x(), r.y(), r.width(), r.height(), source, r.x(), r.y(), TRasterOp::SrcCopy);
  invalid_ = QRegion();
}

void TScreen::FillInvalid(TColor color) {
  const TColor rgb = ColorToRGB(color);
  for (const QRect& r : invalid_) {
    canvas_.Brush.Color = rgb;
    canvas_.FillRect(Bounds(r.x(), r.y(), r.width(), r.height()));
  }
  invalid_ = QRegion();
}

void TScreen::Present(const TRect& rect) {
  const TRect visible = rect.Intersect(ClientRect());
  if (!visible.IsEmpty()) Show(QRegion(ToQRect(visible)), false);
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
  Show(QRegion(ToQRect(ClientRect())), true);
}

void TScreen::SetCursor(int cursor) {
  if (cursor_ == cursor) return;
  cursor_ = cursor;
  ShowCursor(cursor);
}

void TScreen::Show(const QRegion&, bool) {}

void TScreen::ShowCursor(int) {}
