#pragma once
// The edge shapes of the six piece styles and the random set of tab sizes
// each cell draws. An edge always runs from its upper corner down (vertical)
// or from its left corner to the right (horizontal); the corners of a
// jittered grid need not line up, so most tracers follow the slant.

#include <cstdint>

#include "pieces/bezier.h"

// The puzzle record stores the style as a plain number; these are its values.
enum class TShapeStyle : std::int32_t { Classic = 1, Blip = 2, Square = 3, Star = 4, Round = 5, Mix = 6 };

// How a cell's tabs are shaped. Offsets along an edge are pixels from the
// named end; depths are signed displacements across it.
struct TEdgeParams {
  std::int32_t HNeck = 0;  // from each end of a horizontal edge to its tab
  std::int32_t HDepth = 0;  // tab depth along +y
  std::int32_t HShoulder1 = 0;
  std::int32_t HShoulder2 = 0;
  std::int32_t HBulb1 = 0;
  std::int32_t HBulb2 = 0;
  std::int32_t VNeck = 0;  // from each end of a vertical edge to its tab
  std::int32_t VDepth = 0;  // the tab tip lies at -VDepth along x
  std::int32_t VShoulder1 = 0;
  std::int32_t VShoulder2 = 0;
  std::int32_t VBulb1 = 0;
  std::int32_t VBulb2 = 0;
  friend bool operator==(const TEdgeParams&, const TEdgeParams&) = default;
};

// Orientation argument of the tracers.
constexpr int VerticalEdge = 1;
constexpr int HorizontalEdge = 2;

// Saved games of format versions 1 to 4 were cut with an older board layout
// that differs in its random draws and traces every edge the same way.
enum class TCutLayout { Main, Alternative };

// How strongly oddness moves the tabs and corners of a style: larger means
// calmer. Unknown styles count as 200.
int StyleDivisor(std::int32_t style);

// Traces edges with one TBezier, using the current style, oddness and tab
// sizes. Every random draw goes through Random, in a fixed order.
class TEdgeTracer {
 public:
  explicit TEdgeTracer(TBezier& bezier) : bezier_(bezier) {}

  TEdgeParams Params;
  std::int32_t Style = 0;  // a TShapeStyle value; 0 and unknown styles draw nothing
  std::int32_t Q = 0;  // oddness in percent, 0 to 100

  void EdgeSquare(int x1, int y1, int x2, int y2, int orientation);
  void EdgeStar(int x1, int y1, int x2, int y2, int orientation);
  void EdgeBlip(int x1, int y1, int x2, int y2, int orientation);
  void EdgeClassic(int x1, int y1, int x2, int y2, int orientation);
  // The Classic outline as if both corners lay on one axis-parallel line.
  void EdgeClassicAligned(int x1, int y1, int x2, int y2, int orientation);
  void EdgeRound(int x1, int y1, int x2, int y2, int orientation);
  // The tracer of Style; a Mix puzzle draws each edge's style by lottery.
  void DrawEdge(int x1, int y1, int x2, int y2, int orientation);

  // A random jitter range limited by the style so that tabs of neighbouring
  // corners cannot cross: min(Random(m), cap).
  std::int32_t CornerJitter(std::int32_t m) const;

  // Fresh tab sizes for a cell of wc x hc pixels. The alternative layout keeps
  // VNeck and HDepth as its row set them and flips HDepth cumulatively.
  void DrawEdgeParams(std::int32_t wc, std::int32_t hc, TCutLayout layout = TCutLayout::Main);

 private:
  void TraceStyle(TShapeStyle style, int x1, int y1, int x2, int y2, int orientation);
  void Quadratic(int x0, int y0, int x1, int y1, int x2, int y2);
  void Cubic(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3);

  TBezier& bezier_;
};

// Makes two shoulder offsets fit into an edge of the given length. The second
// share is taken from the already reduced sum, so it comes out larger than a
// proportional one; saved cuts depend on that.
void FitShoulders(std::int32_t length, std::int32_t& shoulder1, std::int32_t& shoulder2);
