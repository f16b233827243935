#pragma once
// Cutting the picture into interlocking cells: the grid that fits the number
// of pieces asked for, and the label map in which every cell has drawn its
// outline with its own label byte. The same record and the same generator
// seed always give the same map, byte for byte.

#include <QString>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "game/puzzlerecord.h"
#include "platform/types.h"

// Fits a grid of square-ish cells to a width x height picture so that the
// piece count comes as close as possible to the requested one (ties go to
// fewer pieces). Stores the picture size as both the decoded and the cut size
// and the grid in the record; returns Columns x Rows (at most 65,535).
std::uint16_t FitGrid(TPuzzleRecord& record, int requested, int width, int height);

// Why the record's grid cannot be cut from a width x height picture, or
// empty when it can: the pieces' sheets would pass their limit
// (TPieces::SheetFits). No piece is smaller than the grid's cells, so the
// sheets are at least as large as with cells of that size; a picture of an
// extreme shape (a line of pixels, one piece) is known to pass the limit
// before anything is cut or allocated. The player and the gift tool refuse
// such a picture by this one rule.
QString CutSheetProblem(const TPuzzleRecord& record, std::int64_t width, std::int64_t height);

// Closes the one-pixel holes that two neighbouring curves can leave between
// them: in raster order, a free (0) pixel with labels on all four sides takes
// its left neighbour's label. The outermost rows and columns are left as they
// are; a cut has labelled them all with its border lines.
void FillGaps(std::span<std::uint8_t> map, int width, int height);

// The label map of one cut and the point inside each cell from which the
// cell's piece is flood-filled. Lives until the pieces are built.
class TCut {
 public:
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Columns() const { return columns_; }
  int Rows() const { return rows_; }

  // Width x Height bytes, row-major. A cell in row r and column c (counted
  // from 1) has label 0x10 + 4 (r mod 4) + (c mod 4).
  std::span<std::uint8_t> Labels() { return {labels_.get(), labelCount_}; }
  std::span<const std::uint8_t> Labels() const { return {labels_.get(), labelCount_}; }

  // Column and row counted from 1.
  TPoint Centre(int column, int row) const {
    return centres_[std::size_t(column - 1) * std::size_t(rows_) + std::size_t(row - 1)];
  }
  // All centres, column by column: index (column - 1) x Rows + (row - 1).
  std::span<const TPoint> Centres() const { return centres_; }

  // Frees the map and the centres once the pieces have been built.
  void Clear();

 private:
  friend class TCutter;

  int width_ = 0;
  int height_ = 0;
  int columns_ = 0;
  int rows_ = 0;
  std::unique_ptr<std::uint8_t[]> labels_;
  std::size_t labelCount_ = 0;
  std::vector<TPoint> centres_;
};

// Cuts the record's CutWidth x CutHeight picture into its Columns x Rows grid
// with its oddness and shape style, drawing from the shared generator, which
// the caller seeds with the record's Seed first. A game being played that was
// saved in format version 1 to 4 is re-cut with the board layout of that time.
// Reports "Generating: " progress and clears the status line on every way out;
// the caller shows the busy cursor around it. Throws EError for a record that
// cannot be cut (no cells, or an oddness above 10).
TCut Cut(const TPuzzleRecord& record, bool playing);
