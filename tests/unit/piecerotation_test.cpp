// Quarter turns of pieces: four turns give everything back, a turn moves the
// pixels as worked out by hand and rebuilds the rim, re-cuts get their turns
// back, random turns leave joined pieces alone, progress only when asked.

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <vector>

#include "builtpuzzle.h"
#include "platform/utility.h"

namespace {

// Everything a turn changes about a piece: sizes, rotation, overlays, and
// the bytes of its image and mask cells.
struct TTurnState {
  int Width, Height, Rotation, PendingTurns;
  std::vector<std::uint8_t> Rim, Side, Cells;
  friend bool operator==(const TTurnState&, const TTurnState&) = default;
};

TTurnState StateOf(const TPieces& pieces, const TFormPiece& p) {
  TTurnState state{p.Width, p.Height, p.Rotation, p.PendingTurns, p.RimSprite, p.SideSprite, {}};
  const int cellWidth = pieces.Puzzle().CellWidth;
  for (int y = 0; y < pieces.Puzzle().CellHeight; ++y) {
    const std::uint8_t* image = pieces.ImageSheet.ScanLine(p.SheetY + y) + 3 * p.SheetX;
    const std::uint8_t* mask = pieces.MaskSheet.ScanLine(p.SheetY + y) + p.SheetX / 8;
    state.Cells.insert(state.Cells.end(), image, image + 3 * cellWidth);
    state.Cells.insert(state.Cells.end(), mask, mask + cellWidth / 8);
  }
  return state;
}

std::vector<TTurnState> StatesOf(const TPieces& pieces) {
  std::vector<TTurnState> states;
  for (const TFormPiece& p : pieces.Pieces) states.push_back(StateOf(pieces, p));
  return states;
}

class TRecordingStatus : public TStatusLine {
 public:
  TRecordingStatus() { SetStatusLine(this); }
  ~TRecordingStatus() override { SetStatusLine(nullptr); }
  void SetStatusText(const QString& text) override { Texts.append(text); }
  QStringList Texts;
};

bool MaskInside(const TPieces& pieces, const TFormPiece& p, int x, int y) {
  const int sx = p.SheetX + x;
  return !((pieces.MaskSheet.ScanLine(p.SheetY + y)[sx >> 3] >> (7 - (sx & 7))) & 1);
}

}  // namespace

TEST(PieceRotation, FourRightTurnsGiveBackPixelsSizesAndOverlays) {
  TBuiltPuzzle puzzle(160, 120, 20, 1, 6, 77, OutlineWood);
  TPieces& pieces = puzzle.Pieces;
  const std::vector<TTurnState> before = StatesOf(pieces);
  const TPieceList all = pieces.AllPieces();

  pieces.RotatePieces(all, 1, false);
  int changed = 0;
  for (const TFormPiece& p : pieces.Pieces) {
    const TTurnState& old = before[std::size_t(p.Index)];
    EXPECT_EQ(p.Rotation, 1);
    EXPECT_EQ(p.Width, old.Height);
    EXPECT_EQ(p.Height, old.Width);
    changed += StateOf(pieces, p).Cells != old.Cells;
  }
  EXPECT_EQ(changed, puzzle.Record.PieceCount);

  for (int turn = 2; turn <= 4; ++turn) pieces.RotatePieces(all, 1, false);
  EXPECT_TRUE(StatesOf(pieces) == before);
  for (const TFormPiece& p : pieces.Pieces) EXPECT_EQ(p.Rotation, 0);
}

