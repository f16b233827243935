#include "platform/bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <sys/mman.h>

#include "platform/errors.h"

namespace {

QImage::Format QtFormat(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::Bgr24:
      return QImage::Format_BGR888;
    case TPixelFormat::Mono:
      return QImage::Format_Mono;
    case TPixelFormat::Indexed8:
      return QImage::Format_Indexed8;
  }
  return QImage::Format_BGR888;
}

QRgb ToQRgb(TColor c) { return qRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

TColor FromQRgb(QRgb c) { return RGBColor(qRed(c), qGreen(c), qBlue(c)); }

// Large images get their pixels on a 2 MB boundary, advised into huge pages
// before they are first written: faulting in the hundred megabytes of piece
// sheets of a large puzzle small page by small page can take longer than all
// the rest of building them.
constexpr std::size_t HugePage = std::size_t(2) << 20;
constexpr std::size_t LargeImageBytes = 8 * HugePage;

QImage ZeroImage(int width, int height, TPixelFormat format) {
  const int depth = format == TPixelFormat::Bgr24 ? 24 : format == TPixelFormat::Mono ? 1 : 8;
  const std::size_t stride = (std::size_t(width) * std::size_t(depth) + 31) / 32 * 4;
  const std::size_t bytes = stride * std::size_t(height);
  if (bytes < LargeImageBytes) {
    QImage image(width, height, QtFormat(format));
    if (image.isNull()) throw std::bad_alloc();
    image.fill(0);
    return image;
  }
  void* pixels = nullptr;
  if (posix_memalign(&pixels, HugePage, bytes) != 0) throw std::bad_alloc();
  madvise(pixels, bytes, MADV_HUGEPAGE);
  std::memset(pixels, 0, bytes);
  return QImage(static_cast<uchar*>(pixels), width, height, qsizetype(stride), QtFormat(format),
                [](void* info) { std::free(info); }, pixels);
}

QImage NewImage(int width, int height, TPixelFormat format) {
  if (width <= 0 || height <= 0) return {};
  QImage image = ZeroImage(width, height, format);
  if (format == TPixelFormat::Mono) {
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  } else if (format == TPixelFormat::Indexed8) {
    image.setColorTable(QList<QRgb>(256, qRgb(0, 0, 0)));
  }
  return image;
}

bool MonoBit(const std::uint8_t* row, int x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }

void SetMonoBit(std::uint8_t* row, int x, bool white) {
  const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
  if (white)
    row[x >> 3] |= bit;
  else
    row[x >> 3] &= std::uint8_t(~bit);
}

std::uint8_t Combine(std::uint8_t dst, std::uint8_t src, TRasterOp op) {
  switch (op) {
    case TRasterOp::SrcCopy:
      return src;
    case TRasterOp::SrcAnd:
      return dst & src;
    case TRasterOp::SrcPaint:
      return dst | src;
    case TRasterOp::DstInvert:
      return std::uint8_t(~dst);
  }
  return src;
}

// Source pixel as three bytes (blue, green, red).
struct TBgr {
  std::uint8_t B, G, R;
};

TBgr SourceBgr(const TBitmap& src, const std::uint8_t* row, int x) {
  switch (src.Format()) {
    case TPixelFormat::Bgr24:
      return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    case TPixelFormat::Mono: {
      const std::uint8_t v = MonoBit(row, x) ? 0xFF : 0x00;
      return {v, v, v};
    }
    case TPixelFormat::Indexed8: {
      const TColor c = src.PaletteEntry(row[x]);
      return {std::uint8_t(BlueOf(c)), std::uint8_t(GreenOf(c)), std::uint8_t(RedOf(c))};
    }
  }
  return {0, 0, 0};
}

// Fast path for the masks and images of pieces: a mono source expands to
// 0x00 or 0xFF per channel. SRCAND clears pixels under 0 bits and SRCPAINT
// whitens pixels under 1 bits, so both skip whole bytes that leave the target
// as it is.
// Mono onto mono a byte at a time: masks are blitted whole for every lift
// and shadow, and a bit at a time they were the slowest part of it.
void BlitMonoOntoMono(std::uint8_t* d, int dx, const std::uint8_t* s, int sx, int w, TRasterOp op) {
  const int lastSourceByte = (sx + w - 1) >> 3;
  for (int i = 0; i < w;) {
    const int offset = (dx + i) & 7;
    const int n = std::min(8 - offset, w - i);
    const auto mask = std::uint8_t((0xFF >> offset) & (0xFF << (8 - offset - n)));
    std::uint8_t aligned = 0;
    if (s) {
      // Sixteen source bits from the byte holding the first one; only bytes
      // that hold wanted bits are read.
      const int bit = sx + i;
      const int byte = bit >> 3;
      unsigned v = unsigned(s[byte]) << 8;
      if (byte + 1 <= lastSourceByte) v |= s[byte + 1];
      aligned = std::uint8_t(((v << (bit & 7)) & 0xFFFFu) >> (8 + offset));
    }
    std::uint8_t& target = d[(dx + i) >> 3];
    target = std::uint8_t((target & ~mask) | (Combine(target, aligned, op) & mask));
    i += n;
  }
}

void BlitMonoOntoBgr(std::uint8_t* d, const std::uint8_t* s, int sx, int w, TRasterOp op) {
  if (op == TRasterOp::SrcAnd || op == TRasterOp::SrcPaint) {
    const bool paint = op == TRasterOp::SrcPaint;
    const std::uint8_t value = paint ? 0xFF : 0x00;
    int i = 0;
    while (i < w) {
      const int bitPos = (sx + i) & 7;
      std::uint8_t bits = s[(sx + i) >> 3];
      if (!paint) bits = std::uint8_t(~bits);  // bits that change the target
      const int run = std::min(8 - bitPos, w - i);
      bits = std::uint8_t(bits << bitPos);
      if (bits == 0) {
        i += run;
        d += 3 * run;
        continue;
      }
      for (int k = 0; k < run; ++k, ++i, d += 3, bits = std::uint8_t(bits << 1))
        if (bits & 0x80) d[0] = d[1] = d[2] = value;
    }
    return;
  }
  for (int i = 0; i < w; ++i, d += 3) {
    const std::uint8_t v = MonoBit(s, sx + i) ? 0xFF : 0x00;
    d[0] = Combine(d[0], v, op);
    d[1] = Combine(d[1], v, op);
    d[2] = Combine(d[2], v, op);
  }
}

void BlitBgrOntoBgr(std::uint8_t* d, const std::uint8_t* s, int w, TRasterOp op) {
  const std::size_t n = std::size_t(w) * 3;
  switch (op) {
    case TRasterOp::SrcCopy:
      std::memmove(d, s, n);
      break;
    case TRasterOp::SrcAnd:
      for (std::size_t i = 0; i < n; ++i) d[i] &= s[i];
      break;
    case TRasterOp::SrcPaint:
      for (std::size_t i = 0; i < n; ++i) d[i] |= s[i];
      break;
    case TRasterOp::DstInvert:
      for (std::size_t i = 0; i < n; ++i) d[i] = std::uint8_t(~d[i]);
      break;
  }
}

}  // namespace

