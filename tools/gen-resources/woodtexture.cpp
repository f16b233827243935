#include "tools/gen-resources/woodtexture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/gen-resources/synth.h"

namespace {

// Smooth random values on a cellsX x cellsY lattice that wraps around, read
// at tile coordinates u, v in [0, 1): periodic in both directions.
class TTileNoise {
 public:
  TTileNoise(int cellsX, int cellsY, std::uint64_t seed) : cellsX_(cellsX), cellsY_(cellsY) {
    TNoise noise(seed);
    lattice_.resize(std::size_t(cellsX * cellsY));
    for (double& value : lattice_) value = noise.Next();
  }

  double At(double u, double v) const {
    const double x = u * cellsX_;
    const double y = v * cellsY_;
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const double fx = Smooth(x - x0);
    const double fy = Smooth(y - y0);
    const double top = Lerp(Value(x0, y0), Value(x0 + 1, y0), fx);
    const double bottom = Lerp(Value(x0, y0 + 1), Value(x0 + 1, y0 + 1), fx);
    return Lerp(top, bottom, fy);
  }

 private:
  static double Smooth(double f) { return f * f * (3 - 2 * f); }
  static double Lerp(double a, double b, double f) { return a + (b - a) * f; }
  double Value(int x, int y) const {
    const int wrappedX = ((x % cellsX_) + cellsX_) % cellsX_;
    const int wrappedY = ((y % cellsY_) + cellsY_) % cellsY_;
    return lattice_[std::size_t(wrappedY * cellsX_ + wrappedX)];
  }

  int cellsX_;
  int cellsY_;
  std::vector<double> lattice_;
};

double SmoothStep(double edge0, double edge1, double x) {
  const double f = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return f * f * (3 - 2 * f);
}

struct TRgb {
  double R, G, B;
};

TRgb Mix(const TRgb& a, const TRgb& b, double f) {
  return {a.R + (b.R - a.R) * f, a.G + (b.G - a.G) * f, a.B + (b.B - a.B) * f};
}

}  // namespace

QImage DrawWoodTexture(int size) {
  // Rings per tile must be whole so the rings repeat from bottom to top.
  const int rings = 7;
  const TTileNoise meander(2, 2, 11);
  const TTileNoise wobble(5, 3, 12);
  const TTileNoise fibresCoarse(4, 48, 13);
  const TTileNoise fibresFine(8, 96, 14);
  const TTileNoise pores(48, 96, 15);
  const TRgb light{212, 156, 98};
  const TRgb middle{168, 108, 58};
  const TRgb dark{108, 62, 30};

  // The tone of the wood at a point of the tile: 0 lightest, 1 darkest.
  auto toneAt = [&](double u, double v) {
    const double bend = 0.8 * meander.At(u, v) + 0.2 * wobble.At(u, v);
    const double grain = v * rings + 0.9 * bend + 0.15 * std::sin(2 * std::numbers::pi * u);
    // Within a ring the wood darkens slowly, then sharply in the late wood,
    // and the next ring starts light again.
    const double ring = grain - std::floor(grain);
    const double late =
        (0.35 * ring + 0.65 * SmoothStep(0.74, 0.95, ring)) * (1 - SmoothStep(0.97, 1.0, ring));
    const double fibres = 0.6 * fibresCoarse.At(u, v + 0.01 * bend) + 0.4 * fibresFine.At(u, v);
    const double pore = std::max(0.0, pores.At(u, v) - 0.55) * 0.9;
    return std::clamp(0.6 * late + 0.28 * fibres + 0.1 * bend + pore + 0.14, 0.0, 1.0);
  };

  // Each pixel averages a 3 x 3 grid of points inside it, which keeps the
  // sharp ring edges from turning into stairs.
  const int samples = 3;
  QImage image(size, size, QImage::Format_RGB32);
  for (int y = 0; y < size; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size; ++x) {
      double tone = 0;
      for (int sy = 0; sy < samples; ++sy)
        for (int sx = 0; sx < samples; ++sx)
          tone += toneAt((x + (sx + 0.5) / samples) / size, (y + (sy + 0.5) / samples) / size);
      tone /= samples * samples;
      const TRgb c = tone < 0.5 ? Mix(light, middle, tone * 2) : Mix(middle, dark, tone * 2 - 1);
      row[x] = qRgb(int(std::lround(c.R)), int(std::lround(c.G)), int(std::lround(c.B)));
    }
  }
  return image;
}
