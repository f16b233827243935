#include <gtest/gtest.h>

#include "game/puzzlerecord.h"

namespace {

std::uint32_t At(const TPuzzleRecord::TBytes& b, std::size_t offset, int size) {
  std::uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | b[offset + std::size_t(i)];
  return v;
}

TPuzzleRecord DistinctRecord() {
  TPuzzleRecord r;
  r.FormatVersion = 5;
  r.Reserved2.fill(0x02);
  r.LabelBufferSize = 0x01020304;
  r.CreatorVersion = "v4.1";
  r.CreatedAt = -1.0;  // 0xBFF0000000000000
  r.Title = "Ti";
  r.Creator = "Cr";
  r.Description = "De";
  r.Reserved1201.fill(0x12);
  r.ShapeStyle = 6;
  r.Reserved4268.fill(0x42);
  r.RequestedPieces = 0x1111;
  r.PieceCount = 0x2222;
  r.Columns = 0x3333;
  r.Rows = 0x4444;
  r.Reserved4284 = 24;
  r.Oddness = 10;
  r.Seed = 0x55667788;
  r.NextGroupId = -2;
  r.PictureWidth = 0x0101;
  r.PictureHeight = 0x0202;
  r.CutWidth = 0x0303;
  r.CutHeight = 0x0404;
  r.CellWidth = 0x0505;
  r.CellHeight = 0x0606;
  r.SheetWidth = 0x0707;
  r.SheetHeight = 0x0808;
  r.Completed = 1;
  r.SolvedCount = 0x0909;
  r.ElapsedSeconds = 0x0A0B0C0D;
  r.CheatCount = 0x0E0F;
  r.AutoSolveUsed = 1;
  r.ShowDescription = 1;
  r.Reserved4323 = 0x23;
  r.Reserved4324.fill(0x24);
  r.Reserved4388 = 0x88;
  r.Reserved4389.fill(0x89);
  r.ScalePercent = 150;
  r.Reserved4455 = 0x5544;
  return r;
}

TEST(PuzzleRecord, EveryFieldLiesAtItsOffset) {
  const TPuzzleRecord::TBytes b = DistinctRecord().ToBytes();
  ASSERT_EQ(b.size(), 4457u);
  EXPECT_EQ(At(b, 0, 2), 5u);
  for (std::size_t i = 2; i < 18; ++i) EXPECT_EQ(b[i], 0x02) << i;
  EXPECT_EQ(At(b, 18, 4), 0x01020304u);
  EXPECT_EQ(b[22], 4);
  EXPECT_EQ(b[23], 'v');
  EXPECT_EQ(b[26], '1');
  EXPECT_EQ(b[27], 0);
  EXPECT_EQ(At(b, 38, 4), 0u);
  EXPECT_EQ(At(b, 42, 4), 0xBFF00000u);
  EXPECT_EQ(b[46], 2);
  EXPECT_EQ(b[47], 'T');
  EXPECT_EQ(b[111], 2);
  EXPECT_EQ(b[112], 'C');
  EXPECT_EQ(b[176], 'D');
  EXPECT_EQ(b[178], 0);
  EXPECT_EQ(b[1200], 0);  // the description's last byte
  EXPECT_EQ(b[1201], 0x12);
  EXPECT_EQ(b[4263], 0x12);
  EXPECT_EQ(At(b, 4264, 4), 6u);
  EXPECT_EQ(b[4268], 0x42);
  EXPECT_EQ(b[4275], 0x42);
  EXPECT_EQ(At(b, 4276, 2), 0x1111u);
  EXPECT_EQ(At(b, 4278, 2), 0x2222u);
  EXPECT_EQ(At(b, 4280, 2), 0x3333u);
  EXPECT_EQ(At(b, 4282, 2), 0x4444u);
  EXPECT_EQ(At(b, 4284, 2), 24u);
  EXPECT_EQ(At(b, 4286, 2), 10u);
  EXPECT_EQ(At(b, 4288, 4), 0x55667788u);
  EXPECT_EQ(At(b, 4292, 4), 0xFFFFFFFEu);
  EXPECT_EQ(At(b, 4296, 2), 0x0101u);
  EXPECT_EQ(At(b, 4298, 2), 0x0202u);
  EXPECT_EQ(At(b, 4300, 2), 0x0303u);
  EXPECT_EQ(At(b, 4302, 2), 0x0404u);
  EXPECT_EQ(At(b, 4304, 2), 0x0505u);
  EXPECT_EQ(At(b, 4306, 2), 0x0606u);
  EXPECT_EQ(At(b, 4308, 2), 0x0707u);
  EXPECT_EQ(At(b, 4310, 2), 0x0808u);
  EXPECT_EQ(b[4312], 1);
  EXPECT_EQ(At(b, 4313, 2), 0x0909u);
  EXPECT_EQ(At(b, 4315, 4), 0x0A0B0C0Du);
  EXPECT_EQ(At(b, 4319, 2), 0x0E0Fu);
  EXPECT_EQ(b[4321], 1);
  EXPECT_EQ(b[4322], 1);
  EXPECT_EQ(b[4323], 0x23);
  EXPECT_EQ(b[4324], 0x24);
  EXPECT_EQ(b[4387], 0x24);
  EXPECT_EQ(b[4388], 0x88);
  EXPECT_EQ(b[4389], 0x89);
  EXPECT_EQ(b[4452], 0x89);
  EXPECT_EQ(At(b, 4453, 2), 150u);
  EXPECT_EQ(At(b, 4455, 2), 0x5544u);
}

TEST(PuzzleRecord, ReadingKeepsEveryByte) {
  const TPuzzleRecord original = DistinctRecord();
  const TPuzzleRecord::TBytes bytes = original.ToBytes();
  const TPuzzleRecord back = TPuzzleRecord::FromBytes(bytes);
  EXPECT_EQ(back, original);
  EXPECT_EQ(back.ToBytes(), bytes);

  // A fresh record: format 5, scale 100, everything reserved zero.
  const TPuzzleRecord::TBytes fresh = TPuzzleRecord().ToBytes();
  EXPECT_EQ(At(fresh, 0, 2), 5u);
  EXPECT_EQ(At(fresh, 4453, 2), 100u);
  EXPECT_EQ(fresh[1201], 0);
}

}  // namespace
