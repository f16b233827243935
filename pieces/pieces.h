#pragma once
// The piece set: every piece record in home order, the shared images they are
// drawn from, and the grouping, stacking, neighbour and joining rules. The game
// object is built on it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "display/sprite.h"
#include "pieces/formpiece.h"
#include "pieces/puzzlegeometry.h"
#include "pieces/rotate.h"
#include "platform/bitmap.h"
#include "platform/types.h"

// Lists of pieces are lists of pointers into the piece set.
using TPieceList = std::vector<TFormPiece*>;
using TPieceSpan = std::span<TFormPiece* const>;

// Directions of home neighbours.
enum : int { DirectionUp = 0, DirectionRight = 1, DirectionDown = 2, DirectionLeft = 3 };

// A home neighbour and the rectangle in which the piece's top-left must lie to
// join it. Piece is null where there is no neighbour.
struct TNeighbourSlot {
  TFormPiece* Piece = nullptr;
  TRect SnapRect;
};
using TNeighbourSlots = std::array<TNeighbourSlot, 4>;

// Sort orders of SortList, by the keys they compare.
enum class TSortOrder : std::uint8_t {
  Stacking = 0,     // Group, then Index
  Shape = 1,        // EdgeClass
  Colour = 2,       // ColourKey
  ShapeColour = 3,  // EdgeClass, then ColourKey
  Shuffle = 4       // ShuffleKey
};

class TPieces {
 public:
  // Loads the side texture and gives its palette to SidePainter (EResNotFound
  // or EError when that fails). The puzzle and the options must outlive the
  // piece set; they are not read here.
  TPieces(TPuzzleGeometry& puzzle, TPieceOptions& options);
  virtual ~TPieces();
  TPieces(const TPieces&) = delete;
  TPieces& operator=(const TPieces&) = delete;

  TPuzzleGeometry& Puzzle() { return puzzle_; }
  const TPuzzleGeometry& Puzzle() const { return puzzle_; }
  TPieceOptions& Options() { return options_; }
  const TPieceOptions& Options() const { return options_; }

  // Records -----------------------------------------------------------------

  // PieceCount zeroed records, each with Index = its position.
  void CreatePieces();
  // Frees the records and their overlays.
  void FreePieces();
  TFormPiece& PieceAt(int index) { return Pieces[std::size_t(index)]; }
  const TFormPiece& PieceAt(int index) const { return Pieces[std::size_t(index)]; }
  // Every record, in home order.
  TPieceList AllPieces();

  // The home neighbour of a piece in a direction, or -1 at the grid's edge.
  int HomeNeighbour(int index, int direction) const;

  // Geometry of one piece --------------------------------------------------

  static TRect PieceRect(const TFormPiece& p) { return Bounds(p.X, p.Y, p.Width, p.Height); }
  static TPoint HomePoint(const TFormPiece& p) { return {p.HomeX, p.HomeY}; }
  // Where a's top-left must be for a to sit in its home relation to b, given
  // b's position and rotation.
  static TPoint ExpectedPos(const TFormPiece& a, const TFormPiece& b);
  static void AlignTo(TFormPiece& a, const TFormPiece& b);
  static void OffsetPieces(TPieceSpan list, int dx, int dy);
  void SetPosition(TFormPiece& p, int x, int y, const TRect& area) const;
  // Positions normalised to the picture's size, so that they follow the area
  // proportionally when it changes.
  void StoreNormalised(TFormPiece& p, const TRect& area) const;
  void RestoreNormalised(TFormPiece& p, const TRect& area) const;
  // StoreNormalised for the first record of every group run of a list in
  // stacking order.
  void StoreGroupNormalised(TPieceSpan list, const TRect& area) const;
  // Whether board point (x, y) is on the piece by its mask; the caller has
  // checked that the point lies in PieceRect.
  bool HitTest(const TFormPiece& p, int x, int y) const;

  // Groups and stacking -----------------------------------------------------

  // No group number reaches this: a saved game holding one is damaged, and
  // play renumbers the groups long before (MakeRoomForGroups).
  static constexpr std::int32_t GroupLimit = std::int32_t(1) << 30;