TEST(PieceRotation, A40By25PieceTurnedOnceIs25By40AtTheTopLeftOfItsCell) {
  // A notch at the top right makes every turn tell.
  const auto inside = [](int x, int y) { return !(x >= 30 && y < 8); };
  TLonePiece lone(48, 40, 25, OutlineCard, inside);
  TPieces& pieces = lone.Pieces;
  TFormPiece& p = lone.Piece();
  const TBitmap picture = pieces.Picture;

  const TPieceList one{&p};
  pieces.RotatePieces(one, 1, false);
  EXPECT_EQ(p.Width, 25);
  EXPECT_EQ(p.Height, 40);
  EXPECT_EQ(p.Rotation, 1);
  EXPECT_EQ(p.PendingTurns, 0);
  // Old (x, y) is now at (24 - y, x); the rest of the cell is empty.
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      const bool inRect = x < 25 && y < 40;
      const int oldX = y, oldY = 24 - x;
      const bool in = inRect && inside(oldX, oldY);
      ASSERT_EQ(MaskInside(pieces, p, x, y), in) << x << "," << y;
      ASSERT_EQ(pieces.ImageSheet.Pixel(x, y), in ? picture.Pixel(oldX, oldY) : 0u) << x << "," << y;
    }

  // The rim was made again: light along the new top and left, dark along
  // the new bottom.
  const TBitmap rim = lone.RimOnGrey();
  EXPECT_EQ(RedOf(rim.Pixel(10, 0)), 178);
  EXPECT_EQ(RedOf(rim.Pixel(0, 20)), 178);
  EXPECT_EQ(RedOf(rim.Pixel(10, 39)), 58);
  EXPECT_EQ(RedOf(rim.Pixel(10, 20)), 128);

  // Drawn, it is the turned picture.
  TBitmap board(30, 45);
  p.X = 2;
  p.Y = 3;
  lone.Options.OutlineStyle = OutlineNone;
  pieces.DrawPiece(p, board, nullptr);
  EXPECT_EQ(board.Pixel(2 + 24, 3 + 0), picture.Pixel(0, 0));
  EXPECT_EQ(board.Pixel(2 + 0, 3 + 29), picture.Pixel(29, 24));
  EXPECT_EQ(board.Pixel(2 + 20, 3 + 35), 0u);  // the notch

  // Turns add up modulo 4: pending 3 and one more is no turn at all; a turn
  // of -1 is a left turn.
  p.PendingTurns = 3;
  pieces.RotatePieces(one, 1, false);
  EXPECT_EQ(p.Rotation, 1);
  EXPECT_EQ(p.PendingTurns, 0);
  pieces.RotatePieces(one, -1, false);
  EXPECT_EQ(p.Rotation, 0);
  EXPECT_EQ(p.Width, 40);
  EXPECT_EQ(MaskInside(pieces, p, 35, 3), false);
}

TEST(PieceRotation, ARecutGetsItsTurnsBack) {
  TBuiltPuzzle puzzle(160, 120, 20, 4, 7, 5, OutlineCard);
  TPieces& pieces = puzzle.Pieces;
  for (TFormPiece& p : pieces.Pieces) p.PendingTurns = std::uint8_t(p.Index % 4);
  const TPieceList all = pieces.AllPieces();
  pieces.RotatePieces(all, 0, false);
  const std::vector<TTurnState> turned = StatesOf(pieces);

  puzzle.Rebuild();
  EXPECT_FALSE(StatesOf(pieces) == turned);
  pieces.ResetRotations(all, false);
  EXPECT_TRUE(StatesOf(pieces) == turned);
}

TEST(PieceRotation, RandomTurnsLeaveJoinedPiecesAlone) {
  TBuiltPuzzle puzzle(160, 120, 20, 2, 5, 11, OutlinePaper);
  TPieces& pieces = puzzle.Pieces;
  for (TFormPiece& p : pieces.Pieces) p.Joined = p.Index % 2 == 0;
  const std::vector<TTurnState> before = StatesOf(pieces);
  SetRandSeed(1);
  const TPieceList all = pieces.AllPieces();
  pieces.ResetRotations(all, true);
  int turned = 0;
  for (const TFormPiece& p : pieces.Pieces) {
    EXPECT_EQ(p.PendingTurns, 0);
    if (p.Joined)
      EXPECT_TRUE(StateOf(pieces, p) == before[std::size_t(p.Index)]) << p.Index;
    else
      turned += p.Rotation != 0;
  }
  EXPECT_GT(turned, 0);
}

TEST(PieceRotation, ProgressOnlyWhenAsked) {
  TBuiltPuzzle puzzle(160, 120, 20, 3, 5, 2, OutlineCard);
  TPieces& pieces = puzzle.Pieces;
  TRecordingStatus status;
  const TPieceList one{&pieces.Pieces[0]};
  pieces.RotatePieces(one, 1, false);
  EXPECT_TRUE(status.Texts.isEmpty());

  const TPieceList all = pieces.AllPieces();
  pieces.RotatePieces(all, 1, true);
  EXPECT_TRUE(std::any_of(status.Texts.begin(), status.Texts.end(),
                          [](const QString& t) { return t.startsWith(QLatin1String("Rotating: ")); }));
  EXPECT_EQ(status.Texts.last(), QString());

  // Resetting follows the Rotating option.
  status.Texts.clear();
  puzzle.Options.Rotating = false;
  pieces.ResetRotations(all, false);
  EXPECT_TRUE(status.Texts.isEmpty());
}
