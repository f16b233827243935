#pragma once
// The bevelled rim and the wooden side of one piece, made from the piece's
// mask cell in the piece set's MaskSheet and run-length coded for drawing.

#include <cstdint>
#include <vector>

#include "pieces/formpiece.h"

class TPieces;

class TOverlayBuilder {
 public:
  // Rim brightness changes: the light band and the dark band (-70).
  static constexpr std::uint8_t RimLight = 50;
  static constexpr std::uint8_t RimDark = 186;

  // For the piece set's current outline style, cell size, RimWidth and
  // Thickness; the piece set must outlive the builder. The scratch buffers
  // are allocated here once and reused for every piece.
  explicit TOverlayBuilder(const TPieces& pieces);

  // Replaces p's RimSprite and SideSprite with ones made from its mask as it
  // lies in its cell now (black = inside), or frees the ones the outline
  // style has none of. The side's wood grain follows the cell's column in
  // the sheet, so a piece gets the same side however often it is rebuilt.
  void Build(TFormPiece& p);

 private:
  void UnpackMask(const TFormPiece& p);
  void BuildRim(TFormPiece& p);
  void BuildSide(TFormPiece& p);
  void Encode(bool rim, int width, int height, std::vector<std::uint8_t>& sprite);

  const TPieces& pieces_;
  int stride_;                        // CellWidth: row stride of both buffers
  std::vector<std::uint8_t> inside_;  // 1 where the piece is, row by row
  std::vector<std::uint8_t> work_;    // the overlay before coding; all 0 between uses
  std::vector<std::uint8_t> encoded_;
  std::vector<std::int32_t> sideLeft_;  // per column: wood rows still to show
};