TBitmap::TBitmap(int width, int height, TPixelFormat format)
    : image_(NewImage(width, height, format)), format_(format) {}

TBitmap::TBitmap(QImage image) {
  switch (image.format()) {
    case QImage::Format_Mono:
      format_ = TPixelFormat::Mono;
      break;
    case QImage::Format_Indexed8:
      format_ = TPixelFormat::Indexed8;
      break;
    case QImage::Format_BGR888:
      format_ = TPixelFormat::Bgr24;
      break;
    default:
      format_ = TPixelFormat::Bgr24;
      image = image.convertToFormat(QImage::Format_BGR888);
  }
  image_ = std::move(image);
  if (format_ == TPixelFormat::Mono) {
    // Bits mean 1 = white here, whatever table the image came with.
    const bool inverted = image_.colorCount() == 2 && IsLightColor(FromQRgb(image_.color(0))) &&
                          !IsLightColor(FromQRgb(image_.color(1)));
    if (inverted) image_.invertPixels();
    image_.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  }
  if (format_ == TPixelFormat::Indexed8 && image_.colorCount() < 256) {
    QList<QRgb> table = image_.colorTable();
    table.resize(256, qRgb(0, 0, 0));
    image_.setColorTable(table);
  }
}

void TBitmap::SetSize(int width, int height) {
  if (width == Width() && height == Height()) return;
  TBitmap resized(width, height, format_);
  if (format_ != TPixelFormat::Bgr24 && !resized.IsEmpty() && !IsEmpty())
    resized.image_.setColorTable(image_.colorTable());
  if (!IsEmpty() && !resized.IsEmpty()) {
    const int w = std::min(width, Width());
    const int h = std::min(height, Height());
    const int bytes = format_ == TPixelFormat::Mono ? w / 8 : (format_ == TPixelFormat::Bgr24 ? 3 * w : w);
    for (int y = 0; y < h; ++y) {
      std::memcpy(resized.ScanLine(y), ScanLine(y), std::size_t(bytes));
      if (format_ == TPixelFormat::Mono)
        for (int x = bytes * 8; x < w; ++x) SetMonoBit(resized.ScanLine(y), x, MonoBit(ScanLine(y), x));
    }
  }
  resized.origin_ = origin_;
  *this = std::move(resized);
}

