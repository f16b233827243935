#include "platform/canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/colors.h"
#include "platform/errors.h"

namespace {

QFont ToQFont(const TFont& font) {
  QFont f(font.Name);
  f.setPointSize(std::max(1, font.Size));
  f.setBold(font.Bold);
  f.setItalic(font.Italic);
  f.setUnderline(font.Underline);
  f.setStrikeOut(font.StrikeOut);
  return f;
}

// Pixels covered by one drawing primitive, each marked once, so that a
// NOT-XOR pen inverts every pixel exactly once however the pen squares of
// neighbouring points overlap.
class TCoverage {
 public:
  explicit TCoverage(TRect area) : area_(area) {
    if (!area_.IsEmpty()) marks_.assign(std::size_t(area_.Width()) * std::size_t(area_.Height()), 0);
  }
  void MarkRect(TRect r) {
    r = r.Intersect(area_);
    for (int y = r.Top; y < r.Bottom; ++y)
      std::fill_n(marks_.begin() + Index(r.Left, y), r.Width(), std::uint8_t(1));
  }
  template <class Apply>
  void ForEach(Apply apply) const {
    for (int y = area_.Top; y < area_.Bottom; ++y)
      for (int x = area_.Left; x < area_.Right; ++x)
        if (marks_[Index(x, y)]) apply(x, y);
  }

 private:
  std::size_t Index(int x, int y) const {
    return std::size_t(y - area_.Top) * std::size_t(area_.Width()) + std::size_t(x - area_.Left);
  }
  TRect area_;
  std::vector<std::uint8_t> marks_;
};

// The points of the one-pixel line from (x0, y0) towards (x1, y1).
void LinePoints(int x0, int y0, int x1, int y1, bool includeEnd, std::vector<TPoint>& out) {
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int stepX = x0 < x1 ? 1 : -1;
  const int stepY = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  int x = x0;
  int y = y0;
  while (x != x1 || y != y1) {
    out.push_back({x, y});
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      y += stepY;
    }
  }
  if (includeEnd) out.push_back({x1, y1});
}

void PaintPixel(TBitmap& target, int x, int y, TColor color, TPenMode mode) {
  if (mode == TPenMode::Copy) {
    target.SetPixel(x, y, color);
    return;
  }
  // NOT-XOR: dst := not (pen xor dst), channel by channel.
  if (target.Format() == TPixelFormat::Bgr24) {
    std::uint8_t* p = target.ScanLine(y) + 3 * x;
    p[0] = std::uint8_t(~(BlueOf(color) ^ p[0]));
    p[1] = std::uint8_t(~(GreenOf(color) ^ p[1]));
    p[2] = std::uint8_t(~(RedOf(color) ^ p[2]));
  } else {
    const bool dst = IsLightColor(target.Pixel(x, y));
    const bool pen = IsLightColor(color);
    target.SetPixel(x, y, (dst != pen) ? clBlack : clWhite);
  }
}

}  // namespace

TCanvas::TCanvas(TBitmap& target) : target_(target) {
  if (target_.Format() == TPixelFormat::Indexed8)
    throw EError(QStringLiteral("A canvas draws on 24-bit and mono bitmaps only"));
}

void TCanvas::SetClipRect(TRect clip) {
  clip_ = clip;
  clipSet_ = true;
}

void TCanvas::ClearClipRect() {
  clip_ = {};
  clipSet_ = false;
}

TRect TCanvas::EffectiveClip() const {
  return clipSet_ ? clip_.Intersect(target_.BoundsRect()) : target_.BoundsRect();
}

void TCanvas::MoveTo(int x, int y) { penPos_ = {x, y}; }

void TCanvas::LineTo(int x, int y) {
  const TPoint points[] = {penPos_, {x, y}};
  Polyline(points);
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  if (points.empty()) return;
  std::vector<TPoint> centres;
  for (std::size_t i = 1; i < points.size(); ++i)
    LinePoints(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y, false, centres);
  penPos_ = points.back();
  StampPoints(centres);
}

