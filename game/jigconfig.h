#pragma once
// The options record: the copy of the option menus that drawing, play and the
// saved game read. The menu items stay the user-facing truth.

#include <cstdint>

#include "game/windowstate.h"
#include "pieces/puzzlegeometry.h"

// The option fields themselves are the piece set's options record, so the
// pieces and the game read and write the same values.
class TJigConfig : public TPieceOptions {
 public:
  // Create: the record starts as a capture of the menus.
  explicit TJigConfig(const TWindowState& window);

  // Everything but SnapDivisor from the menus and the play area's size.
  void CaptureFromMenus();
  // Effect n sounds only while the Sound option is on.
  void PlayEffect(int n) const;

 private:
  const TWindowState& window_;
};
