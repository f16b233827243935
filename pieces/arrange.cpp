#include "pieces/arrange.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/random.h"

namespace {

bool IsLoose(const TFormPiece& p) { return !p.Joined && !p.Placed; }

int CountLoose(std::span<TFormPiece* const> list) {
  return int(std::count_if(list.begin(), list.end(), [](const TFormPiece* p) { return IsLoose(*p); }));
}

// Random(range) for a range that may be empty: the draw still happens, so the
// rest of the sequence does not depend on the size of the area.
int RandomBelow(int range) { return int(Random(std::uint32_t(std::max(range, 0)))); }

// a x b div c without overflow for any sizes a bitmap can have.
int Scaled(int a, int b, int c) { return int(std::int64_t(a) * b / c); }

// Arrange at Edge: how many cells of pitch across (Columns) and down (Rows),
// how many columns the left and right bands take together (SideBand) and how
// many rows the top and bottom bands (EndBand), and the pitch in pixels.
struct TEdgeLayout {
  int Columns = 0;
  int Rows = 0;
  int SideBand = 0;
  int EndBand = 0;
  int PitchX = 0;
  int PitchY = 0;
};

// The largest pitch from 1.25 cells down at which the bands hold count pieces
// around a free middle the size of the cut picture; below 0.75 cells the
// middle shrinks with the pitch. The smallest pitch tried is 1 pixel.
TEdgeLayout FitEdgeLayout(const TPuzzleGeometry& puzzle, int width, int height, int count) {
  const int widestPitch = std::max((puzzle.CellWidth * 5) >> 2, 1);
  const int shrinkingMiddleBelow = (puzzle.CellWidth * 3) >> 2;
  TEdgeLayout layout;
  for (int p = widestPitch; p >= 1; --p) {
    layout.Columns = width / p;
    layout.Rows = height / p;
    if (p < shrinkingMiddleBelow) {
      layout.SideBand = ((width - Scaled(p, puzzle.CutWidth, widestPitch)) / p) & ~1;
      layout.EndBand = ((height - Scaled(p, puzzle.CutHeight, widestPitch)) / p) & ~1;
    } else {
      layout.SideBand = ((width - p - puzzle.CutWidth) / p) & ~1;
      layout.EndBand = ((height - p - puzzle.CutHeight) / p) & ~1;
    }
    layout.SideBand = std::max(layout.SideBand, 2);
    layout.EndBand = std::max(layout.EndBand, 2);
    if (layout.EndBand * layout.Columns + (layout.Rows - layout.EndBand) * layout.SideBand >= count) break;
  }
  // An area narrower or lower than one pitch lays its pieces in one line.
  layout.PitchX = width / std::max(layout.Columns, 1);
  layout.PitchY = height / std::max(layout.Rows, 1);
  return layout;
}

// The walk of Arrange at Edge from cell to cell: clockwise along the top row,
// down the right column, back along the bottom row and up the left column,
// then the same one ring further in, as long as the bands are deep enough.
// Directions: 0 up, 1 right, 2 down, 3 left.
class TRingWalk {
 public:
  explicit TRingWalk(const TEdgeLayout& layout)
      : length_{layout.Rows, layout.Columns, layout.Rows, layout.Columns},
        band_{layout.SideBand, layout.EndBand, layout.SideBand, layout.EndBand} {
    run_ = SideLength(direction_);
  }

  TPoint Cell() const { return cell_; }

  // Moves on to the cell of the next piece.
  void Advance() {
    --run_;
    if (run_ >= 1) {
      Step(1);
      return;
    }
    Turn();
    run_ = SideLength(direction_);
    if (band_[direction_] >= 1) {
      Step(1);
    } else {
      // No band left on this side: cross it without placing anything.
      Step(run_);
      Turn();
      run_ = SideLength(direction_);
    }
  }

 private:
  static constexpr std::array<int, 4> StepX{0, 1, 0, -1};
  static constexpr std::array<int, 4> StepY{-1, 0, 1, 0};
  // Cells of a side already taken by the sides before it on the same ring.
  static constexpr std::array<int, 4> TakenAtEnds{-2, 0, -1, -1};

  static int Next(int direction) { return (direction + 1) % 4; }

  int SideLength(int direction) const {
    return band_[Next(direction)] > 0 ? length_[direction] + TakenAtEnds[direction] : length_[direction];
  }

  void Step(int cells) {
    cell_.X += StepX[direction_] * cells;
    cell_.Y += StepY[direction_] * cells;
  }

