// Cutting: regular grids at low oddness, labels, borders, the first corner
// draw of both layouts, the gap fill, progress and records that cannot be cut.

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <set>
#include <vector>

#include "game/cut.h"
#include "pieces/edges.h"
#include "platform/errors.h"
#include "platform/random.h"
#include "platform/utility.h"

namespace {

TPuzzleRecord Record(int width, int height, int columns, int rows, int oddness, TShapeStyle style,
                     std::uint32_t seed = 1234) {
  TPuzzleRecord record;
  record.CutWidth = record.PictureWidth = std::uint16_t(width);
  record.CutHeight = record.PictureHeight = std::uint16_t(height);
  record.Columns = std::uint16_t(columns);
  record.Rows = std::uint16_t(rows);
  record.PieceCount = std::uint16_t(columns * rows);
  record.Oddness = std::uint16_t(oddness);
  record.ShapeStyle = std::int32_t(style);
  record.Seed = seed;
  return record;
}

TCut Cutting(const TPuzzleRecord& record, bool playing = false) {
  SetRandSeed(record.Seed);
  return Cut(record, playing);
}

std::uint8_t At(const TCut& cut, int x, int y) { return cut.Labels()[std::size_t(y * cut.Width() + x)]; }

std::uint8_t Label(int row, int column) { return std::uint8_t(0x10 + 4 * (row % 4) + column % 4); }

constexpr std::array<TShapeStyle, 6> AllStyles{TShapeStyle::Classic, TShapeStyle::Blip, TShapeStyle::Square,
                                               TShapeStyle::Star,    TShapeStyle::Round, TShapeStyle::Mix};

}  // namespace

TEST(Cut, LowOddnessGivesARegularGrid) {
  // 103 x 77 in 4 x 3: columns at 25, 51, 77, rows at 25, 51.
  const std::set<int> columnLines{0, 25, 51, 77, 102};
  const std::set<int> rowLines{0, 25, 51, 76};
  for (int oddness : {0, 1}) {
    const TCut cut = Cutting(Record(103, 77, 4, 3, oddness, TShapeStyle::Square));
    for (int y = 0; y < 77; ++y)
      for (int x = 0; x < 103; ++x)
        ASSERT_EQ(At(cut, x, y) != 0, columnLines.contains(x) || rowLines.contains(y)) << x << "," << y;
    EXPECT_EQ(cut.Centre(1, 1), (TPoint{13, 13}));  // 26 x 26 from (0,0)
    EXPECT_EQ(cut.Centre(2, 2), (TPoint{38, 38}));  // 27 x 27 from (25,25)
    EXPECT_EQ(cut.Centre(4, 3), (TPoint{90, 64}));  // 26 x 26 from (77,51)
    EXPECT_EQ(cut.Centres().size(), 12u);
  }
  // The curved styles still meet at the unmoved corners.
  for (TShapeStyle style : AllStyles) {
    for (int oddness : {0, 1}) {
      const TCut cut = Cutting(Record(103, 77, 4, 3, oddness, style));
      for (int x : columnLines)
        for (int y : rowLines) EXPECT_NE(At(cut, x, y), 0) << int(style) << " " << x << "," << y;
    }
  }
}

TEST(Cut, CellsWriteTheirOwnLabels) {
  // 640 x 480 in 8 x 6 squares of 80: each cell owns its right edge.
  const TCut cut = Cutting(Record(640, 480, 8, 6, 0, TShapeStyle::Square));
  EXPECT_EQ(At(cut, 480, 360), 0x16);  // right edge of row 5, column 6
  EXPECT_EQ(At(cut, 80, 40), 0x15);    // row 1, column 1
  EXPECT_EQ(At(cut, 400, 360), 0x15);  // row 5, column 5
  EXPECT_EQ(At(cut, 40, 0), Label(1, 1));     // top border
  EXPECT_EQ(At(cut, 0, 120), Label(2, 1));    // left border
  EXPECT_EQ(At(cut, 40, 479), Label(6, 1));   // bottom border
  EXPECT_EQ(At(cut, 639, 40), Label(1, 8));   // right border
  EXPECT_EQ(At(cut, 600, 479), Label(6, 8));
  // Where two cells meet, the later one wrote last.
  EXPECT_EQ(At(cut, 80, 479), Label(6, 2));
  EXPECT_EQ(At(cut, 0, 80), Label(2, 1));
  EXPECT_EQ(At(cut, 639, 80), Label(2, 8));
  EXPECT_EQ(At(cut, 80, 0), Label(1, 1));  // row 1's top border starts after it
  EXPECT_EQ(At(cut, 80, 80), Label(2, 1));
}

