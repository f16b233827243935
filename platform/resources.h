#pragma once
// Program resources that need more than their bytes (LoadResourceStream in
// platform/utility.h gives the bytes of any of them).

#include <QImage>

#include "platform/types.h"

// Cursors are PNG images of resource type "CURSOR", named by their number. The
// hot spot is kept in the image's text fields under these keys.
inline constexpr char CursorResourceType[] = "CURSOR";
inline constexpr char CursorHotSpotXKey[] = "HotSpotX";
inline constexpr char CursorHotSpotYKey[] = "HotSpotY";

struct TCursorImage {
  QImage Image;  // with alpha
  TPoint HotSpot;
};

// Cursor resource number: 1 is the closed hand shown while pieces are dragged.
// A missing or undecodable cursor raises EResNotFound.
TCursorImage LoadCursorResource(int number);
