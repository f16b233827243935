#pragma once
// One piece of the puzzle: where it belongs, where it lies, its group and its
// overlays.

#include <cstdint>
#include <vector>

// Edge classes (sort by shape).
enum : std::uint8_t {
  EdgeCorner = 0,
  EdgeTop = 1,
  EdgeRight = 2,
  EdgeBottom = 3,
  EdgeLeft = 4,
  EdgeInterior = 5
};

struct TFormPiece {
  std::int32_t Tray = 0;   // number of the tray that holds the piece
  std::int32_t Index = 0;  // home index = (row - 1) x Columns + (column - 1)
  std::int32_t HomeX = 0;  // top-left of the bounding box in the cut picture
  std::int32_t HomeY = 0;
  double NormX = 0.0;  // position in the PictureWidth x PictureHeight frame
  double NormY = 0.0;
  std::int32_t X = 0;  // top-left of the bounding box on the board
  std::int32_t Y = 0;
  std::int32_t SheetX = 0;  // top-left of the piece's cell in the sheets
  std::int32_t SheetY = 0;
  std::uint16_t Width = 0;  // current size; odd quarter turns swap the two
  std::uint16_t Height = 0;
  std::int32_t Group = 0;          // equal numbers move together; also the stacking order
  std::uint32_t ColourKey = 0;     // average colour, later the colour rank
  std::uint16_t ShuffleKey = 0;    // random sort key
  std::uint8_t Rotation = 0;       // quarter turns clockwise, 0 to 3
  std::uint8_t PendingTurns = 0;   // quarter turns still to apply to the images
  bool Joined = false;             // member of a group of two or more
  bool Complete = false;           // every existing home neighbour is in the group
  bool Hidden = false;             // not drawn
  bool Placed = false;             // dropped here by the user; arranging leaves it
  std::uint8_t EdgeClass = EdgeCorner;  // set by the arranging code
  std::vector<std::uint8_t> RimSprite;   // run-length rim overlay; empty = none
  std::vector<std::uint8_t> SideSprite;  // run-length side overlay (wood); empty = none
};