void TCanvas::StampPoints(const std::vector<TPoint>& centres) {
  if (centres.empty()) return;
  const int w = std::max(1, Pen.Width);
  const int before = w / 2;
  TRect box{centres[0].X, centres[0].Y, centres[0].X + 1, centres[0].Y + 1};
  for (const TPoint& p : centres) box = box.Union({p.X, p.Y, p.X + 1, p.Y + 1});
  box = TRect{box.Left - before, box.Top - before, box.Right - before + w - 1, box.Bottom - before + w - 1}
            .Intersect(EffectiveClip());
  if (box.IsEmpty()) return;
  TCoverage coverage(box);
  for (const TPoint& p : centres) coverage.MarkRect(Bounds(p.X - before, p.Y - before, w, w));
  const TColor color = ColorToRGB(Pen.Color);
  coverage.ForEach([&](int x, int y) { PaintPixel(target_, x, y, color, Pen.Mode); });
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  const int w = std::max(1, Pen.Width);
  if (!Brush.Clear) FillRect({left, top, right, bottom});
  if (Pen.InsideFrame && w > 1) {
    const TRect frame = TRect{left, top, right, bottom}.Intersect(EffectiveClip());
    if (frame.IsEmpty()) return;
    TCoverage coverage(frame);
    coverage.MarkRect({left, top, right, top + w});
    coverage.MarkRect({left, bottom - w, right, bottom});
    coverage.MarkRect({left, top, left + w, bottom});
    coverage.MarkRect({right - w, top, right, bottom});
    const TColor color = ColorToRGB(Pen.Color);
    coverage.ForEach([&](int x, int y) { PaintPixel(target_, x, y, color, Pen.Mode); });
    return;
  }
  std::vector<TPoint> centres;
  const TPoint corners[] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}, {left, top}};
  for (int i = 1; i < 5; ++i)
    LinePoints(corners[i - 1].X, corners[i - 1].Y, corners[i].X, corners[i].Y, false, centres);
  if (centres.empty()) centres.push_back({left, top});
  StampPoints(centres);
}

void TCanvas::FillRect(TRect rect) {
  const TRect area = rect.Intersect(EffectiveClip());
  if (area.IsEmpty()) return;
  const TColor color = ColorToRGB(Brush.Color);
  if (target_.Format() == TPixelFormat::Bgr24) {
    const std::uint8_t bgr[3] = {std::uint8_t(BlueOf(color)), std::uint8_t(GreenOf(color)),
                                 std::uint8_t(RedOf(color))};
    for (int y = area.Top; y < area.Bottom; ++y) {
      std::uint8_t* p = target_.ScanLine(y) + 3 * area.Left;
      for (int x = area.Left; x < area.Right; ++x, p += 3) {
        p[0] = bgr[0];
        p[1] = bgr[1];
        p[2] = bgr[2];
      }
    }
    return;
  }
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) target_.SetPixel(x, y, color);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  if (EffectiveClip().Contains({x, y})) target_.SetPixel(x, y, ColorToRGB(color));
}

