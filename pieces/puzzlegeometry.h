#pragma once
// What the piece set needs to know about the puzzle and the player's options.
// The program-wide puzzle record and the game's options record are built on
// these two, so the piece set reads and changes the very fields the rest of
// the program and the saved game see.

#include <cstdint>

// Grid, sizes and progress counters of the puzzle.
struct TPuzzleGeometry {
  std::uint16_t PieceCount = 0;  // Columns x Rows
  std::uint16_t Columns = 0;
  std::uint16_t Rows = 0;
  std::int32_t NextGroupId = 0;    // larger than every group number in use
  std::uint16_t PictureWidth = 0;  // as decoded; the frame of normalised positions
  std::uint16_t PictureHeight = 0;
  std::uint16_t CutWidth = 0;  // as cut
  std::uint16_t CutHeight = 0;
  std::uint16_t CellWidth = 0;  // one cell of the image and mask sheets
  std::uint16_t CellHeight = 0;
  std::uint16_t SheetWidth = 0;
  std::uint16_t SheetHeight = 0;
  std::uint16_t SolvedCount = 0;  // pieces whose Joined flag is set

  friend bool operator==(const TPuzzleGeometry&, const TPuzzleGeometry&) = default;
};

// Outline styles of the pieces.
enum : std::int32_t { OutlineNone = 0, OutlinePaper = 1, OutlineCard = 2, OutlineWood = 3 };

// The option state that drawing and play read.
struct TPieceOptions {
  bool Shadows = false;
  bool Rotating = false;
  bool CheatingAllowed = false;
  bool SoundOn = false;
  bool GhostPicture = false;
  std::int32_t OutlineStyle = OutlineCard;
  std::int32_t SnapDivisor = 4;  // joining tolerance = CellHeight div SnapDivisor
  std::int32_t PlayWidth = 0;    // the board, in pixels
  std::int32_t PlayHeight = 0;
  // Board pixels to one pixel of the whole board: above 1 while zoomed. Not
  // saved: a game is saved and resumed as the whole board shows it.
  double Zoom = 1.0;

  bool IsWoodOutline() const { return OutlineStyle == OutlineWood; }

  friend bool operator==(const TPieceOptions&, const TPieceOptions&) = default;
};
