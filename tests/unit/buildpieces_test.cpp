// Building pieces from a cut: the two mask sheets in the outline buffer, its
// size, and the cut let go of on every way out.

#include <gtest/gtest.h>

#include <vector>

#include "builtpuzzle.h"
#include "platform/errors.h"
#include "platform/utility.h"

namespace {

bool BitClear(const std::vector<std::uint8_t>& buffer, std::size_t rowBytes, int x, int y) {
  return !((buffer[std::size_t(y) * rowBytes + std::size_t(x >> 3)] >> (7 - (x & 7))) & 1);
}

class TLastStatus : public TStatusLine {
 public:
  TLastStatus() { SetStatusLine(this); }
  ~TLastStatus() override { SetStatusLine(nullptr); }
  void SetStatusText(const QString& text) override { Last = text; }
  QString Last = QStringLiteral("untouched");
};

}  // namespace

TEST(BuildPieces, WritesEdgeAndPieceSheetsAndLetsGoOfTheCut) {
  TBuiltPuzzle puzzle(160, 120, 20, 6, 8, 4242, OutlineCard);
  SetRandSeed(puzzle.Record.Seed);
  TCut cut = Cut(puzzle.Record, false);
  const std::vector<std::uint8_t> labels(cut.Labels().begin(), cut.Labels().end());
  puzzle.OutlineBuffer.assign(10, 0);
  BuildPieces(cut, puzzle.Pieces, puzzle.OutlineBuffer, puzzle.LabelBufferSize);

  const TPuzzleGeometry& g = puzzle.Record;
  const std::size_t rowBytes = g.SheetWidth / 8u;
  ASSERT_EQ(puzzle.OutlineBuffer.size(), 2 * rowBytes * g.SheetHeight);
  EXPECT_EQ(puzzle.LabelBufferSize, std::int32_t(puzzle.OutlineBuffer.size()));
  EXPECT_TRUE(cut.Labels().empty());
  EXPECT_TRUE(cut.Centres().empty());
  EXPECT_TRUE(puzzle.Pieces.Centres.empty());

  // The first sheet: exactly the pixels of the box that carry the piece's
  // label in the cut; the second: those and everything filled inside them.
  for (const TFormPiece& p : puzzle.Pieces.Pieces) {
    const int column = p.Index % g.Columns, row = p.Index / g.Columns;
    const std::uint8_t label = std::uint8_t(0x10 + 4 * ((row + 1) % 4) + (column + 1) % 4);
    int edges = 0;
    for (int y = 0; y < g.CellHeight; ++y)
      for (int x = 0; x < g.CellWidth; ++x) {
        const int sx = column * g.CellWidth + x, sy = row * g.CellHeight + y;
        const bool inBox = x < p.Width && y < p.Height;
        const bool edge = inBox && labels[std::size_t(p.HomeY + y) * 160 + std::size_t(p.HomeX + x)] == label;
        ASSERT_EQ(BitClear(puzzle.OutlineBuffer, rowBytes, sx, sy), edge) << p.Index << ": " << x << "," << y;
        if (edge || !inBox) {
          ASSERT_EQ(BitClear(puzzle.OutlineBuffer, rowBytes, sx, sy + g.SheetHeight), edge);
        }
        edges += edge;
      }
    EXPECT_GT(edges, 0) << p.Index;
  }
}

TEST(BuildPieces, ACutOfAnotherGridIsRefusedAndStillLetGo) {
  TBuiltPuzzle puzzle(160, 120, 20, 1, 5, 9, OutlineCard);
  TPuzzleRecord other = puzzle.Record;
  other.PieceCount = FitGrid(other, 40, 160, 120);
  SetRandSeed(other.Seed);
  TCut cut = Cut(other, false);
  TLastStatus status;
  EXPECT_THROW(BuildPieces(cut, puzzle.Pieces, puzzle.OutlineBuffer, puzzle.LabelBufferSize), EError);
  EXPECT_TRUE(cut.Labels().empty());
  EXPECT_TRUE(puzzle.OutlineBuffer.empty());
  EXPECT_EQ(puzzle.LabelBufferSize, 0);
  EXPECT_EQ(status.Last, QString());
}