TColor TBitmap::Pixel(int x, int y) const {
  x -= origin_.X;
  y -= origin_.Y;
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  const std::uint8_t* row = ScanLine(y);
  const TBgr p = SourceBgr(*this, row, x);
  return RGBColor(p.R, p.G, p.B);
}

bool IsLightColor(TColor color) { return RedOf(color) + GreenOf(color) + BlueOf(color) >= 383; }

void TBitmap::SetPixel(int x, int y, TColor color) {
  x -= origin_.X;
  y -= origin_.Y;
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  std::uint8_t* row = ScanLine(y);
  switch (format_) {
    case TPixelFormat::Bgr24:
      row[3 * x] = std::uint8_t(BlueOf(color));
      row[3 * x + 1] = std::uint8_t(GreenOf(color));
      row[3 * x + 2] = std::uint8_t(RedOf(color));
      break;
    case TPixelFormat::Mono:
      SetMonoBit(row, x, IsLightColor(color));
      break;
    case TPixelFormat::Indexed8:
      row[x] = std::uint8_t(color & 0xFF);
      break;
  }
}

void TBitmap::Fill(TColor color) {
  if (IsEmpty()) return;
  switch (format_) {
    case TPixelFormat::Bgr24:
      image_.fill(QColor(RedOf(color), GreenOf(color), BlueOf(color)));
      break;
    case TPixelFormat::Mono:
      image_.fill(IsLightColor(color) ? 1 : 0);
      break;
    case TPixelFormat::Indexed8:
      image_.fill(uint(color & 0xFF));
      break;
  }
}

TColor TBitmap::PaletteEntry(int index) const {
  if (index < 0 || index >= image_.colorCount()) return 0;
  return FromQRgb(image_.color(index));
}

void TBitmap::SetPaletteEntry(int index, TColor color) {
  if (format_ == TPixelFormat::Bgr24 || index < 0 || index >= image_.colorCount()) return;
  image_.setColor(index, ToQRgb(color));
}

