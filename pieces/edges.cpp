#include "pieces/edges.h"

#include <algorithm>
#include <array>

#include "platform/random.h"

int StyleDivisor(std::int32_t style) {
  switch (TShapeStyle(style)) {
    case TShapeStyle::Classic:
      return 210;
    case TShapeStyle::Round:
      return 230;
    case TShapeStyle::Mix:
      return 220;
    default:
      return 200;
  }
}

void FitShoulders(std::int32_t length, std::int32_t& shoulder1, std::int32_t& shoulder2) {
  if (length < shoulder1 + shoulder2) {
    // 64-bit products: a huge single cell must not overflow.
    shoulder1 = std::int32_t(std::int64_t(length) * shoulder1 / (shoulder1 + shoulder2));
    shoulder2 = std::int32_t(std::int64_t(length) * shoulder2 / (shoulder1 + shoulder2));
  }
}

void TEdgeTracer::Quadratic(int x0, int y0, int x1, int y1, int x2, int y2) {
  const std::array<int, 6> points{x0, y0, x1, y1, x2, y2};
  bezier_.Curve(points);
}

void TEdgeTracer::Cubic(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3) {
  const std::array<int, 8> points{x0, y0, x1, y1, x2, y2, x3, y3};
  bezier_.Curve(points);
}

void TEdgeTracer::EdgeSquare(int x1, int y1, int x2, int y2, int) { bezier_.Line(x1, y1, x2, y2); }

void TEdgeTracer::EdgeStar(int x1, int y1, int x2, int y2, int orientation) {
  const int mx = (x1 + x2) / 2;
  const int my = (y1 + y2) / 2;
  const TEdgeParams& p = Params;
  if (orientation == VerticalEdge) {
    const int f = (x2 - x1) / 3;
    bezier_.Line(x1, y1, x1 + f, y1 + p.VNeck);
    bezier_.Line(x1 + f, y1 + p.VNeck, mx - p.VDepth, my);
    bezier_.Line(mx - p.VDepth, my, x2 - f, y2 - p.VNeck);
    bezier_.Line(x2 - f, y2 - p.VNeck, x2, y2);
  } else {
    const int g = (y2 - y1) / 3;
    bezier_.Line(x1, y1, x1 + p.HNeck, y1 + g);
    bezier_.Line(x1 + p.HNeck, y1 + g, mx, my + p.HDepth);
    bezier_.Line(mx, my + p.HDepth, x2 - p.HNeck, y2 - g);
    bezier_.Line(x2 - p.HNeck, y2 - g, x2, y2);
  }
}

void TEdgeTracer::EdgeBlip(int x1, int y1, int x2, int y2, int orientation) {
  const TEdgeParams& p = Params;
  if (orientation == VerticalEdge) {
    const int f = (x2 - x1) / 3;
    bezier_.Line(x1, y1, x1 + f, y1 + p.VNeck);
    Cubic(x1 + f, y1 + p.VNeck, x1 + f - p.VDepth, y1 + p.VBulb1, x2 - f - p.VDepth, y2 - p.VBulb2,
          x2 - f, y2 - p.VNeck);
    bezier_.Line(x2 - f, y2 - p.VNeck, x2, y2);
  } else {
    const int g = (y2 - y1) / 3;
    bezier_.Line(x1, y1, x1 + p.HNeck, y1 + g);
    Cubic(x1 + p.HNeck, y1 + g, x1 + p.HBulb1, y1 + g + p.HDepth, x2 - p.HBulb2, y2 - g + p.HDepth,
          x2 - p.HNeck, y2 - g);
    bezier_.Line(x2 - p.HNeck, y2 - g, x2, y2);
  }
}

void TEdgeTracer::EdgeClassic(int x1, int y1, int x2, int y2, int orientation) {
  const TEdgeParams& p = Params;
  // The shoulders bulge away from the tab.
  if (orientation == VerticalEdge) {
    const int f = (x2 - x1) / 3;
    Quadratic(x1, y1, x1 + f + p.VDepth, y1 + p.VShoulder1, x1 + f, y1 + p.VNeck);
    Cubic(x1 + f, y1 + p.VNeck, x1 + f - p.VDepth, y1 + p.VBulb1, x2 - f - p.VDepth, y2 - p.VBulb2,
          x2 - f, y2 - p.VNeck);
    Quadratic(x2 - f, y2 - p.VNeck, x2 - f + p.VDepth, y2 - p.VShoulder2, x2, y2);
  } else {
    const int g = (y2 - y1) / 3;
    Quadratic(x1, y1, x1 + p.HShoulder1, y1 + g - p.HDepth, x1 + p.HNeck, y1 + g);
    Cubic(x1 + p.HNeck, y1 + g, x1 + p.HBulb1, y1 + g + p.HDepth, x2 - p.HBulb2, y2 - g + p.HDepth,
          x2 - p.HNeck, y2 - g);
    Quadratic(x2 - p.HNeck, y2 - g, x2 - p.HShoulder2, y2 - g - p.HDepth, x2, y2);
  }
}