TEST(Cut, OddnessZeroPointsEveryTabTheSameWay) {
  // 81-pixel cells: tabs reach about 15 pixels; at mid-cell only the tab
  // crosses the boundary.
  auto directions = [](int oddness) {
    const TCut cut = Cutting(Record(640, 480, 8, 6, oddness, TShapeStyle::Classic));
    int down = 0, up = 0, left = 0, right = 0;
    for (int i = 1; i < 6; ++i) {
      for (int j = 1; j <= 8; ++j) {
        for (int d = 5; d <= 25; ++d) {
          down += At(cut, 80 * j - 40, 80 * i + d) != 0;
          up += At(cut, 80 * j - 40, 80 * i - d) != 0;
        }
      }
    }
    for (int i = 1; i <= 6; ++i) {
      for (int j = 1; j < 8; ++j) {
        for (int d = 5; d <= 25; ++d) {
          right += At(cut, 80 * j + d, 80 * i - 40) != 0;
          left += At(cut, 80 * j - d, 80 * i - 40) != 0;
        }
      }
    }
    return std::array<int, 4>{down, up, left, right};
  };
  const auto regular = directions(0);
  EXPECT_GE(regular[0], 40);  // every one of the 40 horizontal tabs points down
  EXPECT_EQ(regular[1], 0);
  EXPECT_GE(regular[2], 42);  // every one of the 42 vertical tabs points left
  EXPECT_EQ(regular[3], 0);
  const auto random = directions(1);
  for (int count : random) EXPECT_GT(count, 5);
}

TEST(Cut, JitteredCutsAreCompleteAndRepeatable) {
  for (TShapeStyle style : AllStyles) {
    const TPuzzleRecord record = Record(640, 480, 9, 6, 10, style, 777);
    const TCut cut = Cutting(record);
    const auto labels = cut.Labels();
    ASSERT_EQ(labels.size(), 640u * 480u);
    // The border belongs to the first and last rows and columns: label bits
    // 2-3 hold the row mod 4, bits 0-1 the column mod 4.
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(At(cut, x, 0) & 0xFC, 0x14) << x;
      ASSERT_EQ(At(cut, x, 479) & 0xFC, 0x18) << x;
    }
    for (int y = 0; y < 480; ++y) {
      ASSERT_EQ(At(cut, 0, y) & 0xF3, 0x11) << y;
      ASSERT_EQ(At(cut, 639, y) & 0xF3, 0x11) << y;
    }
    for (std::uint8_t label : labels) ASSERT_TRUE(label == 0 || (label >= 0x10 && label <= 0x1F));
    // The gap fill leaves no free pixel enclosed on all four sides.
    for (int y = 1; y < 479; ++y)
      for (int x = 1; x < 639; ++x)
        ASSERT_FALSE(At(cut, x, y) == 0 && At(cut, x - 1, y) && At(cut, x + 1, y) && At(cut, x, y - 1) &&
                     At(cut, x, y + 1));

    const TCut again = Cutting(record);
    EXPECT_TRUE(std::ranges::equal(again.Labels(), labels)) << int(style);
    TPuzzleRecord other = record;
    other.Seed = 778;
    EXPECT_FALSE(std::ranges::equal(Cutting(other).Labels(), labels)) << int(style);
  }
}

