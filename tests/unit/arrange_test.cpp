#include "pieces/arrange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "platform/random.h"

namespace {

// The program's generator worked out independently: state := state x
// 134775813 + 1, result = high 32 bits of state x n.
class TDraws {
 public:
  explicit TDraws(std::uint32_t seed) : state_(seed) {}
  int Next(std::uint32_t n) {
    state_ = state_ * 134775813u + 1u;
    return int((std::uint64_t(state_) * n) >> 32);
  }
  std::uint32_t State() const { return state_; }

 private:
  std::uint32_t state_;
};

class ArrangeTest : public ::testing::Test {
 protected:
  // A grid of 40 x 40 pieces in cells of 40, each in a group of its own, at
  // (1000 + index, 2000).
  void MakeGrid(int columns, int rows) {
    puzzle.Columns = std::uint16_t(columns);
    puzzle.Rows = std::uint16_t(rows);
    puzzle.PieceCount = std::uint16_t(columns * rows);
    puzzle.CellWidth = 40;
    puzzle.CellHeight = 40;
    puzzle.PictureWidth = 800;
    puzzle.PictureHeight = 600;
    pieces.CreatePieces();
    for (TFormPiece& p : pieces.Pieces) {
      p.Width = 40;
      p.Height = 40;
      p.X = 1000 + p.Index;
      p.Y = 2000;
      p.Group = p.Index;
      p.ShuffleKey = std::uint16_t(p.Index);
    }
    puzzle.NextGroupId = puzzle.PieceCount;
  }

  void Join(std::initializer_list<int> members) {
    for (int i : members) {
      pieces.PieceAt(i).Group = *members.begin();
      pieces.PieceAt(i).Joined = true;
    }
  }

  TPieceList List(std::initializer_list<int> indices) {
    TPieceList list;
    for (int i : indices) list.push_back(&pieces.PieceAt(i));
    return list;
  }

  static std::vector<int> Indices(const TPieceList& list) {
    std::vector<int> indices;
    for (const TFormPiece* p : list) indices.push_back(p->Index);
    return indices;
  }

  std::vector<int> EdgeClasses() const {
    std::vector<int> classes;
    for (const TFormPiece& p : pieces.Pieces) classes.push_back(p.EdgeClass);
    return classes;
  }

  TPoint At(int index) const { return {pieces.PieceAt(index).X, pieces.PieceAt(index).Y}; }

  // Image and mask sheets with a whole cell per piece, so that pieces can be
  // turned; no overlays.
  void GiveSheets() {
    const int columns = puzzle.Columns;
    const int rows = puzzle.Rows;
    options.OutlineStyle = OutlineNone;
    pieces.ImageSheet = TBitmap(40 * columns, 40 * rows);
    pieces.MaskSheet = TBitmap(40 * columns, 40 * rows, TPixelFormat::Mono);
    for (TFormPiece& p : pieces.Pieces) {
      p.SheetX = 40 * (p.Index % columns);
      p.SheetY = 40 * (p.Index / columns);
    }
  }

  std::vector<int> Rotations() const {
    std::vector<int> turns;
    for (const TFormPiece& p : pieces.Pieces) turns.push_back(p.Rotation);
    return turns;
  }

  // The cells of Arrange at Edge, loose pieces in index order, for pieces
  // spaced pitchX and pitchY apart from the area's top-left.
  std::vector<TPoint> Cells(const TRect& area, int pitchX, int pitchY) const {
    std::vector<TPoint> cells;
    for (const TFormPiece& p : pieces.Pieces) {
      if (p.Joined || p.Placed) continue;
      EXPECT_EQ((p.X - area.Left) % pitchX, 0) << "piece " << p.Index;
      EXPECT_EQ((p.Y - area.Top) % pitchY, 0) << "piece " << p.Index;
      cells.push_back({(p.X - area.Left) / pitchX, (p.Y - area.Top) / pitchY});
    }
    return cells;
  }

