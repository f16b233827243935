#pragma once
// The cursor shown while pieces are dragged.

#include <QImage>

// A 32 x 32 closed hand seen from the back, gripping: white with a black
// outline on a transparent ground. The hot spot, in the middle of the palm,
// is stored in the image's text fields (platform/resources.h).
QImage DrawClosedHandCursor();
