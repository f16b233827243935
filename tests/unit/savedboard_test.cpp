#include "game/savedboard.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/errors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TTwoPieces {
  TTwoPieces() {
    cut[0] = {300, -2, 40, 25};
    cut[1] = {0x1234, 7, 0x100, 1};
    TPieceState& s = pieces[0];
    TPieceState& t = pieces[1];
    s.ColourKey = 0x40000007, s.NormX = 1.0, s.NormY = 300.25, s.Group = 0x01020304, s.ShuffleKey = 0xBEEF;
    s.Rotation = 3, s.Joined = true, s.Complete = false, s.Placed = true, s.Tray = 3;
    t.ColourKey = 0x00C08040, t.NormX = -2.0, t.NormY = 0.5, t.Group = 7, t.ShuffleKey = 1;
    t.Rotation = 0, t.Joined = false, t.Complete = true, t.Placed = false, t.Tray = 0x0102;
  }
  std::vector<TPieceHome> cut = std::vector<TPieceHome>(2);
  std::vector<TPieceState> pieces = std::vector<TPieceState>(2);
};

}  // namespace

TEST(SavedBoard, PieceBlocksByteByByte) {
  const TTwoPieces two;
  const Bytes written = WritePieceBlocks(two.cut, two.pieces);
  // The cut's place and size, then the colour key.
  const Bytes a{0x2C, 0x01, 0xFE, 0xFF, 0x28, 0x00, 0x19, 0x00, 0x07, 0x00, 0x00, 0x40,  //
                0x34, 0x12, 0x07, 0x00, 0x00, 0x01, 0x01, 0x00, 0x40, 0x80, 0xC0, 0x00};
  // Two six-byte reals, the group, the shuffle key, the turn and three flags.
  const Bytes b{0x81, 0, 0, 0, 0,    0,    0x89, 0, 0, 0, 0x20, 0x16, 0x04, 0x03, 0x02, 0x01, 0xEF, 0xBE, 3, 1, 0, 1,
                0x82, 0, 0, 0, 0,    0x80, 0x80, 0, 0, 0, 0,    0,    7,    0,    0,    0,    1,    0,    0, 0, 1, 0};
  const Bytes c{0x03, 0x00, 0x02, 0x01};
  Bytes expected = a;
  expected.insert(expected.end(), b.begin(), b.end());
  expected.insert(expected.end(), c.begin(), c.end());
  EXPECT_EQ(written, expected);

  // Bytes after the blocks stay unread; the cut's values are only checked.
  Bytes file = written;
  file.resize(file.size() + 5, 0xEE);
  EXPECT_EQ(ReadPieceBlocks(file, 2, 512), two.pieces);
}

TEST(SavedBoard, ShortOrImpossiblePieceBlocksAreRefused) {
  const TTwoPieces two;
  const Bytes good = WritePieceBlocks(two.cut, two.pieces);
  EXPECT_THROW(ReadPieceBlocks(Bytes(good.begin(), good.end() - 1), 2, 512), EError);
  EXPECT_NO_THROW(ReadPieceBlocks(good, 2, 0x100));

  const std::size_t atB = 2 * PieceEntrySizeA;
  auto damaged = [&](std::size_t at, std::uint8_t value) {
    Bytes bytes = good;
    bytes[at] = value;
    return bytes;
  };
  // A piece larger than any cell: q is 256 pixels wide.
  EXPECT_THROW(ReadPieceBlocks(good, 2, 0xFF), EError);
  // A turn above 3, a negative group, a group at the limit.
  EXPECT_THROW(ReadPieceBlocks(damaged(atB + PieceEntrySizeB + 18, 4), 2, 512), EError);
  EXPECT_THROW(ReadPieceBlocks(damaged(atB + PieceEntrySizeB + 15, 0x80), 2, 512), EError);
  EXPECT_THROW(ReadPieceBlocks(damaged(atB + PieceEntrySizeB + 15, 0x40), 2, 512), EError);
}