  TPuzzleGeometry puzzle;
  TPieceOptions options;
  TPieces pieces{puzzle, options};
};

// The cells of a straight line from a to b, both included.
void AppendLine(std::vector<TPoint>& cells, TPoint a, TPoint b) {
  const int dx = (b.X > a.X) - (b.X < a.X);
  const int dy = (b.Y > a.Y) - (b.Y < a.Y);
  for (TPoint c = a;; c = {c.X + dx, c.Y + dy}) {
    cells.push_back(c);
    if (c == b) break;
  }
}

std::vector<TPoint> Lines(std::initializer_list<std::pair<TPoint, TPoint>> lines) {
  std::vector<TPoint> cells;
  for (const auto& [a, b] : lines) AppendLine(cells, a, b);
  return cells;
}

}  // namespace

// Edge classes --------------------------------------------------------------------------

TEST_F(ArrangeTest, EdgeClassesOfGridsOfEveryShape) {
  auto classes = [&](int columns, int rows) {
    MakeGrid(columns, rows);
    ComputeEdgeClasses(pieces, pieces.AllPieces());
    return EdgeClasses();
  };
  // 0 corner, 1 top, 2 right, 3 bottom, 4 left, 5 interior.
  EXPECT_EQ(classes(4, 3), (std::vector<int>{0, 1, 1, 0, 4, 5, 5, 2, 0, 3, 3, 0}));
  EXPECT_EQ(classes(5, 1), (std::vector<int>{0, 1, 1, 1, 0}));  // one row: no bottom edges
  EXPECT_EQ(classes(1, 4), (std::vector<int>{0, 2, 2, 0}));     // one column: the side counts as right
  EXPECT_EQ(classes(1, 1), (std::vector<int>{0}));
  EXPECT_EQ(classes(2, 2), (std::vector<int>{0, 0, 0, 0}));

  // Only the records of the list change.
  MakeGrid(3, 3);
  for (TFormPiece& p : pieces.Pieces) p.EdgeClass = 9;
  ComputeEdgeClasses(pieces, List({4, 3}));
  EXPECT_EQ(EdgeClasses(), (std::vector<int>{9, 9, 9, 4, 5, 9, 9, 9, 9}));
}

// Sort modes -------------------------------------------------------------------------------

TEST_F(ArrangeTest, SortModeFromTheTwoOptionsAndShapeSortPutsCornersFirst) {
  EXPECT_EQ(ArrangeSortMode(true, true), TSortOrder::ShapeColour);
  EXPECT_EQ(ArrangeSortMode(true, false), TSortOrder::Shape);
  EXPECT_EQ(ArrangeSortMode(false, true), TSortOrder::Colour);
  EXPECT_EQ(ArrangeSortMode(false, false), TSortOrder::Shuffle);

  MakeGrid(4, 3);
  ComputeEdgeClasses(pieces, pieces.AllPieces());
  TPieceList list = pieces.AllPieces();
  std::reverse(list.begin(), list.end());
  // Pitch 60 fits at once: 3 columns, and 1000 x 3 div 60 = 50 >= 12.
  ArrangeInGrid(pieces, list, {0, 0, 199, 999}, ArrangeSortMode(true, false));
  std::set<int> firstFour;
  for (const TFormPiece& p : pieces.Pieces) {
    const int place = (p.Y / 60) * 3 + p.X / 60;
    if (place < 4) firstFour.insert(p.Index);
  }
  EXPECT_EQ(firstFour, (std::set<int>{0, 3, 8, 11}));
  EXPECT_EQ(Indices(list), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));  // stacking order
}

// Scatter ---------------------------------------------------------------------------------

