#pragma once
// The one small gift the saved-game target plays and the seed maker saves
// games of: a 4 x 3 puzzle on a 120 x 90 picture, rotation allowed, written
// as the gift tool writes gifts. Both make it the same way, so a saved seed
// game fits the puzzle the target builds.

#include <QString>

#include "tests/common/testgift.h"

inline bool WriteFuzzGift(const QString& path) {
  TGiftTrailer trailer = TestTrailer(12, 20240601);
  trailer.RotationOn = 1;
  return WriteTestGift(path, 120, 90, trailer);
}