  void Turn() {
    direction_ = Next(direction_);
    if (direction_ != 1) return;
    // A ring is complete: the next one is shorter by the two cells at either
    // end of every side that still had a band, and every band is shallower.
    for (int side = 0; side < 4; ++side) {
      if (band_[Next(side)] > 0) length_[side] -= 2;
      band_[Next(side)] -= 2;
    }
  }

  std::array<int, 4> length_;
  std::array<int, 4> band_;
  TPoint cell_{0, 0};
  int direction_ = 1;
  int run_ = 0;
};

}  // namespace

TSortOrder ArrangeSortMode(bool byShape, bool byColour) {
  if (byShape) return byColour ? TSortOrder::ShapeColour : TSortOrder::Shape;
  return byColour ? TSortOrder::Colour : TSortOrder::Shuffle;
}

void ComputeEdgeClasses(const TPieces& pieces, TPieceSpan list) {
  const int n = pieces.Puzzle().Columns;
  const int count = pieces.Puzzle().PieceCount;
  if (n == 0) return;
  for (TFormPiece* p : list) {
    const int i = p->Index;
    if (i == 0 || i == n - 1 || i == count - 1 || i == count - n)
      p->EdgeClass = EdgeCorner;
    else if (i < n)
      p->EdgeClass = EdgeTop;
    else if (i % n == n - 1)
      p->EdgeClass = EdgeRight;
    else if (i > count - n - 1)
      p->EdgeClass = EdgeBottom;
    else if (i % n != 0)
      p->EdgeClass = EdgeInterior;
    else
      p->EdgeClass = EdgeLeft;
  }
}

void Scatter(TPieces& pieces, TPieceSpan list, const TRect& area) {
  TPuzzleGeometry& puzzle = pieces.Puzzle();
  const bool rotating = pieces.Options().Rotating;
  // Both axes leave room for half a cell's width.
  const int half = puzzle.CellWidth >> 1;
  pieces.MakeRoomForGroups();
  for (TFormPiece* p : list) {
    if (p->Joined) continue;
    p->Group = puzzle.NextGroupId++;
    if (rotating) p->PendingTurns = std::uint8_t(Random(4));
    p->X = area.Left + RandomBelow(area.Right - area.Left - half + 1);
    p->Y = area.Top + RandomBelow(area.Bottom - area.Top - half + 1);
    TRect rect = TPieces::PieceRect(*p);
    pieces.KeepInArea(rect, area);
    pieces.SetPosition(*p, rect.Left, rect.Top, area);
    p->Placed = false;
    p->ShuffleKey = std::uint16_t(Random(65535));
  }
  ComputeEdgeClasses(pieces, list);
  pieces.RotatePieces(list, 0, rotating);
}

void ArrangeInGrid(TPieces& pieces, std::span<TFormPiece*> list, const TRect& area, TSortOrder order) {
  if (list.empty()) return;
  TPieces::SortList(list, order);
  const int count = CountLoose(list);
  const int width = area.Right - area.Left + 1;
  const int height = area.Bottom - area.Top + 1;
  // The largest pitch from one and a half cells down at which all fit.
  int pitch = (pieces.Puzzle().CellWidth * 3) >> 1;
  int columns = 0;
  while (pitch > 0) {
    columns = width / pitch;
    if (Scaled(height, columns, pitch) >= count) break;
    --pitch;
  }
  columns = std::max(columns, 1);
  int j = 0;
  for (TFormPiece* p : list) {
    if (!IsLoose(*p)) continue;
    pieces.SetPosition(*p, area.Left + pitch * (j % columns), area.Top + pitch * (j / columns), area);
    ++j;
  }
  TPieces::SortList(list, TSortOrder::Stacking);
}

void ArrangeAtEdge(TPieces& pieces, std::span<TFormPiece*> list, const TRect& area, TSortOrder order) {
  if (list.empty()) return;
  TPieces::SortList(list, order);
  const int count = CountLoose(list);
  const TEdgeLayout layout =
      FitEdgeLayout(pieces.Puzzle(), area.Right - area.Left + 1, area.Bottom - area.Top + 1, count);
  TRingWalk walk(layout);
  for (TFormPiece* p : list) {
    if (!IsLoose(*p)) continue;
    const TPoint cell = walk.Cell();
    pieces.SetPosition(*p, area.Left + layout.PitchX * cell.X, area.Top + layout.PitchY * cell.Y, area);
    walk.Advance();
  }
  TPieces::SortList(list, TSortOrder::Stacking);
}

void Disarrange(TPieces& pieces, std::span<TFormPiece*> list, const TRect& area, bool rotateOnly) {
  if (list.empty()) return;
  if (rotateOnly)
    pieces.ResetRotations(list, true);
  else
    Scatter(pieces, list, area);
  TPieces::SortList(list, TSortOrder::Stacking);
}