void TEdgeTracer::EdgeClassicAligned(int x1, int y1, int x2, int y2, int orientation) {
  const TEdgeParams& p = Params;
  if (orientation == VerticalEdge) {
    Quadratic(x1, y1, x1 + p.VDepth, y1 + p.VShoulder1, x1, y1 + p.VNeck);
    Cubic(x1, y1 + p.VNeck, x1 - p.VDepth, y1 + p.VBulb1, x2 - p.VDepth, y2 - p.VBulb2, x2,
          y2 - p.VNeck);
    Quadratic(x2, y2 - p.VNeck, x2 + p.VDepth, y2 - p.VShoulder2, x2, y2);
  } else {
    Quadratic(x1, y1, x1 + p.HShoulder1, y1 - p.HDepth, x1 + p.HNeck, y1);
    Cubic(x1 + p.HNeck, y1, x1 + p.HBulb1, y1 + p.HDepth, x2 - p.HBulb2, y2 + p.HDepth,
          x2 - p.HNeck, y2);
    Quadratic(x2 - p.HNeck, y2, x2 - p.HShoulder2, y2 - p.HDepth, x2, y2);
  }
}

void TEdgeTracer::EdgeRound(int x1, int y1, int x2, int y2, int orientation) {
  // One bulge of one and a half times the depth; a vertical one bulges to +x.
  if (orientation == VerticalEdge)
    Quadratic(x1, y1, x1 + (3 * Params.VDepth) / 2, y2 - Params.VShoulder1, x2, y2);
  else
    Quadratic(x1, y1, x1 + Params.HShoulder1, y1 + (3 * Params.HDepth) / 2, x2, y2);
}

void TEdgeTracer::TraceStyle(TShapeStyle style, int x1, int y1, int x2, int y2, int orientation) {
  switch (style) {
    case TShapeStyle::Classic:
      EdgeClassic(x1, y1, x2, y2, orientation);
      break;
    case TShapeStyle::Blip:
      EdgeBlip(x1, y1, x2, y2, orientation);
      break;
    case TShapeStyle::Square:
      EdgeSquare(x1, y1, x2, y2, orientation);
      break;
    case TShapeStyle::Star:
      EdgeStar(x1, y1, x2, y2, orientation);
      break;
    case TShapeStyle::Round:
      EdgeRound(x1, y1, x2, y2, orientation);
      break;
    case TShapeStyle::Mix:
      break;
  }
}

void TEdgeTracer::DrawEdge(int x1, int y1, int x2, int y2, int orientation) {
  if (Style < 1 || Style > 6) return;
  TShapeStyle style = TShapeStyle(Style);
  if (style == TShapeStyle::Mix) {
    // 6 % Round, 4 % Star, 6 % Square, 4 % Blip, 80 % Classic.
    const std::uint32_t r = Random(100);
    if (r < 6)
      style = TShapeStyle::Round;
    else if (r < 10)
      style = TShapeStyle::Star;
    else if (r < 16)
      style = TShapeStyle::Square;
    else if (r < 20)
      style = TShapeStyle::Blip;
    else
      style = TShapeStyle::Classic;
  }
  TraceStyle(style, x1, y1, x2, y2, orientation);
}

std::int32_t TEdgeTracer::CornerJitter(std::int32_t m) const {
  const std::int32_t r = std::int32_t(Random(std::uint32_t(m)));
  switch (TShapeStyle(Style)) {
    case TShapeStyle::Classic:
    case TShapeStyle::Blip:
    case TShapeStyle::Mix:
      return std::min(r, (7 * m) / 8);
    case TShapeStyle::Round:
      return std::min(r, (3 * m) / 4);
    default:
      return r;
  }
}

void TEdgeTracer::DrawEdgeParams(std::int32_t wc, std::int32_t hc, TCutLayout layout) {
  const bool main = layout == TCutLayout::Main;
  TEdgeParams& p = Params;
  if (main) {
    p.VNeck = hc / 3;
    p.HDepth = hc >> 2;
  }
  p.HNeck = wc / 3;
  p.VDepth = wc >> 2;
  const std::int32_t s = main ? StyleDivisor(Style) : 200;

  // Each shoulder and its bulb always add up to three quarters of the size.
  auto drawShoulders = [&](std::int32_t size, std::int32_t& shoulder1, std::int32_t& bulb1,
                           std::int32_t& shoulder2, std::int32_t& bulb2) {
    const std::int32_t d = (Q * (size >> 1)) / s;
    const std::int32_t r1 = std::int32_t(Random(std::uint32_t(2 * d))) - d;
    shoulder1 = (size >> 1) + r1;
    bulb1 = (size >> 2) - r1;
    const std::int32_t r2 = std::int32_t(Random(std::uint32_t(2 * d))) - d;
    shoulder2 = (size >> 1) + r2;
    bulb2 = (size >> 2) - r2;
    FitShoulders(size, shoulder1, shoulder2);
  };
  drawShoulders(wc, p.HShoulder1, p.HBulb1, p.HShoulder2, p.HBulb2);
  drawShoulders(hc, p.VShoulder1, p.VBulb1, p.VShoulder2, p.VBulb2);

  if (Q > 0) {
    if (Random(2) == 0) p.VDepth = -p.VDepth;
    if (Random(main ? 2 : 4) != 0) p.HDepth = -p.HDepth;
  }
  // Two inward bubbles on one piece would leave too little of it.
  if (main && TShapeStyle(Style) == TShapeStyle::Round && p.HDepth < 0 && p.VDepth < 0) {
    p.HDepth = (2 * p.HDepth) / 3;
    p.VDepth = (2 * p.VDepth) / 3;
  }
}
