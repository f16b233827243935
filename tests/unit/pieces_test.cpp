#include "pieces/pieces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/errors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A piece set that notes the effects it plays.
class TTestPieces : public TPieces {
 public:
  TTestPieces(TPuzzleGeometry& puzzle, TPieceOptions& options) : TPieces(puzzle, options) {}
  std::vector<int> Effects;

 protected:
  void PlayEffect(int effect) override { Effects.push_back(effect); }
};

class PiecesTest : public ::testing::Test {
 protected:
  // A grid of square 40-pixel pieces at home positions 40 apart, each loose in
  // a group of its own, laid out at (100, 100) as if solved.
  void MakeGrid(int columns, int rows) {
    puzzle.Columns = std::uint16_t(columns);
    puzzle.Rows = std::uint16_t(rows);
    puzzle.PieceCount = std::uint16_t(columns * rows);
    puzzle.CellWidth = 48;
    puzzle.CellHeight = 48;
    puzzle.PictureWidth = 800;
    puzzle.PictureHeight = 600;
    pieces.CreatePieces();
    for (TFormPiece& p : pieces.Pieces) {
      p.HomeX = 40 * (p.Index % columns);
      p.HomeY = 40 * (p.Index / columns);
      p.Width = 40;
      p.Height = 40;
      p.X = 100 + p.HomeX;
      p.Y = 100 + p.HomeY;
      p.Group = p.Index;
    }
    puzzle.NextGroupId = puzzle.PieceCount;
  }

  // Makes the listed pieces one group (the first one's number), joined.
  void Group(std::initializer_list<int> members) {
    const int group = pieces.PieceAt(*members.begin()).Group;
    for (int i : members) {
      pieces.PieceAt(i).Group = group;
      pieces.PieceAt(i).Joined = true;
    }
    puzzle.SolvedCount = std::uint16_t(std::count_if(pieces.Pieces.begin(), pieces.Pieces.end(),
                                                     [](const TFormPiece& p) { return p.Joined; }));
  }

  // The two facts the rest of the program relies on.
  void ExpectCountsTrue() {
    int joined = 0;
    for (const TFormPiece& p : pieces.Pieces) {
      joined += p.Joined;
      if (p.Joined) {
        EXPECT_GE(pieces.GroupSize(p), 2) << "piece " << p.Index << " joined but alone";
      }
    }
    EXPECT_EQ(puzzle.SolvedCount, joined);
  }

  std::vector<int> Groups() const {
    std::vector<int> groups;
    for (const TFormPiece& p : pieces.Pieces) groups.push_back(p.Group);
    return groups;
  }

  TPieceList List(std::initializer_list<int> indices) {
    TPieceList list;
    for (int i : indices) list.push_back(&pieces.PieceAt(i));
    return list;
  }

  TPuzzleGeometry puzzle;
  TPieceOptions options;
  TTestPieces pieces{puzzle, options};
};

TFormPiece Piece(int homeX, int homeY, int x, int y, int width, int height, int rotation) {
  TFormPiece p;
  p.HomeX = homeX;
  p.HomeY = homeY;
  p.X = x;
  p.Y = y;
  p.Width = std::uint16_t(width);
  p.Height = std::uint16_t(height);
  p.Rotation = std::uint8_t(rotation);
  return p;
}

}  // namespace

