#include "platform/canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <span>
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

// The points LinePoints gives for a segment along a row or a column, less
// those outside reach, the centres whose pen squares can touch the clip: a
// tray's frame may be far larger than the board it is drawn on, and its
// invisible points would cost as much as the visible ones.
void AxisLinePoints(TPoint from, TPoint to, const TRect& reach, std::vector<TPoint>& out) {
  const bool alongRow = from.Y == to.Y;
  const int fixed = alongRow ? from.Y : from.X;
  if (alongRow ? fixed < reach.Top || fixed >= reach.Bottom : fixed < reach.Left || fixed >= reach.Right) return;
  // From a towards b, b itself left out.
  const std::int64_t a = alongRow ? from.X : from.Y, b = alongRow ? to.X : to.Y;
  const std::int64_t first = std::max(a < b ? a : b + 1, std::int64_t(alongRow ? reach.Left : reach.Top));
  const std::int64_t last = std::min(a < b ? b - 1 : a, std::int64_t(alongRow ? reach.Right : reach.Bottom) - 1);
  for (std::int64_t v = first; v <= last; ++v) out.push_back(alongRow ? TPoint{int(v), fixed} : TPoint{fixed, int(v)});
}

void PaintPixel(TBitmap& target, int x, int y, TColor color, TPenMode mode) {
  if (mode == TPenMode::Copy) {
    target.SetPixel(x, y, color);
    return;
  }
  // NOT-XOR: dst := not (pen xor dst), channel by channel.
  if (target.Format() == TPixelFormat::Bgr24) {
    std::uint8_t* p = target.PixelAt(x, y);
    p[0] = std::uint8_t(~(BlueOf(color) ^ p[0]));
    p[1] = std::uint8_t(~(GreenOf(color) ^ p[1]));
    p[2] = std::uint8_t(~(RedOf(color) ^ p[2]));
  } else {
    const bool dst = IsLightColor(target.Pixel(x, y));
    const bool pen = IsLightColor(color);
    target.SetPixel(x, y, (dst != pen) ? clBlack : clWhite);
  }
}

// Weights of a stretch in fixed point: those of one destination pixel add up
// to StretchOne.
constexpr int StretchBits = 14;
constexpr std::int64_t StretchOne = 1 << StretchBits;

// One axis of a stretch of source pixels to dest pixels, for the destination
// pixels from up to, not including, to. Shrinking averages the source pixels
// that a destination pixel covers, each by how much of it is covered;
// enlarging interpolates between the two source pixels nearest to the
// destination pixel's centre, the outermost ones going on beyond the edges.
// At the same size both copy. Every destination pixel is a weighted sum of
// the same number of consecutive source pixels (Taps), some of them with
// weight 0, so that the loops over them are alike.
class TStretchAxis {
 public:
  TStretchAxis(int source, int dest, int from, int to) {
    std::vector<std::uint16_t> unpadded;
    std::vector<int> counts;
    for (int i = from; i < to; ++i) {
      const std::size_t start = unpadded.size();
      if (dest <= source)
        Cover(source, dest, i, unpadded);
      else
        Interpolate(source, dest, i, unpadded);
      counts.push_back(int(unpadded.size() - start));
      taps_ = std::max(taps_, counts.back());
    }
    // Pixels with fewer weights get zero weights after theirs, or before
    // them where the taps would otherwise run past the last source pixel.
    auto next = unpadded.begin();
    for (std::size_t i = 0; i < firsts_.size(); ++i) {
      const int first = std::min(firsts_[i], source - taps_);
      const int before = firsts_[i] - first;
      weights_.insert(weights_.end(), std::size_t(before), std::uint16_t(0));
      weights_.insert(weights_.end(), next, next + counts[i]);
      weights_.insert(weights_.end(), std::size_t(taps_ - before - counts[i]), std::uint16_t(0));
      next += counts[i];
      firsts_[i] = first;
    }
  }

  int Size() const { return int(firsts_.size()); }
  int Taps() const { return taps_; }
  // The first source pixel of destination pixel from + i, and its weights.
  int First(int i) const { return firsts_[std::size_t(i)]; }
  std::span<const std::uint16_t> Weights(int i) const {
    return std::span(weights_).subspan(std::size_t(i) * std::size_t(taps_), std::size_t(taps_));
  }

 private:
  // Destination pixel i spans [i source, (i + 1) source) and source pixel j
  // spans [j dest, (j + 1) dest), both in units of 1 / dest source pixels.
  // Each weight is the rounded share of everything covered up to its pixel
  // less that up to the one before, so that the weights add up to exactly
  // StretchOne and a plain colour stays exactly itself.
  void Cover(int source, int dest, int i, std::vector<std::uint16_t>& weights) {
    const std::int64_t begin = std::int64_t(i) * source;
    const std::int64_t end = begin + source;
    std::int64_t j = begin / dest;
    firsts_.push_back(int(j));
    std::int64_t covered = 0;
    std::int64_t given = 0;
    for (; j * dest < end; ++j) {
      covered += std::min((j + 1) * dest, end) - std::max(j * dest, begin);
      const std::int64_t share = (covered * StretchOne + source / 2) / source;
      weights.push_back(std::uint16_t(share - given));
      given = share;
    }
  }