  // Renumbers the groups 0, 1, 2... in stacking order: every group keeps its
  // pieces and its place, and NextGroupId becomes the number of groups.
  void CompactGroups();
  // CompactGroups once NextGroupId has passed half of GroupLimit. Every
  // operation that hands out group numbers calls it first and hands out at
  // most one per piece and one more, so no sequence of them takes the
  // counter to GroupLimit.
  void MakeRoomForGroups();
  // Puts a list in stacking order above everything else, keeping its groups
  // and their order.
  void BringToFront(TPieceSpan list);
  // p's group goes to the bottom (group 0); every other piece moves up one.
  void SendGroupToBack(const TFormPiece& p);
  int GroupSize(const TFormPiece& p) const;
  static void SortList(std::span<TFormPiece*> list, TSortOrder order);
  static void SetHidden(TPieceSpan list, bool value);
  static void SetPlaced(TPieceSpan list, bool value);

  // Neighbours and joining ---------------------------------------------------

  // Home neighbours up, right, down, left with their snap rectangles; also
  // recomputes the piece's Complete flag.
  TNeighbourSlots NeighbourSlots(int index);
  // Joins the moving piece a with its home neighbour b; every rectangle that
  // changed is united into dirty. Plays effect 1.
  void JoinPieces(TFormPiece& a, TFormPiece& b, TRect& dirty);
  // Takes p out of its group.
  void DetachPiece(TFormPiece& p);
  // The home neighbour of p in the direction of a board point, or another
  // neighbour in another group; null when there is none.
  TFormPiece* NeighbourToward(const TFormPiece& p, TPoint point);

  // Keeping pieces in view -----------------------------------------------------

  // Shifts rect so that enough of it lies in the area; true if it moved.
  bool KeepInArea(TRect& rect, const TRect& area) const;
  // The same for the board: a piece sticks out by at most half a cell.
  bool KeepOnBoard(TRect& rect) const;
  // The first record, probing from both ends inwards, that overlaps the area
  // shrunk by half a cell; null if none.
  TFormPiece* AnyInsideArea(TPieceSpan list, const TRect& area) const;
  // Re-places every group of a list in stacking order after the area changed.
  // Returns where the groups it brought back into view lay before and after.
  TRect RelayoutGroups(TPieceSpan list, const TRect& area, bool restore);

  // The image sheet holds every piece in a square cell of its own, as large
  // as the largest piece, Columns x Rows of them; the mask sheets match it.
  // These are the largest buffers a cut makes: three bytes a pixel for the
  // images and a bit a pixel for each of the two mask sheets.
  struct TSheetSize {
    std::int64_t CellWidth, Cell, Width, Height;
  };
  static TSheetSize SheetSizeFor(std::int64_t largestPiece, int columns, int rows);
  // The most pixels a sheet may have: the puzzle record keeps its sides in
  // 16 bits, and all sheets together stay under a gigabyte.
  static constexpr std::int64_t MaxSheetPixels = std::int64_t(256) * 1024 * 1024;
  static bool SheetFits(const TSheetSize& sheet) {
    return sheet.Width <= 0xFFFF && sheet.Height <= 0xFFFF && sheet.Width * sheet.Height <= MaxSheetPixels;
  }

  // Piece images, overlays, drawing and quarter turns ---------------------------
  // (pieces/pieceimages.cpp and pieces/piecerotation.cpp)

