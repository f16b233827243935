#pragma once
// Colour sort keys. Every piece first gets its average colour; then a chain
// walks from piece 0 to the nearest colour not yet visited, again and again,
// and a piece's place on that chain becomes its key. Sorting by the key lays
// pieces of similar colour side by side.

#include <cstdint>

#include "pieces/pieces.h"
#include "platform/bitmap.h"

// Keys from ColourRankBase up are places on the chain; keys below it are plain
// average colours (0x00BBGGRR) of pieces the chain never reached, which
// therefore sort first.
inline constexpr std::uint32_t ColourRankBase = 0x40000000;

// Two colours are linked on the chain when their squared distance (the sum of
// the squared differences of red, green and blue) is below this.
inline constexpr std::int32_t ColourChainReach = 65535;

// Sets the ColourKey of every piece of the set: the average of the picture's
// pixels at every fourth column and row inside the piece's bounding box at its
// home position, then its place on the colour chain. picture is the picture as
// cut; samples that fall outside it are not counted. Shows the hourglass and
// "Sorting colors: " progress while the chain runs.
void ComputeColourKeys(TPieces& pieces, const TBitmap& picture);
