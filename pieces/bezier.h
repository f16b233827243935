#pragma once
// The curve tracer behind every piece outline. It flattens Bezier curves of
// degree 1 to 4 into straight segments and draws them either into a label
// map (one byte per picture pixel, each cell writing its own label along the
// edges it owns) or onto a canvas with the canvas pen.
//
// The cut must give byte-identical maps for the same seed on every run and
// every build: the coefficient table, the rounding and the line writer below
// decide single pixels, so their arithmetic is fixed exactly.

#include <array>
#include <cstdint>
#include <span>

class TCanvas;

class TBezier {
 public:
  static constexpr int MaxSteps = 40;
  static constexpr int MaxDegree = 4;

  // Map mode: the map (at least mapWidth x mapHeight bytes, row-major) is
  // cleared to 0. Curves get (mapWidth div divisions) div 2 segments, at most
  // MaxSteps and at least 1.
  void Init(std::span<std::uint8_t> map, int mapWidth, int divisions, int mapHeight);
  // Canvas mode: curves and lines go to the canvas pen, which leaves out the
  // last pixel of every line as the canvas always does.
  void Init(TCanvas& canvas, int mapWidth, int divisions, int mapHeight);

  // The byte that map mode writes from now on.
  void SetValue(std::uint8_t value) { value_ = value; }
  int Steps() const { return steps_; }

  void Line(int x1, int y1, int x2, int y2);
  // A Bezier curve through the control points x0, y0, x1, y1, ...: 2 to 5
  // points, degree 1 to 4. It starts exactly at the first point and ends
  // exactly at the last.
  void Curve(std::span<const int> points);

  // Map mode only: the 8-connected line writer. DrawTo plots both ends and
  // every pixel between; pixels outside the map are left out.
  void StartAt(int x, int y);
  void DrawTo(int x, int y);

 private:
  void FillCoefficients();
  void Plot(int x, int y);

  std::span<std::uint8_t> map_;  // empty in canvas mode
  TCanvas* canvas_ = nullptr;
  int mapWidth_ = 0;
  int mapHeight_ = 0;
  int curX_ = 0;
  int curY_ = 0;
  int steps_ = 1;
  std::uint8_t value_ = 0;
  // Bernstein weights [j][n][k]: control point j, degree n, step k.
  std::array<std::array<std::array<double, MaxSteps + 1>, MaxDegree + 1>, MaxDegree + 1> coeff_{};
};
