#pragma once
// Quarter turns of piece images and masks, pixel for pixel: nothing is
// resampled. The turned rectangle is always the top-left one of the source
// and lands at the top-left of the destination.

#include <cstdint>

#include "platform/bitmap.h"

class TRotate {
 public:
  // The source rectangle of the last call: its last column (width - 1) and
  // its first and last rows (0 and height - 1, rows counted from the top).
  std::int32_t LastColumn = -1;
  std::int32_t FirstRow = 0;
  std::int32_t LastRow = -1;

  // Turns the top-left width x height rectangle of source by turns clockwise
  // quarter turns into the top-left of dest: turn 1 takes pixel (x, y) to
  // (height - 1 - y, x), turn 2 to (width - 1 - x, height - 1 - y), turn 3
  // (counter-clockwise) to (y, width - 1 - x); turns count modulo 4 and 0 is
  // a plain copy. Only the pixels (or, in a mono bitmap, the bits) of the
  // turned rectangle are written in dest. Source and dest must have the same
  // pixel format and hold their rectangles, or EError; they may be the same
  // bitmap. An empty rectangle does nothing.
  void Rotate(const TBitmap& source, TBitmap& dest, int width, int height, int turns);
};
