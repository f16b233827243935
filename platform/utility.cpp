#include "platform/utility.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

#include "platform/colors.h"
#include "platform/system.h"

namespace {

TStatusLine* statusLine = nullptr;
// The percentage last seen by ShowProgress. Starting at 1 makes a first 0%
// always show.
std::int64_t progressShown = 1;
// The rounding errors carried by Dither: red, green, blue.
std::array<int, 3> ditherError{};

void DrawPolyline(TCanvas& canvas, std::initializer_list<TPoint> points) {
  canvas.Polyline(std::span<const TPoint>(points.begin(), points.size()));
}

}  // namespace

void SetStatusLine(TStatusLine* line) { statusLine = line; }

TStatusSilence::TStatusSilence() : silenced_(std::exchange(statusLine, nullptr)) {}

TStatusSilence::~TStatusSilence() { statusLine = silenced_; }

void ShowStatus(const QString& text) {
  if (statusLine) statusLine->SetStatusText(text);
}

void ShowProgress(std::int32_t done, std::int32_t total, const QString& label) {
  if (total == 0) return;
  const std::int64_t percent = std::int64_t(done) * 100 / total;
  if (percent == progressShown) return;
  if (percent % 5 == 0) ShowStatus(label + QString::number(percent) + QStringLiteral("%"));
  progressShown = percent;
}

void ClearStatus() { ShowStatus(QString()); }

QString TextBefore(const QString& separator, const QString& text) {
  const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
  return at < 0 ? text : text.left(at);
}

TColor Dither(TColor color, bool reset) {
  if (reset) {
    ditherError = {};
    return 0;
  }
  const std::array<int, 3> channels{RedOf(color), GreenOf(color), BlueOf(color)};
  std::array<int, 3> rounded{};
  for (std::size_t c = 0; c < 3; ++c) {
    const int v = channels[c] + ditherError[c];
    // The nearest multiple of 8, halves rounding up; v >= -4 here, so the
    // arithmetic shifts round the small negatives to 0.
    const int q = std::min(((v >> 3) + ((v >> 2) & 1)) * 8, 255);
    ditherError[c] = v - q;
    rounded[c] = q;
  }
  return RGBColor(rounded[0], rounded[1], rounded[2]);
}

void DrawTrayFrame(TCanvas& canvas, int left, int top, int width, int height, int bevel, int border,
                   int captionHeight, TColor color, bool gradient) {
  const int L = left, T = top, W = width, H = height, B = bevel, D = border, C = captionHeight;
  const bool dither = ScreenDepth() < 24;

  // The tray's colour inside a thick button-face border.
  canvas.Brush = TBrush{color, false};
  canvas.Pen = TPen{clBtnFace, D + 2 * B, TPenMode::Copy, true};
  canvas.Rectangle(L, T, L + W, T + H);

  // The inner area darkens from the full colour towards half of it. The lines
  // keep the border's thick pen, which fills the area between the inner edges.
  if (gradient) {
    if (dither) Dither(0, true);
    const TColor rgb = ColorToRGB(color);
    const int n = H > 0 ? H - C - 4 * D - 4 * B : 0;
    for (int k = 0; k < n; ++k) {
      const int f = H - k / 2;
      TColor line = RGBColor(f * RedOf(rgb) / H, f * GreenOf(rgb) / H, f * BlueOf(rgb) / H);
      if (dither) line = Dither(line, false);
      canvas.Pen.Color = line;
      const int y = T + C + D + 4 * B + k;
      canvas.MoveTo(L + D + 3 * B, y);
      canvas.LineTo(L + W - D - 3 * B, y);
    }
  }

  canvas.Brush = TBrush{clBtnFace, false};
  canvas.FillRect({L + B, T + B, L + W - B, T + B + D + C});

  const int h = B / 2;
  const int w = D + B + h;
  canvas.Pen = TPen{clBtnHighlight, B};
  DrawPolyline(canvas, {{L + h, T + H - h}, {L + h, T + h}, {L + W - h, T + h}});
  DrawPolyline(canvas, {{L + w, T + H - w}, {L + W - w, T + H - w}, {L + W - w, T + w + C}});
  canvas.Pen.Color = clBtnShadow;
  DrawPolyline(canvas, {{L + B + h, T + H - h}, {L + W - h, T + H - h}, {L + W - h, T + B + h}});
  DrawPolyline(canvas, {{L + w, T + H - w - B}, {L + w, T + w + C}, {L + W - w, T + w + C}});
}

void DrawButtonFrame(TCanvas& canvas, int x, int y, int w, int h, bool pressed) {
  w -= 1;
  h -= 1;
  canvas.Brush = TBrush{clBtnFace, false};
  canvas.FillRect({x, y, x + w, y + h});
  canvas.Pen = TPen{pressed ? clBtnHighlight : clBlack, 1};
  DrawPolyline(canvas, {{x, y + h}, {x + w, y + h}, {x + w, y}});
  canvas.Pen.Color = pressed ? clBlack : clBtnHighlight;
  DrawPolyline(canvas, {{x, y + h - 1}, {x, y + 1}, {x + w, y + 1}});
  canvas.Pen.Color = pressed ? clBtnHighlight : clBtnShadow;
  DrawPolyline(canvas, {{x + 1, y + h - 1}, {x + w - 1, y + h - 1}, {x + w - 1, y + 1}});
}

void DrawMinimizeButton(TCanvas& canvas, int x, int y, int w, int h, bool pressed) {
  DrawButtonFrame(canvas, x, y, w, h, pressed);
  // Every desktop here has the flat minimise bar, never the old small
  // triangle.
  canvas.Brush = TBrush{clBtnText, false};
  canvas.Pen = TPen{clBtnText, 2};
  const int barY = y + h - h / 3;
  canvas.MoveTo(x + w / 3, barY);
  canvas.LineTo(x + w - w / 3, barY);
}

TSize FitSize(int mode, int sw, int sh, int bw, int bh) {
  if (mode == 2 || sw <= 0 || sh <= 0) return {bw, bh};
  const std::int64_t h = std::int64_t(sh) * bw / sw;
  if (h <= bh) return {std::uint16_t(bw), std::uint16_t(h)};
  return {std::uint16_t(std::int64_t(sw) * bh / sh), std::uint16_t(bh)};
}

TRect FitCentered(int sw, int sh, int bw, int bh, int percent) {
  TSize size = FitSize(0, sw, sh, bw, bh);
  int left = (bw - size.Width) / 2;
  int top = (bh - size.Height) / 2;
  if (left < bw * percent / 100) {
    left = 0;
    size.Width = bw;
  }
  if (top < bh * percent / 100) {
    top = 0;
    size.Height = bh;
  }
  return Bounds(left, top, size.Width, size.Height);
}
