#include "pieces/bezier.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>

#include "platform/canvas.h"

namespace {

int Binomial(int n, int j) {
  auto factorial = [](int m) {
    int f = 1;
    for (int i = 2; i <= m; ++i) f *= i;
    return f;
  };
  return factorial(n) / (factorial(j) * factorial(n - j));
}

double Power(double base, int exponent) {
  double p = 1.0;
  for (int i = 0; i < exponent; ++i) p *= base;
  return p;
}

int StepsFor(int mapWidth, int divisions) {
  return std::clamp((mapWidth / divisions) / 2, 1, TBezier::MaxSteps);
}

}  // namespace

void TBezier::Init(std::span<std::uint8_t> map, int mapWidth, int divisions, int mapHeight) {
  assert(map.size() >= std::size_t(mapWidth) * std::size_t(mapHeight));
  map_ = map.first(std::size_t(mapWidth) * std::size_t(mapHeight));
  canvas_ = nullptr;
  mapWidth_ = mapWidth;
  mapHeight_ = mapHeight;
  std::fill(map_.begin(), map_.end(), std::uint8_t(0));
  steps_ = StepsFor(mapWidth, divisions);
  FillCoefficients();
}

void TBezier::Init(TCanvas& canvas, int mapWidth, int divisions, int mapHeight) {
  map_ = {};
  canvas_ = &canvas;
  mapWidth_ = mapWidth;
  mapHeight_ = mapHeight;
  steps_ = StepsFor(mapWidth, divisions);
  FillCoefficients();
}

void TBezier::FillCoefficients() {
  // Multiplied in this order and without fused multiply-add: a weight that is
  // off in its last bit can move a pixel that sits on a half.
  for (int n = 1; n <= MaxDegree; ++n) {
    for (int j = 0; j <= n; ++j) {
      const double c = double(Binomial(n, j));
      for (int k = 0; k <= MaxSteps; ++k) {
        const double t = double(k) / double(steps_);
        coeff_[j][n][k] = c * Power(t, j) * Power(1.0 - t, n - j);
      }
    }
  }
}

void TBezier::Line(int x1, int y1, int x2, int y2) {
  if (canvas_) {
    canvas_->MoveTo(x1, y1);
    canvas_->LineTo(x2, y2);
  } else {
    StartAt(x1, y1);
    DrawTo(x2, y2);
  }
}

void TBezier::Curve(std::span<const int> points) {
  assert(points.size() % 2 == 0 && points.size() >= 4 && points.size() <= 2 * (MaxDegree + 1));
  const int n = int(points.size() - 1) / 2;
  std::array<double, 2 * (MaxDegree + 1)> p;
  std::copy(points.begin(), points.end(), p.begin());
  for (int k = 0; k <= steps_; ++k) {
    double x = 0.0;
    double y = 0.0;
    for (int j = 0; j <= n; ++j) {
      x += coeff_[j][n][k] * p[2 * j];
      y += coeff_[j][n][k] * p[2 * j + 1];
    }
    // Halves go to the even neighbour, as the default rounding mode does.
    const int px = int(std::nearbyint(x));
    const int py = int(std::nearbyint(y));
    if (canvas_) {
      if (k == 0)
        canvas_->MoveTo(px, py);
      else
        canvas_->LineTo(px, py);
    } else if (k == 0) {
      StartAt(px, py);
    } else {
      DrawTo(px, py);
    }
  }
}

void TBezier::StartAt(int x, int y) {
  curX_ = x;
  curY_ = y;
}

void TBezier::Plot(int x, int y) {
  if (x >= 0 && x < mapWidth_ && y >= 0 && y < mapHeight_)
    map_[std::size_t(y) * std::size_t(mapWidth_) + std::size_t(x)] = value_;
}

void TBezier::DrawTo(int x1, int y1) {
  const int dx = std::abs(x1 - curX_);
  const int dy = std::abs(y1 - curY_);
  const bool yMajor = dy >= dx;
  const int major = yMajor ? dy : dx;
  const int minor = yMajor ? dx : dy;
  const int stepX = x1 > curX_ ? 1 : -1;
  const int stepY = y1 > curY_ ? 1 : -1;
  int err = 2 * minor - major;
  // A line lies within the box of its ends: with both ends on the map no
  // pixel needs a check, which is the case for nearly every segment.
  const bool inside = curX_ >= 0 && curX_ < mapWidth_ && curY_ >= 0 && curY_ < mapHeight_ && x1 >= 0 &&
                      x1 < mapWidth_ && y1 >= 0 && y1 < mapHeight_;
  if (inside) {
    std::uint8_t* pixel = &map_[std::size_t(curY_) * std::size_t(mapWidth_) + std::size_t(curX_)];
    const std::ptrdiff_t rowStep = stepY * std::ptrdiff_t(mapWidth_);
    const std::ptrdiff_t majorStep = yMajor ? rowStep : stepX;
    const std::ptrdiff_t diagonalStep = rowStep + stepX;
    for (int i = 0; i < major; ++i) {
      *pixel = value_;
      if (err >= 0) {
        pixel += diagonalStep;
        err += 2 * (minor - major);
      } else {
        pixel += majorStep;
        err += 2 * minor;
      }
    }
    *pixel = value_;  // the end point, where the pointer now stands
  } else {
    int x = curX_;
    int y = curY_;
    for (int i = 0; i <= major; ++i) {
      Plot(x, y);
      if (err >= 0) {
        x += stepX;
        y += stepY;
        err += 2 * (minor - major);
      } else {
        if (yMajor)
          y += stepY;
        else
          x += stepX;
        err += 2 * minor;
      }
    }
  }
  curX_ = x1;
  curY_ = y1;
}