TEST_F(PiecesTest, CreateAndFreeRecords) {
  MakeGrid(3, 2);
  ASSERT_EQ(pieces.Pieces.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(pieces.PieceAt(i).Index, i);
  pieces.PieceAt(2).RimSprite = Bytes(10, 1);
  pieces.FreePieces();
  EXPECT_TRUE(pieces.Pieces.empty());
  pieces.FreePieces();  // no list: nothing to do
  pieces.CreatePieces();
  EXPECT_TRUE(pieces.PieceAt(2).RimSprite.empty());
  EXPECT_EQ(pieces.PieceAt(5).Group, 0);
}

TEST_F(PiecesTest, HomeNeighboursStopAtTheGridsEdges) {
  MakeGrid(3, 2);  // 0 1 2 / 3 4 5
  auto around = [&](int i) {
    std::vector<int> n;
    for (int d = 0; d < 4; ++d) n.push_back(pieces.HomeNeighbour(i, d));
    return n;
  };
  EXPECT_EQ(around(0), (std::vector<int>{-1, 1, 3, -1}));
  EXPECT_EQ(around(2), (std::vector<int>{-1, -1, 5, 1}));
  EXPECT_EQ(around(4), (std::vector<int>{1, 5, -1, 3}));
  EXPECT_EQ(around(5), (std::vector<int>{2, -1, -1, 4}));

  MakeGrid(4, 1);  // one row
  EXPECT_EQ(around(0), (std::vector<int>{-1, 1, -1, -1}));
  EXPECT_EQ(around(2), (std::vector<int>{-1, 3, -1, 1}));
  EXPECT_EQ(around(3), (std::vector<int>{-1, -1, -1, 2}));

  MakeGrid(1, 4);  // one column
  EXPECT_EQ(around(0), (std::vector<int>{-1, -1, 1, -1}));
  EXPECT_EQ(around(1), (std::vector<int>{0, -1, 2, -1}));
  EXPECT_EQ(around(3), (std::vector<int>{2, -1, -1, -1}));
}

TEST(PieceGeometry, ExpectedPosTurnsTheHomeLayoutAboutTheGroup) {
  // At home b is 35 x 30 at (0, 0) and a is 40 x 25 at (30, 5); b lies at
  // (100, 200). Odd turns swap both pieces' sizes.
  const TFormPiece b0 = Piece(0, 0, 100, 200, 35, 30, 0);
  const TFormPiece a0 = Piece(30, 5, 0, 0, 40, 25, 0);
  EXPECT_EQ(TPieces::ExpectedPos(a0, b0), (TPoint{130, 205}));

  // One turn: home (x, y) of b shows at (100 + 30 - 1 - y, 200 + x), so a's
  // box (30..69, 5..29) covers x 100..124 and starts at y 230.
  const TFormPiece b1 = Piece(0, 0, 100, 200, 30, 35, 1);
  const TFormPiece a1 = Piece(30, 5, 0, 0, 25, 40, 1);
  EXPECT_EQ(TPieces::ExpectedPos(a1, b1), (TPoint{100, 230}));

  // Two turns: (100 + 35 - 30 - 40, 200 + 30 - 5 - 25).
  const TFormPiece b2 = Piece(0, 0, 100, 200, 35, 30, 2);
  const TFormPiece a2 = Piece(30, 5, 0, 0, 40, 25, 2);
  EXPECT_EQ(TPieces::ExpectedPos(a2, b2), (TPoint{65, 200}));

  // Three turns: (100 + 5, 200 + 35 - 30 - 40).
  const TFormPiece b3 = Piece(0, 0, 100, 200, 30, 35, 3);
  TFormPiece a3 = Piece(30, 5, 0, 0, 25, 40, 3);
  EXPECT_EQ(TPieces::ExpectedPos(a3, b3), (TPoint{105, 165}));

  TPieces::AlignTo(a3, b3);
  EXPECT_EQ(TPieces::HomePoint(a3), (TPoint{30, 5}));
  EXPECT_EQ(TPieces::PieceRect(a3), (TRect{105, 165, 130, 205}));

  // The relation is symmetric: b expected from a lands back where b is.
  EXPECT_EQ(TPieces::ExpectedPos(b3, a3), (TPoint{100, 200}));
}

TEST_F(PiecesTest, NormalisedPositionsFollowTheAreaAndRoundTiesToEven) {
  MakeGrid(2, 1);  // picture 800 x 600
  TFormPiece& p = pieces.PieceAt(0);
  const TRect area{10, 20, 410, 320};  // 400 x 300

  pieces.SetPosition(p, 110, 170, area);
  EXPECT_EQ(p.X, 110);
  EXPECT_DOUBLE_EQ(p.NormX, 800.0 * 100 / 400 + 10);  // 210
  EXPECT_DOUBLE_EQ(p.NormY, 600.0 * 150 / 300 + 20);  // 320
  pieces.RestoreNormalised(p, {10, 20, 810, 620});     // twice the size
  EXPECT_EQ(p.X, 10 + 200);
  EXPECT_EQ(p.Y, 20 + 300);

  // Halves go to the even neighbour: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
  const TRect half{0, 0, 400, 300};  // positions scale by one half
  for (auto [norm, expected] : {std::pair{5.0, 2}, {7.0, 4}, {-5.0, -2}, {1.0, 0}, {3.0, 2}}) {
    p.NormX = norm;
    p.NormY = norm;
    pieces.RestoreNormalised(p, half);
    EXPECT_EQ(p.X, expected) << norm;
    EXPECT_EQ(p.Y, expected) << norm;
  }
  // The area's left edge is subtracted before scaling and added after.
  p.NormX = 15.0;  // (15 - 10) x 400 / 800 = 2.5 -> 2
  pieces.RestoreNormalised(p, area);
  EXPECT_EQ(p.X, 12);

  // Saved numbers of any size give a position, not an overflow.
  p.NormX = 1e30;
  p.NormY = -1e30;
  pieces.RestoreNormalised(p, area);
  EXPECT_GT(p.X, 1 << 20);
  EXPECT_LT(p.Y, -(1 << 20));

  // An area without extent keeps the stored proportions.
  p.NormX = 123.0;
  pieces.SetPosition(p, 50, 60, {10, 10, 10, 10});
  EXPECT_EQ(p.NormX, 123.0);
}

TEST_F(PiecesTest, StoreGroupNormalisedTouchesOnlyGroupLeaders) {
  MakeGrid(3, 1);
  Group({0, 1});
  for (TFormPiece& p : pieces.Pieces) p.NormX = -1;
  pieces.StoreGroupNormalised(pieces.AllPieces(), {0, 0, 800, 600});
  EXPECT_EQ(pieces.PieceAt(0).NormX, 100.0);
  EXPECT_EQ(pieces.PieceAt(1).NormX, -1.0);
  EXPECT_EQ(pieces.PieceAt(2).NormX, 180.0);
}

TEST_F(PiecesTest, HitTestReadsTheMaskBlackInside) {
  MakeGrid(2, 1);
  pieces.MaskSheet = TBitmap(16, 8, TPixelFormat::Mono);
  pieces.MaskSheet.Fill(RGBColor(255, 255, 255));
  pieces.MaskSheet.SetPixel(9, 1, 0);  // piece 1's cell starts at column 8
  TFormPiece& p = pieces.PieceAt(1);
  p.SheetX = 8;
  p.X = 100;
  p.Y = 50;
  p.Width = 8;
  p.Height = 8;
  EXPECT_TRUE(pieces.HitTest(p, 101, 51));
  EXPECT_FALSE(pieces.HitTest(p, 100, 51));
  EXPECT_FALSE(pieces.HitTest(p, 101, 50));
  EXPECT_FALSE(pieces.HitTest(p, 99, 51));  // outside the piece: never on it
  // A cell reaching past the sheet reads nothing outside it.
  p.SheetX = 12;
  EXPECT_FALSE(pieces.HitTest(p, 106, 51));
}

TEST_F(PiecesTest, BringToFrontNumbersGroupsAboveEverything) {
  MakeGrid(3, 2);
  for (int i = 0; i < 6; ++i) pieces.PieceAt(i).Group = std::vector{3, 3, 5, 7, 1, 2}[std::size_t(i)];
  puzzle.NextGroupId = 10;
  pieces.BringToFront(List({0, 1, 2, 3}));
  EXPECT_EQ(Groups(), (std::vector<int>{10, 10, 11, 12, 1, 2}));
  EXPECT_EQ(puzzle.NextGroupId, 13);

  pieces.BringToFront({});
  EXPECT_EQ(puzzle.NextGroupId, 13);
}

TEST_F(PiecesTest, SendGroupToBackRenumbersEveryOtherPiece) {
  MakeGrid(2, 2);
  for (int i = 0; i < 4; ++i) pieces.PieceAt(i).Group = std::vector{0, 0, 1, 2}[std::size_t(i)];
  puzzle.NextGroupId = 3;
  pieces.SendGroupToBack(pieces.PieceAt(1));  // already at the bottom
  EXPECT_EQ(Groups(), (std::vector<int>{0, 0, 2, 3}));
  EXPECT_EQ(puzzle.NextGroupId, 4);

  pieces.SendGroupToBack(pieces.PieceAt(3));
  EXPECT_EQ(Groups(), (std::vector<int>{1, 1, 3, 0}));
  EXPECT_EQ(puzzle.NextGroupId, 5);
  EXPECT_EQ(pieces.GroupSize(pieces.PieceAt(0)), 2);
  EXPECT_EQ(pieces.GroupSize(pieces.PieceAt(3)), 1);
}

TEST_F(PiecesTest, SortListByEachKey) {
  MakeGrid(3, 2);
  auto& p = pieces.Pieces;
  const std::vector<int> group{4, 2, 4, 1, 2, 0};
  const std::vector<int> edge{5, 0, 1, 0, 5, 1};
  const std::vector<std::uint32_t> colour{0x40000001, 0x00FFFFFF, 0x40000000, 0x40000002, 7, 0x00000100};
  const std::vector<int> shuffle{9, 65534, 0, 5, 3, 100};
  for (std::size_t i = 0; i < 6; ++i) {
    p[i].Group = group[i];
    p[i].EdgeClass = std::uint8_t(edge[i]);
    p[i].ColourKey = colour[i];
    p[i].ShuffleKey = std::uint16_t(shuffle[i]);
  }
  auto sorted = [&](TSortOrder order) {
    TPieceList list = pieces.AllPieces();
    std::reverse(list.begin(), list.end());
    TPieces::SortList(list, order);
    std::vector<int> indices;
    for (const TFormPiece* q : list) indices.push_back(q->Index);
    return indices;
  };
  EXPECT_EQ(sorted(TSortOrder::Stacking), (std::vector<int>{5, 3, 1, 4, 0, 2}));
  EXPECT_EQ(sorted(TSortOrder::Colour), (std::vector<int>{4, 5, 1, 2, 0, 3}));  // ranks after plain colours
  EXPECT_EQ(sorted(TSortOrder::ShapeColour), (std::vector<int>{1, 3, 5, 2, 4, 0}));
  EXPECT_EQ(sorted(TSortOrder::Shuffle), (std::vector<int>{2, 4, 3, 0, 5, 1}));
  const std::vector<int> byShape = sorted(TSortOrder::Shape);
  std::vector<int> classes;
  for (int i : byShape) classes.push_back(edge[std::size_t(i)]);
  EXPECT_EQ(classes, (std::vector<int>{0, 0, 1, 1, 5, 5}));

  TPieceList none;
  TPieces::SortList(none, TSortOrder::Stacking);
  EXPECT_TRUE(none.empty());
}

TEST_F(PiecesTest, SetHiddenAndPlacedSetTheWholeList) {
  MakeGrid(2, 2);
  TPieces::SetHidden(List({1, 2}), true);
  TPieces::SetPlaced(List({2, 3}), true);
  EXPECT_FALSE(pieces.PieceAt(0).Hidden);
  EXPECT_TRUE(pieces.PieceAt(1).Hidden && pieces.PieceAt(2).Hidden);
  EXPECT_TRUE(pieces.PieceAt(2).Placed && pieces.PieceAt(3).Placed);
  EXPECT_FALSE(pieces.PieceAt(1).Placed);
}

TEST_F(PiecesTest, NeighbourSlotsGiveSnapRectanglesAndComplete) {
  MakeGrid(2, 2);  // 0 1 / 2 3
  options.SnapDivisor = 4;
  pieces.PieceAt(1).X += 30;  // the right neighbour lies 30 pixels off
  Group({0, 2});
  const TNeighbourSlots found = pieces.NeighbourSlots(0);
  EXPECT_EQ(found[DirectionUp].Piece, nullptr);
  EXPECT_EQ(found[DirectionLeft].Piece, nullptr);
  ASSERT_EQ(found[DirectionRight].Piece, &pieces.PieceAt(1));
  ASSERT_EQ(found[DirectionDown].Piece, &pieces.PieceAt(2));
  // Tolerance 48 div 4 = 12 around where piece 0 must be for each neighbour.
  EXPECT_EQ(found[DirectionRight].SnapRect, (TRect{130 - 12, 100 - 12, 130 + 12, 100 + 12}));
  EXPECT_EQ(found[DirectionDown].SnapRect, (TRect{100 - 12, 100 - 12, 100 + 12, 100 + 12}));
  EXPECT_FALSE(pieces.PieceAt(0).Complete);  // 1 is in another group

  Group({0, 1, 2});
  pieces.NeighbourSlots(0);
  EXPECT_TRUE(pieces.PieceAt(0).Complete);
}

TEST_F(PiecesTest, JoiningALoosePieceMovesThatPiece) {
  MakeGrid(2, 2);
  TFormPiece& a = pieces.PieceAt(0);
  TFormPiece& b = pieces.PieceAt(1);
  a.X = 100, a.Y = 100;
  b.X = 150, b.Y = 103;  // expected for a: (110, 103), so b moves by (-10, -3)
  TRect dirty;
  pieces.JoinPieces(a, b, dirty);
  EXPECT_EQ(TPieces::PieceRect(a), (TRect{100, 100, 140, 140}));
  EXPECT_EQ(TPieces::PieceRect(b), (TRect{140, 100, 180, 140}));
  EXPECT_EQ(b.Group, a.Group);
  EXPECT_TRUE(a.Joined && b.Joined);
  EXPECT_EQ(puzzle.SolvedCount, 2);
  EXPECT_EQ(dirty, (TRect{140, 100, 190, 143}));
  EXPECT_EQ(pieces.Effects, (std::vector<int>{1}));
  EXPECT_FALSE(pieces.AllJoined);

  // A joined moving piece adds only the loose one; with Wood the dirty area
  // reaches down over the side.
  options.OutlineStyle = OutlineWood;
  pieces.Thickness = 5;
  TFormPiece& c = pieces.PieceAt(3);
  c.X = 200, c.Y = 200;  // expected for b: (140, 140), so c moves by (-60, -60)
  TRect woodDirty;
  pieces.JoinPieces(b, c, woodDirty);
  EXPECT_EQ(TPieces::HomePoint(c), (TPoint{40, 40}));
  EXPECT_EQ(TPieces::PieceRect(c), (TRect{140, 140, 180, 180}));
  EXPECT_EQ(puzzle.SolvedCount, 3);
  EXPECT_EQ(woodDirty, (TRect{140, 140, 240, 240 + 5}));
  ExpectCountsTrue();
}

TEST_F(PiecesTest, JoiningOntoAGroupPullsTheMovingGroupAndLastJoinSetsAllJoined) {
  MakeGrid(2, 2);
  Group({0, 1});  // at home-consistent places from (100, 100)
  // 2 and 3 form a group elsewhere, in their home relation to each other.
  TFormPiece& a = pieces.PieceAt(2);
  TFormPiece& d = pieces.PieceAt(3);
  a.X = 300, a.Y = 310;
  d.X = 340, d.Y = 310;
  Group({2, 3});
  const int fixedGroup = pieces.PieceAt(0).Group;
  TRect dirty;
  pieces.JoinPieces(a, pieces.PieceAt(0), dirty);  // a belongs at (100, 140): shift (-200, -170)
  EXPECT_EQ(TPieces::PieceRect(a), (TRect{100, 140, 140, 180}));
  EXPECT_EQ(TPieces::PieceRect(d), (TRect{140, 140, 180, 180}));
  EXPECT_EQ(TPieces::PieceRect(pieces.PieceAt(0)), (TRect{100, 100, 140, 140}));  // b's group stays
  for (const TFormPiece& p : pieces.Pieces) EXPECT_EQ(p.Group, fixedGroup);
  EXPECT_EQ(dirty, (TRect{100, 140, 380, 350}));
  EXPECT_EQ(puzzle.SolvedCount, 4);
  EXPECT_TRUE(pieces.AllJoined);
  ExpectCountsTrue();
}

TEST_F(PiecesTest, DetachPieceKeepsTheCountsTrue) {
  MakeGrid(3, 2);  // 0 1 2 / 3 4 5
  // Taking one piece out of a pair leaves its partner alone, and loose.
  Group({0, 1});
  Group({3, 4});
  pieces.PieceAt(1).Placed = true;
  pieces.PieceAt(3).Placed = true;
  const int next = puzzle.NextGroupId;
  pieces.DetachPiece(pieces.PieceAt(0));
  EXPECT_EQ(pieces.PieceAt(0).Group, next);
  EXPECT_EQ(puzzle.NextGroupId, next + 1);
  EXPECT_FALSE(pieces.PieceAt(0).Joined);
  EXPECT_FALSE(pieces.PieceAt(1).Joined);
  EXPECT_FALSE(pieces.PieceAt(1).Placed);
  // The neighbour below is in another pair, which stays joined.
  EXPECT_TRUE(pieces.PieceAt(3).Joined);
  EXPECT_TRUE(pieces.PieceAt(3).Placed);
  EXPECT_EQ(puzzle.SolvedCount, 2);
  ExpectCountsTrue();

  // Out of a group of three: the other two stay joined; the neighbours of the
  // piece taken out are no longer complete.
  Group({0, 1, 2});
  for (TFormPiece& p : pieces.Pieces) p.Complete = true;
  pieces.DetachPiece(pieces.PieceAt(1));
  EXPECT_TRUE(pieces.PieceAt(0).Joined && pieces.PieceAt(2).Joined);
  EXPECT_FALSE(pieces.PieceAt(1).Joined || pieces.PieceAt(1).Complete);
  EXPECT_FALSE(pieces.PieceAt(0).Complete || pieces.PieceAt(2).Complete || pieces.PieceAt(4).Complete);
  EXPECT_TRUE(pieces.PieceAt(3).Complete && pieces.PieceAt(5).Complete);
  EXPECT_EQ(puzzle.SolvedCount, 4);
  ExpectCountsTrue();

  // A loose piece only gets a group of its own on top.
  pieces.DetachPiece(pieces.PieceAt(5));
  EXPECT_EQ(puzzle.SolvedCount, 4);
  EXPECT_EQ(pieces.PieceAt(5).Group, puzzle.NextGroupId - 1);
  ExpectCountsTrue();

  // Unlocking every piece brings the count to zero.
  for (TFormPiece& p : pieces.Pieces) pieces.DetachPiece(p);
  EXPECT_EQ(puzzle.SolvedCount, 0);
  ExpectCountsTrue();
}

TEST_F(PiecesTest, NeighbourTowardAPoint) {
  MakeGrid(3, 3);  // 0 1 2 / 3 4 5 / 6 7 8; piece 4 at (140, 140), centre (160, 160)
  const TFormPiece& p = pieces.PieceAt(4);
  EXPECT_EQ(pieces.NeighbourToward(p, {170, 170}), &pieces.PieceAt(5));  // diagonal: horizontal
  EXPECT_EQ(pieces.NeighbourToward(p, {150, 170}), &pieces.PieceAt(3));
  EXPECT_EQ(pieces.NeighbourToward(p, {160, 100}), &pieces.PieceAt(1));
  EXPECT_EQ(pieces.NeighbourToward(p, {161, 200}), &pieces.PieceAt(7));

  // Turned once: right on screen is up at home, down on screen is right.
  pieces.PieceAt(4).Rotation = 1;
  EXPECT_EQ(pieces.NeighbourToward(p, {250, 160}), &pieces.PieceAt(1));
  EXPECT_EQ(pieces.NeighbourToward(p, {160, 250}), &pieces.PieceAt(5));

  // A neighbour already in the group gives way to the first other one in the
  // order up, right, down, left.
  Group({4, 1});
  EXPECT_EQ(pieces.NeighbourToward(p, {250, 160}), &pieces.PieceAt(5));
  Group({4, 1, 3, 5, 7});
  EXPECT_EQ(pieces.NeighbourToward(p, {250, 160}), nullptr);
}

TEST_F(PiecesTest, KeepInAreaBringsFarRectanglesBack) {
  MakeGrid(1, 1);
  puzzle.CellWidth = 40;
  puzzle.CellHeight = 40;  // half a cell: 20
  const TRect area{0, 0, 400, 300};

  // Far beyond the top-left, nearer on y: y comes back until its top is half a
  // cell outside, x only until half a cell of it overlaps.
  TRect r{-1000, -500, -950, -450};
  EXPECT_TRUE(pieces.KeepInArea(r, area));
  EXPECT_EQ(r, (TRect{-30, -20, 20, 30}));

  // Nearer on x.
  r = {-100, -1000, -50, -950};
  EXPECT_TRUE(pieces.KeepInArea(r, area));
  EXPECT_EQ(r, (TRect{-20, -30, 30, 20}));

  // Equal overshoot: x comes back fully.
  r = {-520, -520, -500, -500};
  EXPECT_TRUE(pieces.KeepInArea(r, area));
  EXPECT_EQ(r, (TRect{-20, 0, 0, 20}));

  // Far beyond the bottom-right.
  r = {1000, 800, 1050, 850};
  EXPECT_TRUE(pieces.KeepInArea(r, area));
  EXPECT_EQ(r, (TRect{380, 270, 430, 320}));

  // Out on one side only.
  r = {100, -100, 150, -50};
  EXPECT_TRUE(pieces.KeepInArea(r, area));
  EXPECT_EQ(r, (TRect{100, -30, 150, 20}));

  r = {100, 100, 150, 150};
  EXPECT_FALSE(pieces.KeepInArea(r, area));
  EXPECT_EQ(r, (TRect{100, 100, 150, 150}));
}

TEST_F(PiecesTest, KeepOnBoardLetsPiecesStickOutHalfACell) {
  MakeGrid(1, 1);
  puzzle.CellWidth = 40;
  puzzle.CellHeight = 40;
  options.PlayWidth = 640;
  options.PlayHeight = 480;
  TRect r{-50, -50, -10, -10};
  EXPECT_TRUE(pieces.KeepOnBoard(r));
  EXPECT_EQ(r, (TRect{-20, -20, 20, 20}));
  r = {700, 470, 740, 510};
  EXPECT_TRUE(pieces.KeepOnBoard(r));
  EXPECT_EQ(r, (TRect{620, 460, 660, 500}));
  r = {-20, -20, 20, 20};
  EXPECT_FALSE(pieces.KeepOnBoard(r));
}

TEST_F(PiecesTest, AnyInsideAreaProbesFromBothEnds) {
  MakeGrid(5, 1);  // cells of 48: the area shrinks by 24 on each side
  const TRect area{0, 0, 400, 300};
  for (TFormPiece& p : pieces.Pieces) p.X = -100;  // all outside
  EXPECT_EQ(pieces.AnyInsideArea(pieces.AllPieces(), area), nullptr);
  EXPECT_EQ(pieces.AnyInsideArea({}, area), nullptr);

  // Order of probing: 0, 4, 1, 3, 2.
  pieces.PieceAt(1).X = 0;  // 0..40 reaches 16 pixels into the shrunk area
  pieces.PieceAt(4).X = 0;
  EXPECT_EQ(pieces.AnyInsideArea(pieces.AllPieces(), area), &pieces.PieceAt(4));
  pieces.PieceAt(4).X = -16;  // ends at 24, where the shrunk area starts: not inside
  EXPECT_EQ(pieces.AnyInsideArea(pieces.AllPieces(), area), &pieces.PieceAt(1));
  pieces.PieceAt(1).X = -100;
  pieces.PieceAt(2).X = 0;  // the middle one of five comes last
  pieces.PieceAt(3).X = 0;
  EXPECT_EQ(pieces.AnyInsideArea(pieces.AllPieces(), area), &pieces.PieceAt(3));
  pieces.PieceAt(3).X = -100;
  EXPECT_EQ(pieces.AnyInsideArea(pieces.AllPieces(), area), &pieces.PieceAt(2));
}

TEST_F(PiecesTest, RelayoutGroupsRestoresLeadersAlignsMembersAndKeepsGroupsInView) {
  MakeGrid(3, 1);
  puzzle.CellWidth = 40;
  puzzle.CellHeight = 40;
  Group({0, 1});
  TFormPiece& leader = pieces.PieceAt(0);
  leader.NormX = 400;  // half of the 800-wide picture
  leader.NormY = 300;
  pieces.PieceAt(1).X = 999;  // out of place; follows the leader
  TFormPiece& lost = pieces.PieceAt(2);
  lost.NormX = -4000;  // restores far to the left
  lost.NormY = 300;
  pieces.RelayoutGroups(pieces.AllPieces(), {0, 0, 200, 100}, true);
  EXPECT_EQ(TPieces::HomePoint(leader), (TPoint{0, 0}));
  EXPECT_EQ(leader.X, 100);
  EXPECT_EQ(leader.Y, 50);
  EXPECT_EQ(pieces.PieceAt(1).X, 140);
  EXPECT_EQ(pieces.PieceAt(1).Y, 50);
  // -1000 restored, then brought back until half a cell of it is inside.
  EXPECT_EQ(lost.X, 20 - 40);
  EXPECT_EQ(lost.Y, 50);
}

TEST_F(PiecesTest, RelayoutGroupsLeavesWhatItLaidOutWhereItIs) {
  MakeGrid(1, 1);
  puzzle.CellWidth = 40;
  puzzle.CellHeight = 40;  // half a cell: 20
  TFormPiece& p = pieces.PieceAt(0);
  p.Width = 20;  // smaller than a cell, as most cut pieces are
  p.Height = 20;
  p.X = -1000;
  p.Y = -500;
  // Far beyond the top-left, nearer on y: one shift brings its top to half a
  // cell outside, which still leaves less than half a cell of it inside; the
  // relayout goes on until half a cell of it lies inside on both axes.
  const TRect area{0, 0, 400, 300};
  pieces.RelayoutGroups(pieces.AllPieces(), area, false);
  EXPECT_EQ(TPieces::PieceRect(p), (TRect{0, 0, 20, 20}));
  pieces.RelayoutGroups(pieces.AllPieces(), area, false);
  EXPECT_EQ(TPieces::PieceRect(p), (TRect{0, 0, 20, 20}));

  // A piece larger than its area has no place that satisfies both sides:
  // the shifts alternate between x = -20 (its left half a cell outside) and
  // x = -180 (its right half a cell outside), both with y = -280 (its
  // bottom at the area's top plus half a cell). It takes the left one, and
  // keeps it.
  p.Width = 300;
  p.Height = 300;
  p.X = -1000;
  p.Y = -1000;
  const TRect small{0, 0, 100, 100};
  pieces.RelayoutGroups(pieces.AllPieces(), small, false);
  EXPECT_EQ(TPieces::PieceRect(p), (TRect{-180, -280, 120, 20}));
  pieces.RelayoutGroups(pieces.AllPieces(), small, false);
  EXPECT_EQ(TPieces::PieceRect(p), (TRect{-180, -280, 120, 20}));
}

TEST_F(PiecesTest, TheWoodTextureIsNinetySixSquareInBrowns) {
  const TBitmap& texture = pieces.Texture;
  ASSERT_EQ(texture.Format(), TPixelFormat::Indexed8);
  EXPECT_EQ(texture.Width(), 96);
  EXPECT_EQ(texture.Height(), 96);

  // Every pixel's colour is a brown: more red than green, more green than blue.
  long red = 0, green = 0, blue = 0;
  std::vector<bool> used(256);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) {
      used[texture.ScanLine(y)[x]] = true;
      const TColor c = texture.Pixel(x, y);
      red += RedOf(c), green += GreenOf(c), blue += BlueOf(c);
      EXPECT_GE(RedOf(c), GreenOf(c)) << x << "," << y;
      EXPECT_GE(GreenOf(c), BlueOf(c)) << x << "," << y;
    }
  EXPECT_GT(red, green + 96 * 96 * 20);
  EXPECT_GT(green, blue + 96 * 96 * 10);
  EXPECT_GT(std::count(used.begin(), used.end(), true), 32);  // a real palette, not a few grey levels

  // The side painter draws with the texture's palette, entries 0 to 254.
  for (int i = 0; i < 255; ++i) {
    const TPaletteEntry& e = pieces.SidePainter.Palette()[std::size_t(i)];
    EXPECT_EQ(RGBColor(e.Red, e.Green, e.Blue), texture.PaletteEntry(i)) << i;
  }
  EXPECT_TRUE(pieces.SidePainter.Palette()[255] == TPaletteEntry{});
  EXPECT_FALSE(pieces.SidePainter.Additive());
  EXPECT_TRUE(pieces.RimPainter.Additive());
}