TEST_F(ArrangeTest, ScatterDrawsTurnsPositionAndKeyPerLoosePieceInListOrder) {
  MakeGrid(3, 2);
  GiveSheets();
  puzzle.NextGroupId = 10;
  options.Rotating = true;
  Join({2, 3});
  pieces.PieceAt(5).Placed = true;
  const TRect area{100, 50, 600, 450};
  SetRandSeed(2024);
  TPieceList list = List({5, 2, 0, 3, 1, 4});
  Scatter(pieces, list, area);

  // Half a cell is 20: X within 600 - 100 - 20 + 1 = 481 of the left, Y within
  // 450 - 50 - 20 + 1 = 381 of the top; every such place is already in the area.
  TDraws draws(2024);
  int group = 10;
  for (int i : {5, 0, 1, 4}) {
    const TFormPiece& p = pieces.PieceAt(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(p.Rotation, draws.Next(4));  // turned at once
    EXPECT_EQ(p.PendingTurns, 0);
    EXPECT_EQ(p.X, 100 + draws.Next(481));
    EXPECT_EQ(p.Y, 50 + draws.Next(381));
    EXPECT_EQ(p.ShuffleKey, draws.Next(65535));
    EXPECT_EQ(p.Group, group++);
    EXPECT_FALSE(p.Placed);
    // The position is stored normalised to the area.
    EXPECT_DOUBLE_EQ(p.NormX, 800.0 * (p.X - 100) / 500.0 + 100.0);
  }
  EXPECT_EQ(RandSeed(), draws.State());
  EXPECT_EQ(puzzle.NextGroupId, 14);
  for (int i : {2, 3}) {
    EXPECT_EQ(At(i), (TPoint{1000 + i, 2000}));
    EXPECT_EQ(pieces.PieceAt(i).Group, 2);
    EXPECT_EQ(pieces.PieceAt(i).ShuffleKey, i);
    EXPECT_EQ(pieces.PieceAt(i).Rotation, 0);
  }
  EXPECT_EQ(EdgeClasses(), (std::vector<int>{0, 1, 0, 0, 3, 0}));

  // Without rotation no turns are drawn.
  options.Rotating = false;
  const int turned = pieces.PieceAt(0).Rotation;
  SetRandSeed(5);
  Scatter(pieces, List({0}), area);
  TDraws plain(5);
  EXPECT_EQ(pieces.PieceAt(0).X, 100 + plain.Next(481));
  EXPECT_EQ(pieces.PieceAt(0).Y, 50 + plain.Next(381));
  EXPECT_EQ(pieces.PieceAt(0).ShuffleKey, plain.Next(65535));
  EXPECT_EQ(pieces.PieceAt(0).Rotation, turned);
}

TEST_F(ArrangeTest, ScatterKeepsEveryPieceInTheAreaAndRepeatsFromTheSeed) {
  MakeGrid(10, 10);
  puzzle.CellWidth = 48;
  puzzle.CellHeight = 48;
  for (TFormPiece& p : pieces.Pieces) {
    p.Width = std::uint16_t(20 + (p.Index * 7) % 29);
    p.Height = std::uint16_t(20 + (p.Index * 11) % 29);
  }
  // On a board and a small tray every top-left corner lies in the area with
  // room for half a cell, and no piece sticks out by more than half a cell.
  for (const TRect& area : {TRect{0, 0, 1024, 768}, TRect{300, 200, 380, 260}}) {
    SCOPED_TRACE(area.Left);
    SetRandSeed(77);
    Scatter(pieces, pieces.AllPieces(), area);
    for (const TFormPiece& p : pieces.Pieces) {
      SCOPED_TRACE(p.Index);
      TRect rect = TPieces::PieceRect(p);
      EXPECT_TRUE(p.X >= area.Left && p.X <= area.Right - 24 && p.Y >= area.Top && p.Y <= area.Bottom - 24);
      EXPECT_TRUE(rect.Right <= area.Right + 24 && rect.Bottom <= area.Bottom + 24);
      EXPECT_FALSE(pieces.KeepInArea(rect, area));
    }
  }
  // The same seed gives the same layout, also in an area smaller than half a
  // cell, where every piece still overlaps it.
  for (const TRect& area : {TRect{0, 0, 1024, 768}, TRect{5, 5, 15, 12}}) {
    SCOPED_TRACE(area.Left);
    SetRandSeed(78);
    Scatter(pieces, pieces.AllPieces(), area);
    std::vector<TPoint> first;
    std::vector<int> keys;
    for (const TFormPiece& p : pieces.Pieces) {
      EXPECT_TRUE(TPieces::PieceRect(p).Intersects(area)) << "piece " << p.Index;
      first.push_back(At(p.Index));
      keys.push_back(p.ShuffleKey);
    }
    SetRandSeed(78);
    Scatter(pieces, pieces.AllPieces(), area);
    for (const TFormPiece& p : pieces.Pieces) {
      EXPECT_EQ(At(p.Index), first[std::size_t(p.Index)]);
      EXPECT_EQ(p.ShuffleKey, keys[std::size_t(p.Index)]);
    }
  }
  // On the board the top-left corners are spread over the whole area.
  SetRandSeed(1);
  Scatter(pieces, pieces.AllPieces(), {0, 0, 1024, 768});
  const auto [left, right] = std::minmax_element(pieces.Pieces.begin(), pieces.Pieces.end(),
                                                 [](const TFormPiece& a, const TFormPiece& b) { return a.X < b.X; });
  EXPECT_LT(left->X, 100);
  EXPECT_GT(right->X, 900);
}

// Disarrange -----------------------------------------------------------------------------

TEST_F(ArrangeTest, DisarrangeScattersLoosePiecesAndEndsInStackingOrder) {
  MakeGrid(3, 2);
  Join({0, 1});
  pieces.PieceAt(4).Placed = true;
  puzzle.NextGroupId = 6;
  TPieceList list = List({5, 0, 3, 4, 1, 2});
  SetRandSeed(7);
  Disarrange(pieces, list, {0, 0, 800, 600}, false);
  TDraws draws(7);
  for (int i = 0; i < 4 * 3; ++i) draws.Next(1);
  EXPECT_EQ(RandSeed(), draws.State());  // X, Y and key for each of 5, 3, 4, 2
  EXPECT_EQ(pieces.PieceAt(5).Group, 6);
  EXPECT_EQ(pieces.PieceAt(2).Group, 9);
  EXPECT_FALSE(pieces.PieceAt(4).Placed);
  EXPECT_EQ(At(0), (TPoint{1000, 2000}));
  EXPECT_EQ(At(1), (TPoint{1001, 2000}));
  EXPECT_EQ(Indices(list), (std::vector<int>{0, 1, 5, 3, 4, 2}));
}

TEST_F(ArrangeTest, DisarrangeRotateOnlyTurnsLoosePiecesWhereTheyLie) {
  MakeGrid(3, 2);
  GiveSheets();
  Join({0, 1});
  options.Rotating = true;
  TPieceList list = List({5, 0, 3, 4, 1, 2});
  SetRandSeed(9);
  Disarrange(pieces, list, {0, 0, 800, 600}, true);
  // Turns drawn in list order for 5, 3, 4 and 2; the joined pair keeps its own.
  TDraws draws(9);
  std::vector<int> expected(6, 0);
  for (int i : {5, 3, 4, 2}) expected[std::size_t(i)] = draws.Next(4);
  EXPECT_EQ(Rotations(), expected);
  EXPECT_EQ(RandSeed(), draws.State());
  for (const TFormPiece& p : pieces.Pieces) EXPECT_EQ(At(p.Index), (TPoint{1000 + p.Index, 2000}));
  EXPECT_EQ(Indices(list), (std::vector<int>{0, 1, 2, 3, 4, 5}));

  // An empty tray: nothing happens, nothing is drawn.
  const std::uint32_t seed = RandSeed();
  TPieceList none;
  Disarrange(pieces, none, {0, 0, 800, 600}, false);
  EXPECT_EQ(RandSeed(), seed);
}

// Arrange in Grid ----------------------------------------------------------------------------

TEST_F(ArrangeTest, GridPitchShrinksUntilThePiecesFit) {
  // Edge classes of 5 x 2: corners 0, 4, 5, 9; top 1, 2, 3; bottom 6, 7, 8.
  // Colour keys 10 - index decide within a class: 9 5 4 0 | 3 2 1 | 8 7 6.
  MakeGrid(5, 2);
  ComputeEdgeClasses(pieces, pieces.AllPieces());
  for (TFormPiece& p : pieces.Pieces) p.ColourKey = std::uint32_t(10 - p.Index);
  Join({0, 1});
  pieces.PieceAt(9).Placed = true;
  // W = 200, H = 120. Seven loose pieces. Pitch 60 gives 3 columns and 360
  // div 60 = 6 < 7; 59 ... 52 give 6 as well; 51 gives 360 div 51 = 7.
  const TRect area{10, 20, 209, 139};
  TPieceList list = pieces.AllPieces();
  std::reverse(list.begin(), list.end());
  ArrangeInGrid(pieces, list, area, TSortOrder::ShapeColour);
  const std::vector<std::pair<int, TPoint>> expected{{5, {10, 20}},  {4, {61, 20}},  {3, {112, 20}}, {2, {10, 71}},
                                                     {8, {61, 71}},  {7, {112, 71}}, {6, {10, 122}}};
  for (const auto& [i, at] : expected) EXPECT_EQ(At(i), at) << "piece " << i;
  for (int i : {0, 1, 9}) EXPECT_EQ(At(i), (TPoint{1000 + i, 2000})) << "piece " << i;
  EXPECT_EQ(Indices(list), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

  // Six fit at the full pitch of one and a half cells.
  pieces.PieceAt(6).Placed = true;
  ArrangeInGrid(pieces, list, area, TSortOrder::ShapeColour);
  const std::vector<std::pair<int, TPoint>> full{{5, {10, 20}}, {4, {70, 20}}, {3, {130, 20}},
                                                 {2, {10, 80}}, {8, {70, 80}}, {7, {130, 80}}};
  for (const auto& [i, at] : full) EXPECT_EQ(At(i), at) << "piece " << i;

  // An area of one pixel holds nothing at any pitch: everything goes to its corner.
  ArrangeInGrid(pieces, list, {3, 4, 3, 4}, TSortOrder::Shuffle);
  for (int i : {2, 3, 4, 5, 7, 8}) EXPECT_EQ(At(i), (TPoint{3, 4}));
}

// Arrange at Edge -------------------------------------------------------------------------------

TEST_F(ArrangeTest, EdgeRingsWithBandsTwoDeepAllRound) {
  // Cells of 40: first pitch 50, a middle of the picture's full size down to
  // pitch 30. Area 500 x 400, picture
  // 200 x 100. At pitch 50: 10 x 8 cells; side bands (500 - 50 - 200) div 50 =
  // 5 -> 4 columns, end bands (400 - 50 - 100) div 50 = 5 -> 4 rows; they hold
  // 4 x 10 + 4 x 4 = 56 pieces.
  MakeGrid(10, 6);
  puzzle.CutWidth = 200;
  puzzle.CutHeight = 100;
  Join({10, 11});
  pieces.PieceAt(20).Placed = true;
  pieces.PieceAt(30).Placed = true;
  const TRect area{0, 0, 499, 399};
  TPieceList list = pieces.AllPieces();
  ArrangeAtEdge(pieces, list, area, TSortOrder::Shuffle);
  const std::vector<TPoint> expected = Lines({{{0, 0}, {9, 0}}, {{9, 1}, {9, 7}}, {{8, 7}, {0, 7}}, {{0, 6}, {0, 1}},
                                              {{1, 1}, {8, 1}}, {{8, 2}, {8, 6}}, {{7, 6}, {1, 6}}, {{1, 5}, {1, 2}}});
  ASSERT_EQ(expected.size(), 56u);
  EXPECT_EQ(Cells(area, 50, 50), expected);
  for (int i : {10, 11, 20, 30}) EXPECT_EQ(At(i), (TPoint{1000 + i, 2000})) << "piece " << i;
}

TEST_F(ArrangeTest, EdgeRingsCrossSidesWhoseBandIsUsedUp) {
  MakeGrid(11, 4);
  puzzle.CutWidth = 200;
  puzzle.CutHeight = 200;
  // End bands (400 - 50 - 200) div 50 = 3 -> 2 rows, side bands 4 columns:
  // 2 x 10 + 6 x 4 = 44. The second ring has only its side columns.
  const TRect area{0, 0, 499, 399};
  TPieceList list = pieces.AllPieces();
  ArrangeAtEdge(pieces, list, area, TSortOrder::Shuffle);
  EXPECT_EQ(Cells(area, 50, 50), Lines({{{0, 0}, {9, 0}}, {{9, 1}, {9, 7}}, {{8, 7}, {0, 7}}, {{0, 6}, {0, 1}},
                                        {{8, 1}, {8, 6}}, {{1, 6}, {1, 1}}}));

  // Side bands (500 - 50 - 300) div 50 = 3 -> 2 columns, end bands 4 rows:
  // 4 x 10 + 4 x 2 = 48. The second ring has only its top and bottom rows.
  MakeGrid(12, 4);
  puzzle.CutWidth = 300;
  puzzle.CutHeight = 100;
  list = pieces.AllPieces();
  ArrangeAtEdge(pieces, list, area, TSortOrder::Shuffle);
  EXPECT_EQ(Cells(area, 50, 50), Lines({{{0, 0}, {9, 0}}, {{9, 1}, {9, 7}}, {{8, 7}, {0, 7}}, {{0, 6}, {0, 1}},
                                        {{1, 1}, {8, 1}}, {{8, 6}, {1, 6}}}));
}

TEST_F(ArrangeTest, EdgePitchSearchAndTheFreeMiddle) {
  // 57 pieces do not fit at pitches 50 to 46 (10 x 8 cells, bands 4 and 4:
  // 56). At 45: 11 x 8 cells, bands (500 - 45 - 200) div 45 = 5 -> 4 and 4:
  // 4 x 11 + 4 x 4 = 60. Pitches 500 div 11 = 45 across and 400 div 8 = 50 down.
  MakeGrid(19, 3);
  puzzle.CutWidth = 200;
  puzzle.CutHeight = 100;
  const TRect area{0, 0, 499, 399};
  TPieceList list = pieces.AllPieces();
  ArrangeAtEdge(pieces, list, area, TSortOrder::Shuffle);
  std::vector<TPoint> expected = Lines({{{0, 0}, {10, 0}}, {{10, 1}, {10, 7}}, {{9, 7}, {0, 7}}, {{0, 6}, {0, 1}},
                                        {{1, 1}, {9, 1}}, {{9, 2}, {9, 6}}, {{8, 6}, {1, 6}}, {{1, 5}, {1, 2}}});
  expected.resize(57);
  EXPECT_EQ(Cells(area, 45, 50), expected);

  // 169 pieces need a pitch below three quarters of a cell, where the middle
  // shrinks with the pitch: 168 fit at 30, and at 29 there are 17 x 13 cells,
  // side bands (500 - 29 x 200 div 50) div 29 = 13 -> 12 columns and end bands
  // (400 - 58) div 29 = 11 -> 10 rows: 10 x 17 + 3 x 12 = 206 places around a
  // free middle of columns 6 to 10 and rows 5 to 7. Pitches 29 and 30.
  MakeGrid(13, 13);
  puzzle.CutWidth = 200;
  puzzle.CutHeight = 100;
  list = pieces.AllPieces();
  ArrangeAtEdge(pieces, list, area, TSortOrder::Shuffle);
  std::set<std::pair<int, int>> taken;
  for (const TPoint& c : Cells(area, 29, 30)) {
    EXPECT_TRUE(c.X >= 0 && c.X < 17 && c.Y >= 0 && c.Y < 13) << c.X << "," << c.Y;
    EXPECT_FALSE(c.X >= 6 && c.X <= 10 && c.Y >= 5 && c.Y <= 7) << c.X << "," << c.Y;
    EXPECT_TRUE(taken.insert({c.X, c.Y}).second) << c.X << "," << c.Y;
  }
  EXPECT_EQ(taken.size(), 169u);
  EXPECT_TRUE(taken.count({0, 0}) && taken.count({16, 0}) && taken.count({16, 12}) && taken.count({0, 12}));
}

TEST_F(ArrangeTest, EdgeInAnAreaNarrowerThanOnePitch) {
  // 30 wide: no whole column at pitch 60, yet the side bands hold all five.
  // They go down the left side, 1000 div 16 = 62 apart.
  MakeGrid(5, 1);
  puzzle.CellWidth = 48;
  puzzle.CutWidth = 200;
  puzzle.CutHeight = 300;
  TPieceList list = pieces.AllPieces();
  ArrangeAtEdge(pieces, list, {0, 0, 29, 999}, TSortOrder::Shuffle);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(At(i), (TPoint{0, 62 * i}));

  TPieceList none;
  ArrangeAtEdge(pieces, none, {0, 0, 29, 999}, TSortOrder::Shuffle);
  ArrangeInGrid(pieces, none, {0, 0, 29, 999}, TSortOrder::Shuffle);
}
