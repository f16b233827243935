#pragma once
// The texture that paints the wooden sides of pieces.

#include <QImage>

// A size x size tile of warm brown wood: growth rings that meander across the
// tile, fine fibres along the grain and a few pores. Every feature repeats
// with the tile, so copies placed side by side join without seams.
QImage DrawWoodTexture(int size);
