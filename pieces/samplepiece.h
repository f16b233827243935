#pragma once
// The preview piece of the piece size dialog, which also decides whether a
// scale is allowed at all.

#include <cstdint>

class TCanvas;

// Pieces must be 8 to 640 pixels wide and high at any scale.
constexpr int MinPieceSize = 8;
constexpr int MaxPieceSize = 640;

// The picture at its decoded size and the grid it is cut into.
struct TPictureGrid {
  int PictureWidth = 0;
  int PictureHeight = 0;
  int Columns = 0;
  int Rows = 0;
};

// False when a piece of the grid at that scale would be smaller or larger
// than allowed; nothing is drawn then. Otherwise, when a canvas is given,
// draws one piece of that size in the style (0 the aligned Classic outline, 1
// to 5 the styles, 6 a piece with four different edges) and oddness (0 to
// 10), its tabs reaching towards the canvas origin, outlined and filled in
// pure red.
bool DrawSamplePiece(TCanvas* canvas, int scalePercent, int oddness, std::int32_t style,
                     const TPictureGrid& grid);
