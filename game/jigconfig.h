#pragma once
// The options record: the copy of the option menus that drawing, play and the
// saved game read. The menu items stay the user-facing truth.

#include <cstdint>

#include "game/windowstate.h"

class TJigConfig {
 public:
  static constexpr std::int32_t WoodOutline = 3;

  // Create: the record starts as a capture of the menus.
  explicit TJigConfig(const TWindowState& window);

  bool Shadows = false;
  bool Rotating = false;
  bool CheatingAllowed = false;
  bool SoundOn = false;
  bool GhostPicture = false;
  std::int32_t OutlineStyle = 0;  // 0 None, 1 Paper, 2 Card, 3 Wood
  std::int32_t SnapDivisor = 0;   // joining tolerance = piece height / SnapDivisor
  std::int32_t PlayWidth = 0;
  std::int32_t PlayHeight = 0;

  // Everything but SnapDivisor from the menus and the play area's size.
  void CaptureFromMenus();
  // Effect n sounds only while the Sound option is on.
  void PlayEffect(int n) const;
  bool IsWoodOutline() const { return OutlineStyle == WoodOutline; }

 private:
  const TWindowState& window_;
};