  // The centre of destination pixel i lies at (i + 1/2) source / dest in
  // source pixels, whose centres lie at j + 1/2; in units of 1 / (2 dest),
  // position is its distance past the centre of source pixel 0.
  void Interpolate(int source, int dest, int i, std::vector<std::uint16_t>& weights) {
    const std::int64_t unit = 2 * std::int64_t(dest);
    const std::int64_t position = (2 * std::int64_t(i) + 1) * source - dest;
    const std::int64_t j = position < 0 ? 0 : position / unit;
    if (position < 0 || j >= source - 1) {
      firsts_.push_back(position < 0 ? 0 : source - 1);
      weights.push_back(std::uint16_t(StretchOne));
      return;
    }
    const std::int64_t next = (position % unit * StretchOne + dest) / unit;
    firsts_.push_back(int(j));
    weights.push_back(std::uint16_t(StretchOne - next));
    weights.push_back(std::uint16_t(next));
  }

  int taps_ = 1;
  std::vector<int> firsts_;
  std::vector<std::uint16_t> weights_;
};

// The values of a row for the sums below: with a fixed count (Taps > 0),
// local copies, which the compiler keeps in registers; the rows written are
// bytes and might, for all it knows, alias the values otherwise.
template <int Taps, class T>
auto Held(std::span<const T> values) {
  if constexpr (Taps == 0) {
    return values;
  } else {
    std::array<T, std::size_t(Taps)> held;
    std::copy_n(values.begin(), Taps, held.begin());
    return held;
  }
}

// Stretches one row of 24-bit pixels along columns into 3 columns.Size()
// values, 256 times the colour. Taps is columns.Taps() for the common counts,
// fixed so that the compiler unrolls the sums, or 0 for any count.
template <int Taps>
void StretchRow(const TStretchAxis& columns, const std::uint8_t* source, std::uint16_t* out) {
  constexpr int shift = StretchBits - 8;
  const int taps = Taps > 0 ? Taps : columns.Taps();
  for (int x = 0; x < columns.Size(); ++x, out += 3) {
    const std::uint8_t* p = source + 3 * columns.First(x);
    const std::uint16_t* weight = columns.Weights(x).data();
    std::uint32_t blue = 1u << (shift - 1), green = blue, red = blue;
    for (int t = 0; t < taps; ++t, p += 3) {
      blue += p[0] * weight[t];
      green += p[1] * weight[t];
      red += p[2] * weight[t];
    }
    out[0] = std::uint16_t(blue >> shift);
    out[1] = std::uint16_t(green >> shift);
    out[2] = std::uint16_t(red >> shift);
  }
}

// Blends rows made by StretchRow into bytes: out[k] is the weighted sum of
// value k of every row. Taps is weights.size() or 0, as for StretchRow.
template <int Taps>
void BlendRows(std::span<const std::uint16_t* const> rows, std::span<const std::uint16_t> weights,
               std::span<std::uint8_t> out) {
  constexpr int shift = StretchBits + 8;
  const auto row = Held<Taps>(rows);
  const auto weight = Held<Taps>(weights);
  for (std::size_t k = 0; k < out.size(); ++k) {
    std::uint32_t sum = 1u << (shift - 1);
    for (std::size_t t = 0; t < weight.size(); ++t) sum += std::uint32_t(row[t][k]) * weight[t];
    out[k] = std::uint8_t(sum >> shift);
  }
}

// Writes the part area of src (24-bit) stretched to width x height as 24-bit
// rows, stride bytes apart, from topLeft on. Each source row is stretched
// once and kept while the destination rows that blend it are made.
void StretchBand(const TBitmap& src, int width, int height, TRect area, std::uint8_t* topLeft,
                 std::ptrdiff_t stride) {
  const TStretchAxis columns(src.Width(), width, area.Left, area.Right);
  const TStretchAxis rows(src.Height(), height, area.Top, area.Bottom);
  const auto stretchRow = columns.Taps() == 1   ? StretchRow<1>
                          : columns.Taps() == 2 ? StretchRow<2>
                          : columns.Taps() == 3 ? StretchRow<3>
                                                : StretchRow<0>;
  const auto blendRows = rows.Taps() == 1   ? BlendRows<1>
                         : rows.Taps() == 2 ? BlendRows<2>
                         : rows.Taps() == 3 ? BlendRows<3>
                                            : BlendRows<0>;
  const std::size_t rowValues = 3 * std::size_t(columns.Size());
  // Source row r lives in slot r mod Taps: the rows of one destination row
  // are consecutive, and later destination rows never go back.
  std::vector<std::uint16_t> stretchedRows(rowValues * std::size_t(rows.Taps()));
  auto slot = [&](int row) { return stretchedRows.data() + rowValues * std::size_t(row % rows.Taps()); };
  std::vector<const std::uint16_t*> blended(std::size_t(rows.Taps()));
  int nextRow = 0;
  for (int y = 0; y < rows.Size(); ++y) {
    const int first = rows.First(y);
    for (int r = std::max(nextRow, first); r < first + rows.Taps(); ++r)
      stretchRow(columns, src.ScanLine(r), slot(r));
    nextRow = std::max(nextRow, first + rows.Taps());
    for (int t = 0; t < rows.Taps(); ++t) blended[std::size_t(t)] = slot(first + t);
    blendRows(blended, rows.Weights(y), std::span(topLeft + y * stride, rowValues));
  }
}

