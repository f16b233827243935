#pragma once
// The benchmarks' picture: smooth and photo-like, so that decoding, cutting
// and colour sorting see what a photograph gives them.

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

// Overlapping waves in each channel.
inline TBitmap MakePicture(int width, int height) {
  TBitmap picture(width, height);
  std::vector<double> waveX(std::size_t(width) * 3);
  for (int x = 0; x < width; ++x)
    for (int c = 0; c < 3; ++c) waveX[std::size_t(3 * x + c)] = std::sin(x * (0.004 + 0.003 * c) + c);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int c = 0; c < 3; ++c) {
      const double waveY = std::cos(y * (0.005 + 0.002 * c) + 2 * c);
      for (int x = 0; x < width; ++x)
        row[3 * x + c] = std::uint8_t(128 + 60 * waveX[std::size_t(3 * x + c)] + 60 * waveY);
    }
  }
  return picture;
}
