#pragma once
// The background of the play area: a bitmap as large as the play area with a
// vertical gradient from the board colour at the top to about half of it at
// the bottom. Recomposing any part of the board starts with a block copy from
// here.

#include "platform/bitmap.h"
#include "platform/types.h"

class TMural {
 public:
  // The image starts empty (24 bits per pixel) until SetSize.
  TMural() = default;

  const TBitmap& Image() const { return image_; }

  // Resizes the image to the play area, keeping its place; its content is
  // undefined until the next Paint. A width or height of 0 or less leaves it
  // empty.
  void SetSize(int width, int height);
  // The image holds the part of a board boardHeight rows high that starts at
  // origin (the board's point of its top-left pixel); the gradient runs over
  // the whole board. A board height of 0 is the image's own. Paint follows.
  void Place(TPoint origin, int boardHeight);

  // Repaints the whole image from the board colour (a plain or a system
  // colour). Row y of a board h rows high gets each channel c as
  // c * (h - y div 2) div h. On screens of fewer than 24 bits per pixel the
  // row colours go through Dither, so that neighbouring rows alternate
  // between adjacent multiples of 8 instead of showing bands; the part of a
  // board comes out as that part of the whole board would.
  //
  // The game's hidden ghost-picture option would blend the puzzle picture in
  // at a level that is always 0, leaving the gradient unchanged, so the
  // mural has no ghost pass.
  void Paint(TColor color);

  // Copies rect of the board from the image onto the same points of target,
  // clipped to both bitmaps.
  void Draw(TRect rect, TBitmap& target) const;

 private:
  TBitmap image_;  // 24 bits per pixel
  int boardHeight_ = 0;
};
