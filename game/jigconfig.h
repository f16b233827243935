#pragma once
// The options record: the copy of the option menus that drawing, play and the
// saved game read. The menu items stay the user-facing truth.

#include <array>
#include <cstdint>
#include <span>

#include "game/windowstate.h"
#include "pieces/puzzlegeometry.h"

// The option fields themselves are the piece set's options record, so the
// pieces and the game read and write the same values.
class TJigConfig : public TPieceOptions {
 public:
  // The saved game's options block: the options, the Music item's state and
  // an end marker.
  static constexpr std::size_t BlockSize = 26;
  static constexpr std::int32_t EndMarker = 4;
  using TBlock = std::array<std::uint8_t, BlockSize>;

  // Create: the record starts as a capture of the menus. The window's menus
  // take the options of a saved game.
  explicit TJigConfig(TWindowState& window);

  // Everything but SnapDivisor from the menus and the play area's size.
  void CaptureFromMenus();
  // Effect n sounds only while the Sound option is on.
  void PlayEffect(int n) const;

  TBlock WriteTo() const { return WriteTo(PlayWidth, PlayHeight); }
  // The block of a board of that size.
  TBlock WriteTo(std::int32_t playWidth, std::int32_t playHeight) const;
  // A block that ends in its marker and names an outline style gives the
  // options and the menus its values; any other block, or one cut short,
  // leaves the menus as they are and the options are captured from them.
  // Never throws. The window is asked for the saved play area's size, which
  // it takes within its screen; the options hold the size the play area then
  // has. The Music item stays off for a gift without music.
  void ReadFrom(std::span<const std::uint8_t> block);

 private:
  TWindowState& window_;
};