TEST(Cut, FirstRowBoundaryComesFromTheFirstDraw) {
  // 400 x 305 in 4 x 3, oddness 10, Classic: the bottom edge of cell (1,1)
  // starts at (1, B); column 1 holds nothing else but the borders.
  auto labelledRows = [](const TCut& cut) {
    std::vector<int> rows;
    for (int y = 0; y < cut.Height(); ++y)
      if (At(cut, 1, y) != 0) rows.push_back(y);
    return rows;
  };
  const TPuzzleRecord record = Record(400, 305, 4, 3, 10, TShapeStyle::Classic, 1);

  // Main layout: nominal B = 101, m = (101 + 1) x 100 div 210 = 48,
  // B = 101 + min(Random(48), 42) - 24.
  SetRandSeed(record.Seed);
  const int mainBottom = 101 + std::min(int(Random(48)), 42) - 24;
  const TCut main = Cutting(record);
  const auto mainRows = labelledRows(main);
  ASSERT_EQ(mainRows.size(), 4u);
  EXPECT_EQ(mainRows[0], 0);
  EXPECT_EQ(mainRows[1], mainBottom);
  EXPECT_EQ(mainRows[3], 304);
  EXPECT_EQ(At(main, 1, mainBottom), Label(1, 1));

  // Older layout: f = (101 + 1) div 3 = 34, B = 101 + Random(34) - 17.
  TPuzzleRecord older = record;
  older.FormatVersion = 4;
  SetRandSeed(record.Seed);
  const int olderBottom = 101 + int(Random(34)) - 17;
  const auto olderRows = labelledRows(Cutting(older, true));
  ASSERT_EQ(olderRows.size(), 4u);
  EXPECT_EQ(olderRows[1], olderBottom);
  EXPECT_NE(olderBottom, mainBottom);
}

TEST(Cut, FirstRowColumnBoundariesHaveTheirOwnUpperEnds) {
  // Square edges, oddness 10, 400 x 300 in 4 x 3: the top border belongs to
  // cell (1,1) up to the upper end of its right edge, then to cell (1,2).
  auto firstBoundary = [](const TCut& cut) {
    int x = 0;
    while (At(cut, x + 1, 0) == Label(1, 1)) ++x;
    EXPECT_EQ(At(cut, x + 1, 0), Label(1, 2));
    return x;
  };
  const TPuzzleRecord record = Record(400, 300, 4, 3, 10, TShapeStyle::Square, 4711);
  // Main layout, draws of cell (1,1): the B jitter, then the upper end,
  // then the right x; with m = c = (100 + 1) x 100 div 200 = 50 and no cap:
  // upper end = 100 + Random(50) - 25.
  SetRandSeed(record.Seed);
  const int bottom = 100 + int(Random(50)) - 25;
  const int upperEnd = 100 + int(Random(50)) - 25;
  const int right = 100 + int(Random(50)) - 25;
  ASSERT_NE(upperEnd, right);
  const TCut main = Cutting(record);
  EXPECT_EQ(firstBoundary(main), upperEnd);
  // The straight bottom edge of cell (1,1) runs from (1, B) to (R, B), where
  // the right edge of cell (2,1) begins.
  for (int x = 1; x < right; ++x) EXPECT_EQ(At(main, x, bottom), Label(1, 1)) << x;
  EXPECT_EQ(At(main, right, bottom), Label(2, 1));

  // The older layout's column boundaries start at the cell's own right x:
  // Random(f) for the row, then R = 100 + Random(50) - 25.
  TPuzzleRecord older = record;
  older.FormatVersion = 2;
  SetRandSeed(record.Seed);
  Random(33);
  EXPECT_EQ(firstBoundary(Cutting(older, true)), 100 + int(Random(50)) - 25);
}

TEST(Cut, TakesEveryDrawOfTheGrid) {
  // 4 x 3 cells at oddness 10: six edge-parameter draws per cell (72); in
  // the main layout a bottom jitter for the 8 cells above the last row, a
  // right jitter for the 9 cells left of the last column and an upper end
  // for the 3 of them in row 1; a Mix puzzle adds one lottery draw for each
  // of the 8 bottom and 9 right edges. The older layout draws one bottom per
  // row (2) and the 9 right jitters.
  auto drawsOf = [](const TPuzzleRecord& record, bool playing) {
    Cutting(record, playing);
    std::uint32_t state = record.Seed;
    for (int draws = 0; draws < 1000; ++draws) {
      if (state == RandSeed()) return draws;
      state = state * 134775813u + 1u;
    }
    return -1;
  };
  TPuzzleRecord record = Record(400, 300, 4, 3, 10, TShapeStyle::Square, 8);
  EXPECT_EQ(drawsOf(record, false), 92);
  record.ShapeStyle = int(TShapeStyle::Mix);
  EXPECT_EQ(drawsOf(record, false), 109);
  record.FormatVersion = 4;
  EXPECT_EQ(drawsOf(record, true), 83);
  // Oddness 0: only the four shoulder draws per cell.
  record.Oddness = 0;
  EXPECT_EQ(drawsOf(record, true), 48);
  record.FormatVersion = 5;
  EXPECT_EQ(drawsOf(record, true), 48 + 17);
}