// Below this many pixels a stretch is not worth a second thread.
constexpr std::int64_t BandedStretchPixels = 1 << 20;

// Writes the part area of src (24-bit) stretched to width x height into out
// (24-bit), with area's top-left at the point at of out's plane. A large area is made as two bands at
// once, the lower one on a thread of its own.
void StretchInto(const TBitmap& src, int width, int height, TRect area, TBitmap& out, TPoint at) {
  // The rows are found here, once: PixelAt may detach the image, which only
  // one thread may do.
  std::uint8_t* const topLeft = out.PixelAt(at.X, at.Y);
  const std::ptrdiff_t stride = out.Stride();
  if (std::int64_t(area.Width()) * area.Height() < BandedStretchPixels) {
    StretchBand(src, width, height, area, topLeft, stride);
    return;
  }
  const int middle = area.Top + area.Height() / 2;
  std::future<void> lower = std::async(std::launch::async, [&] {
    StretchBand(src, width, height, {area.Left, middle, area.Right, area.Bottom},
                topLeft + (middle - area.Top) * stride, stride);
  });
  StretchBand(src, width, height, {area.Left, area.Top, area.Right, middle}, topLeft, stride);
  lower.get();
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
  const int w = std::max(1, Pen.Width);
  const int before = w / 2;
  const TRect clip = EffectiveClip();
  const TRect reach{clip.Left + before - w + 1, clip.Top + before - w + 1, clip.Right + before, clip.Bottom + before};
  std::vector<TPoint> centres;
  // A copying pen paints a row or column segment as the rectangle its pen
  // squares cover: the same pixels, each written once.
  const bool copying = Pen.Mode == TPenMode::Copy;
  const TBrush brush = Brush;
  Brush = TBrush{Pen.Color, false};
  for (std::size_t i = 1; i < points.size(); ++i) {
    const TPoint from = points[i - 1], to = points[i];
    if (copying && from != to && (from.X == to.X || from.Y == to.Y)) {
      // From a towards b, b itself left out.
      const bool alongRow = from.Y == to.Y;
      const int a = alongRow ? from.X : from.Y, b = alongRow ? to.X : to.Y;
      const int first = a < b ? a : b + 1, last = a < b ? b - 1 : a;
      const int fixed = alongRow ? from.Y : from.X;
      FillRect(alongRow ? TRect{first - before, fixed - before, last - before + w, fixed - before + w}
                        : TRect{fixed - before, first - before, fixed - before + w, last - before + w});
    } else if (from.X == to.X || from.Y == to.Y) {
      AxisLinePoints(from, to, reach, centres);
    } else {
      LinePoints(from.X, from.Y, to.X, to.Y, false, centres);
    }
  }
  Brush = brush;
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
      std::uint8_t* p = target_.PixelAt(area.Left, y);
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
      std::uint8_t* p = target_.PixelAt(px, py);
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
  BitBlt(target_, x, y, src.Width(), src.Height(), src, src.Origin().X, src.Origin().Y, CopyMode, &clip);
}

void TCanvas::StretchDraw(TRect dest, const TBitmap& src) {
  if (dest.IsEmpty() || src.IsEmpty()) return;
  // Only the part of dest inside the clip is made.
  const TRect visible = dest.Intersect(EffectiveClip());
  if (visible.IsEmpty()) return;
  const TBitmap colour =
      src.Format() == TPixelFormat::Bgr24 ? src : TBitmap(src.Image().convertToFormat(QImage::Format_BGR888));
  const TRect area = visible.Offset(-dest.Left, -dest.Top);
  if (CopyMode == TRasterOp::SrcCopy && target_.Format() == TPixelFormat::Bgr24) {
    StretchInto(colour, dest.Width(), dest.Height(), area, target_, {visible.Left, visible.Top});
    return;
  }
  TBitmap stretched(visible.Width(), visible.Height());
  StretchInto(colour, dest.Width(), dest.Height(), area, stretched, {0, 0});
  if (target_.Format() == TPixelFormat::Mono) {
    // Light pixels become white, as SetPixel makes them.
    TBitmap mono(visible.Width(), visible.Height(), TPixelFormat::Mono);
    for (int y = 0; y < mono.Height(); ++y)
      for (int x = 0; x < mono.Width(); ++x) mono.SetPixel(x, y, stretched.Pixel(x, y));
    stretched = std::move(mono);
  }
  BitBlt(target_, visible.Left, visible.Top, visible.Width(), visible.Height(), stretched, 0, 0, CopyMode);
}