void BitBlt(TBitmap& dst, int x, int y, int w, int h, const TBitmap& src, int sx, int sy, TRasterOp op,
            const TRect* clip) {
  if (dst.IsEmpty()) return;
  const bool usesSource = op != TRasterOp::DstInvert;
  if (usesSource && src.IsEmpty()) return;

  // Clip the destination rectangle on dst's plane, then move the source
  // point along; both then become pixels of their own bitmaps.
  TRect planeArea = Bounds(x, y, w, h).Intersect(dst.BoundsRect());
  if (clip) planeArea = planeArea.Intersect(*clip);
  if (usesSource) planeArea = planeArea.Intersect(src.BoundsRect().Offset(x - sx, y - sy));
  if (planeArea.IsEmpty()) return;
  const TRect area = planeArea.Offset(-dst.Origin().X, -dst.Origin().Y);
  const int cw = area.Width();
  const int srcX = sx + (planeArea.Left - x) - src.Origin().X;
  const int srcY = sy + (planeArea.Top - y) - src.Origin().Y;

  if (dst.Format() == TPixelFormat::Indexed8 && usesSource && src.Format() != TPixelFormat::Indexed8)
    throw EError(QStringLiteral("A palettised bitmap takes blocks only from a palettised bitmap"));

  // A copy within one bitmap that moves pixels down must go bottom-up.
  const bool bottomUp = &src == &dst && srcY < area.Top;
  for (int step = 0; step < area.Height(); ++step) {
    const int row = bottomUp ? area.Height() - 1 - step : step;
    std::uint8_t* d = dst.ScanLine(area.Top + row);
    const std::uint8_t* s = usesSource ? src.ScanLine(srcY + row) : nullptr;
    switch (dst.Format()) {
      case TPixelFormat::Bgr24: {
        std::uint8_t* dp = d + 3 * area.Left;
        if (!usesSource) {
          BlitBgrOntoBgr(dp, nullptr, cw, op);
        } else if (src.Format() == TPixelFormat::Bgr24) {
          BlitBgrOntoBgr(dp, s + 3 * srcX, cw, op);
        } else if (src.Format() == TPixelFormat::Mono) {
          BlitMonoOntoBgr(dp, s, srcX, cw, op);
        } else {
          for (int i = 0; i < cw; ++i) {
            const TBgr p = SourceBgr(src, s, srcX + i);
            dp[3 * i] = Combine(dp[3 * i], p.B, op);
            dp[3 * i + 1] = Combine(dp[3 * i + 1], p.G, op);
            dp[3 * i + 2] = Combine(dp[3 * i + 2], p.R, op);
          }
        }
        break;
      }
      case TPixelFormat::Mono:
        if (!usesSource || src.Format() == TPixelFormat::Mono) {
          BlitMonoOntoMono(d, area.Left, s, srcX, cw, op);
          break;
        }
        for (int i = 0; i < cw; ++i) {
          const bool dv = MonoBit(d, area.Left + i);
          const TBgr p = SourceBgr(src, s, srcX + i);
          const bool sv = p.B == 0xFF && p.G == 0xFF && p.R == 0xFF;
          SetMonoBit(d, area.Left + i, Combine(dv ? 1 : 0, sv ? 1 : 0, op) & 1);
        }
        break;
      case TPixelFormat::Indexed8:
        for (int i = 0; i < cw; ++i) {
          std::uint8_t& dv = d[area.Left + i];
          dv = Combine(dv, usesSource ? s[srcX + i] : 0, op);
        }
        break;
    }
  }
}

void MoveOnPlane(TBitmap& bitmap, TPoint origin) {
  const TRect kept = bitmap.BoundsRect().Intersect(Bounds(origin.X, origin.Y, bitmap.Width(), bitmap.Height()));
  if (!kept.IsEmpty() && bitmap.Format() == TPixelFormat::Bgr24) {
    const TPoint was = bitmap.Origin();
    const std::size_t bytes = 3 * std::size_t(kept.Width());
    // Rows move up or down one at a time, in the order that never writes a
    // row still to be read.
    const bool down = origin.Y < was.Y;
    for (int i = 0; i < kept.Height(); ++i) {
      const int y = down ? kept.Bottom - 1 - i : kept.Top + i;
      std::memmove(bitmap.ScanLine(y - origin.Y) + 3 * (kept.Left - origin.X),
                   bitmap.ScanLine(y - was.Y) + 3 * (kept.Left - was.X), bytes);
    }
  }
  bitmap.SetOrigin(origin);
}

void InvertRect(TBitmap& dst, TRect rect) {
  BitBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), dst, 0, 0, TRasterOp::DstInvert);
}