TEST(Cut, OlderLayoutOnlyForOlderGamesBeingPlayed) {
  TPuzzleRecord record = Record(320, 240, 6, 4, 6, TShapeStyle::Star, 99);
  const TCut main = Cutting(record, true);
  record.FormatVersion = 3;
  const TCut firstCut = Cutting(record, false);
  const TCut older = Cutting(record, true);
  EXPECT_TRUE(std::ranges::equal(firstCut.Labels(), main.Labels()));
  EXPECT_FALSE(std::ranges::equal(older.Labels(), main.Labels()));
  record.FormatVersion = 0;
  EXPECT_TRUE(std::ranges::equal(Cutting(record, true).Labels(), main.Labels()));

  // Without oddness nothing is random and both layouts trace the same
  // Classic outline, whatever style the older one was given.
  TPuzzleRecord plain = Record(320, 240, 6, 4, 0, TShapeStyle::Classic);
  TPuzzleRecord plainOlder = Record(320, 240, 6, 4, 0, TShapeStyle::Square);
  plainOlder.FormatVersion = 1;
  EXPECT_TRUE(std::ranges::equal(Cutting(plain, true).Labels(), Cutting(plainOlder, true).Labels()));
}

TEST(Cut, WideGridsAndInvalidRecords) {
  const TCut wide = Cutting(Record(3200, 40, 400, 2, 5, TShapeStyle::Classic));
  for (int y = 0; y < 40; ++y) EXPECT_EQ(At(wide, 3199, y) & 0xF3, 0x10);  // column 400
  EXPECT_EQ(wide.Centres().size(), 800u);

  EXPECT_THROW(Cutting(Record(100, 100, 0, 2, 5, TShapeStyle::Classic)), EError);
  EXPECT_THROW(Cutting(Record(100, 100, 2, 0, 5, TShapeStyle::Classic)), EError);
  EXPECT_THROW(Cutting(Record(100, 100, 2, 2, 11, TShapeStyle::Classic)), EError);
  EXPECT_THROW(Cutting(Record(100, 100, 101, 2, 5, TShapeStyle::Classic)), EError);
  EXPECT_THROW(Cutting(Record(60000, 10, 30000, 3, 5, TShapeStyle::Classic)), EError);  // 90,000 pieces
}

namespace {

class TRecordingStatus : public TStatusLine {
 public:
  void SetStatusText(const QString& text) override {
    Texts << text;
    if (Texts.size() == FailAt) throw EError(QStringLiteral("repaint failed"));
  }
  QStringList Texts;
  qsizetype FailAt = -1;
};

}  // namespace

TEST(Cut, ReportsProgressAndAlwaysClearsIt) {
  TRecordingStatus status;
  SetStatusLine(&status);
  // Twelve cells: 8, 16, 25, 33, ... 100 per cent; every fifth shows.
  Cutting(Record(400, 300, 4, 3, 5, TShapeStyle::Blip));
  EXPECT_EQ(status.Texts, (QStringList{"Generating: 25%", "Generating: 50%", "Generating: 75%",
                                       "Generating: 100%", ""}));
  status.Texts.clear();
  status.FailAt = 2;
  EXPECT_THROW(Cutting(Record(400, 300, 4, 3, 5, TShapeStyle::Blip)), EError);
  EXPECT_EQ(status.Texts, (QStringList{"Generating: 25%", "Generating: 50%", ""}));
  SetStatusLine(nullptr);
}

TEST(FillGaps, FillsEnclosedPixelsFromTheLeft) {
  // clang-format off
  std::vector<std::uint8_t> map{
      9, 9, 9, 9, 9,
      9, 4, 0, 6, 9,
      9, 7, 8, 0, 9,
      9, 0, 5, 0, 9,
      9, 9, 9, 9, 0};
  const std::vector<std::uint8_t> filled{
      9, 9, 9, 9, 9,
      9, 4, 4, 6, 9,   // enclosed: takes 4 from the left
      9, 7, 8, 0, 9,   // free pixel below
      9, 9, 5, 0, 9,   // enclosed by 9, 5, 7 and 9
      9, 9, 9, 9, 0};  // the outer ring is never touched
  // clang-format on
  FillGaps(map, 5, 5);
  EXPECT_EQ(map, filled);
}
