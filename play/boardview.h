#pragma once
// The pixels of the play area: the board as composed from the mural and the
// trays with their pieces, and the image of what floats, which the
// compositor lays over the board on its way to the screen. The game object
// owns one; whatever shows the board reads it from here.

#include <cstdint>

#include "display/dirty.h"
#include "pieces/mural.h"
#include "platform/bitmap.h"

class TBoardView {
 public:
  TBitmap BoardBitmap;  // the composed play area
  TMural Mural;         // the background the trays and pieces lie on
  TDirty Compositor;    // the floating image over the board, onto the screen
  // The floating pieces or tray as lifted, with the mask of where they are
  // opaque (black), their shadow included.
  TBitmap DragImage;
  TBitmap DragMask{0, 0, TPixelFormat::Mono};
  std::int32_t ShadowSize = 0;  // how far the floating image's shadow reaches
};
