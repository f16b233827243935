#include "pieces/samplepiece.h"

#include "pieces/bezier.h"
#include "pieces/edges.h"
#include "platform/canvas.h"

namespace {

constexpr TColor PureRed = 0x0000FF;

// Shoulders that grow with the oddness instead of a random draw, so that the
// preview shows what the oddness does.
void SampleShoulders(int size, int q, std::int32_t fitLength, std::int32_t& shoulder1,
                     std::int32_t& bulb1, std::int32_t& shoulder2, std::int32_t& bulb2) {
  const int t = (size >> 1) * q;
  shoulder1 = (size >> 1) + t / 150;
  bulb1 = (size >> 2) - t / 200;
  shoulder2 = (size >> 1) + t / 250;
  bulb2 = (size >> 2) - t / 300;
  FitShoulders(fitLength, shoulder1, shoulder2);
}

}  // namespace

bool DrawSamplePiece(TCanvas* canvas, int scalePercent, int oddness, std::int32_t style,
                     const TPictureGrid& grid) {
  if (grid.Columns <= 0 || grid.Rows <= 0) return false;
  const int b = ((scalePercent * grid.PictureWidth) / 100) / grid.Columns;
  const int d = ((scalePercent * grid.PictureHeight) / 100) / grid.Rows;
  if (b < MinPieceSize || b > MaxPieceSize || d < MinPieceSize || d > MaxPieceSize) return false;
  if (!canvas) return true;

  TBezier bezier;
  bezier.Init(*canvas, b, 1, d);
  TEdgeTracer tracer(bezier);
  TEdgeParams& p = tracer.Params;
  const int q = oddness * 10;
  p.HNeck = b / 3;
  p.VDepth = b >> 2;
  p.VNeck = d / 3;
  p.HDepth = d >> 2;
  const int x0 = p.VDepth;
  const int y0 = p.HDepth;
  const int x1 = b + x0;
  const int y1 = d + y0;
  // The lower-right corner moves out with the oddness before the tabs grow.
  int x1Corner = x1;
  int y1Corner = y1;
  if (q > 10) {
    x1Corner += (b * q) / 400;
    y1Corner += (d * q) / 400;
    p.VDepth += (b * q) / 800;
    p.HDepth += (d * q) / 800;
  }
  SampleShoulders(b, q, x1 - x0 + 1, p.HShoulder1, p.HBulb1, p.HShoulder2, p.HBulb2);
  SampleShoulders(d, q, y1 - y0 + 1, p.VShoulder1, p.VBulb1, p.VShoulder2, p.VBulb2);

  canvas->Pen.Color = PureRed;
  using TTrace = void (TEdgeTracer::*)(int, int, int, int, int);
  TTrace top = &TEdgeTracer::EdgeClassicAligned;
  TTrace left = top;
  TTrace bottom = top;
  TTrace right = top;
  switch (TShapeStyle(style)) {
    case TShapeStyle::Classic:
      top = left = bottom = right = &TEdgeTracer::EdgeClassic;
      break;
    case TShapeStyle::Blip:
      top = left = bottom = right = &TEdgeTracer::EdgeBlip;
      break;
    case TShapeStyle::Square:
      top = left = bottom = right = &TEdgeTracer::EdgeSquare;
      break;
    case TShapeStyle::Star:
      top = left = bottom = right = &TEdgeTracer::EdgeStar;
      break;
    case TShapeStyle::Round:
      top = left = bottom = right = &TEdgeTracer::EdgeRound;
      break;
    case TShapeStyle::Mix:
      top = &TEdgeTracer::EdgeBlip;
      left = &TEdgeTracer::EdgeClassic;
      bottom = &TEdgeTracer::EdgeStar;
      right = &TEdgeTracer::EdgeRound;
      break;
  }
  (tracer.*top)(x0, y0, x1, y0, HorizontalEdge);
  (tracer.*bottom)(x0, y1, x1Corner, y1Corner, HorizontalEdge);
  (tracer.*left)(x0, y0, x0, y1, VerticalEdge);
  (tracer.*right)(x1, y0, x1Corner, y1Corner, VerticalEdge);
  // The canvas leaves the last pixel of a line out; this closes the corner.
  bezier.Line(x1Corner, y1Corner, x1Corner - 1, y1Corner + 1);

  const TColor brush = canvas->Brush.Color;
  canvas->Brush.Color = PureRed;
  canvas->FloodFill(b / 2, d / 2, PureRed);
  canvas->Brush.Color = brush;
  return true;
}