TSize TCanvas::TextExtent(const QString& text) const {
  const QFontMetrics metrics(ToQFont(Font));
  return {metrics.horizontalAdvance(text), metrics.height()};
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  const TSize extent = TextExtent(text);
  if (!Brush.Clear) FillRect(Bounds(x, y, extent.Width, extent.Height));
  const TRect area = Bounds(x, y, extent.Width, extent.Height).Intersect(EffectiveClip());
  if (area.IsEmpty()) return;

  // Text is rendered off-screen and then laid onto the target, which keeps
  // mono targets and the clip rectangle in one path.
  QImage glyphs(extent.Width, extent.Height, QImage::Format_ARGB32_Premultiplied);
  glyphs.fill(Qt::transparent);
  {
    QPainter painter(&glyphs);
    painter.setFont(ToQFont(Font));
    const TColor c = ColorToRGB(Font.Color);
    painter.setPen(QColor(RedOf(c), GreenOf(c), BlueOf(c)));
    painter.drawText(QPoint(0, QFontMetrics(painter.font()).ascent()), text);
  }
  const TColor c = ColorToRGB(Font.Color);
  for (int py = area.Top; py < area.Bottom; ++py) {
    const QRgb* row = reinterpret_cast<const QRgb*>(glyphs.constScanLine(py - y));
    for (int px = area.Left; px < area.Right; ++px) {
      const QRgb g = row[px - x];
      const int alpha = qAlpha(g);
      if (alpha == 0) continue;
      if (target_.Format() != TPixelFormat::Bgr24) {
        if (alpha >= 128) target_.SetPixel(px, py, c);
        continue;
      }
      std::uint8_t* p = target_.ScanLine(py) + 3 * px;
      // Premultiplied glyph over the pixel.
      p[0] = std::uint8_t(qBlue(g) + p[0] * (255 - alpha) / 255);
      p[1] = std::uint8_t(qGreen(g) + p[1] * (255 - alpha) / 255);
      p[2] = std::uint8_t(qRed(g) + p[2] * (255 - alpha) / 255);
    }
  }
}

void TCanvas::FloodFill(int x, int y, TColor border) {
  const TRect area = EffectiveClip();
  if (!area.Contains({x, y})) return;
  const TColor borderColor = target_.Format() == TPixelFormat::Mono
                                 ? (IsLightColor(ColorToRGB(border)) ? clWhite : clBlack)
                                 : ColorToRGB(border);
  const TColor fill = ColorToRGB(Brush.Color);
  std::vector<std::uint8_t> visited(std::size_t(area.Width()) * std::size_t(area.Height()), 0);
  auto index = [&](int px, int py) {
    return std::size_t(py - area.Top) * std::size_t(area.Width()) + std::size_t(px - area.Left);
  };
  auto open = [&](int px, int py) {
    return !visited[index(px, py)] && target_.Pixel(px, py) != borderColor;
  };
  if (!open(x, y)) return;

  // Span fill with an explicit stack: each entry is a seed pixel.
  std::vector<TPoint> stack{{x, y}};
  while (!stack.empty()) {
    const TPoint seed = stack.back();
    stack.pop_back();
    if (!open(seed.X, seed.Y)) continue;
    int left = seed.X;
    while (left > area.Left && open(left - 1, seed.Y)) --left;
    int right = seed.X;
    while (right + 1 < area.Right && open(right + 1, seed.Y)) ++right;
    for (int px = left; px <= right; ++px) {
      visited[index(px, seed.Y)] = 1;
      target_.SetPixel(px, seed.Y, fill);
    }
    for (int ny : {seed.Y - 1, seed.Y + 1}) {
      if (ny < area.Top || ny >= area.Bottom) continue;
      bool inSpan = false;
      for (int px = left; px <= right; ++px) {
        const bool o = open(px, ny);
        if (o && !inSpan) stack.push_back({px, ny});
        inSpan = o;
      }
    }
  }
}

void TCanvas::Draw(int x, int y, const TBitmap& src) {
  const TRect clip = EffectiveClip();
  BitBlt(target_, x, y, src.Width(), src.Height(), src, 0, 0, CopyMode, &clip);
}

void TCanvas::StretchDraw(TRect dest, const TBitmap& src) {
  if (dest.IsEmpty() || src.IsEmpty()) return;
  const QImage scaled = src.Image()
                           .convertToFormat(QImage::Format_RGB32)
                           .scaled(dest.Width(), dest.Height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  TBitmap stretched(scaled.width(), scaled.height(), target_.Format());
  for (int y = 0; y < scaled.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(scaled.constScanLine(y));
    for (int x = 0; x < scaled.width(); ++x)
      stretched.SetPixel(x, y, RGBColor(qRed(row[x]), qGreen(row[x]), qBlue(row[x])));
  }
  const TRect clip = EffectiveClip();
  BitBlt(target_, dest.Left, dest.Top, dest.Width(), dest.Height(), stretched, 0, 0, CopyMode, &clip);
}