  // Flood-fills every cell of labelMap, the cut's label map (CutWidth x
  // CutHeight bytes, edge lines in the labels of their cells), from its point
  // in Centres, marking filled pixels with the label's high bit so that the
  // lines stay apart from them. A cell whose centre lies in a neighbour's
  // tab still gets its own area, and free pixels that no fill reaches (closed
  // off by looping curves) join the piece on their left, so that the pieces
  // cover the picture exactly. Sets every piece's HomeX, HomeY, Width and Height,
  // then CellWidth, CellHeight, SheetWidth and SheetHeight, and returns the
  // byte size of one mask sheet. Reports "Extracting: " progress. EError when
  // the records, the centres or the map do not match the grid, or when a
  // sheet would reach 65,536 pixels on a side (the puzzle record keeps sheet
  // sizes in 16 bits); the grid sizes are then left as they were.
  std::size_t ExtractPieces(std::span<std::uint8_t> labelMap);
  // Writes the two mask sheets from the extracted map into buffer, which
  // holds two sheets of the size ExtractPieces returned with every bit set:
  // the first gets each piece's own edge lines, the second its whole area. A
  // cleared bit marks a pixel of the piece. Clears the status line.
  void BuildMasks(std::span<const std::uint8_t> labelMap, std::span<std::uint8_t> buffer);
  // Sets every piece's SheetX and SheetY, makes MaskSheet from the second
  // sheet of buffer, sizes ImageSheet, TurnImage and TurnMask, builds the
  // overlays and cuts Picture into ImageSheet, black outside each piece
  // ("Drawing: " progress, hourglass).
  void BuildImages(std::span<const std::uint8_t> buffer);
  // Sets RimWidth and Thickness and builds or frees every piece's overlays for
  // the current outline style, from the pieces' masks as they are now turned.
  void BuildOverlays();
  static std::int32_t RimWidthFor(std::int32_t outlineStyle, int cellWidth);
  static std::int32_t ThicknessFor(int cellHeight);

  // Draw into a 24-bit bitmap at the pieces' board positions, limited to clip
  // when one is given. Hidden pieces are not drawn.
  void DrawPiece(const TFormPiece& p, TBitmap& bitmap, const TRect* clip) const;
  void DrawSide(const TFormPiece& p, TBitmap& bitmap, const TRect* clip) const;
  // A list in stacking order; with Wood outlines each group's sides go under
  // the group's pieces but over the groups below, and pieces whose sides
  // reach down into the clip are drawn too.
  void DrawPieceList(TPieceSpan list, TBitmap& bitmap, const TRect* clip) const;
  // Blackens every listed piece's silhouette in a 24-bit or mono bitmap.
  void DrawMasks(TPieceSpan list, TBitmap& bitmap) const;
  static void FillArea(TBitmap& bitmap, const TRect& rect, TColor colour);

  // Turns every listed piece by PendingTurns + extraTurns clockwise quarter
  // turns: image and mask in their cells, sizes, overlays rebuilt, Rotation;
  // PendingTurns becomes 0. Reports "Rotating: " progress when asked; shows
  // the hourglass for more than one piece.
  void RotatePieces(TPieceSpan list, int extraTurns, bool showProgress);
  // Gives rebuilt pieces their Rotation again (randomise false), or turns the
  // loose ones at random (randomise true); progress as the Rotating option.
  void ResetRotations(TPieceSpan list, bool randomise);

  TRotate Rotator;

  // Fields ---------------------------------------------------------------------

  std::int32_t RimWidth = 0;   // rim width in pixels
  bool AllJoined = false;      // every piece joined
  std::int32_t Thickness = 0;  // height of the wood side in pixels
  std::vector<TFormPiece> Pieces;  // home order
  TBitmap Picture;                 // the cut picture
  TBitmap ImageSheet;              // 24-bit piece images, one cell per piece
  TBitmap MaskSheet{0, 0, TPixelFormat::Mono};  // piece masks; black = inside
  TBitmap TurnImage;                            // rotation scratch, one cell
  TBitmap TurnMask{0, 0, TPixelFormat::Mono};
  TBitmap Texture;  // Indexed8 wood texture
  TSprite RimPainter{true, 0};
  TSprite SidePainter{false, 0};
  // Cell centres from the cut, column by column: (column - 1) x Rows + (row - 1);
  // used for extraction and then released.
  std::vector<TPoint> Centres;

 protected:
  // Sound effect n; the game plays it when sound is on.
  virtual void PlayEffect(int effect);
  // SolvedCount := the number of Joined pieces.
  void RecountSolved();

 private:

  TPuzzleGeometry& puzzle_;
  TPieceOptions& options_;
};
