#include "game/savedboard.h"

#include <QString>

#include <algorithm>

#include "pieces/pieces.h"
#include "pieces/real48.h"
#include "platform/errors.h"
#include "platform/packedrecord.h"
#include "play/box.h"

namespace {

void PutU16(std::uint8_t* at, std::uint16_t value) {
  at[0] = std::uint8_t(value);
  at[1] = std::uint8_t(value >> 8);
}

void PutU32(std::uint8_t* at, std::uint32_t value) {
  PutU16(at, std::uint16_t(value));
  PutU16(at + 2, std::uint16_t(value >> 16));
}

[[noreturn]] void ThrowImpossiblePiece() {
  throw EError(QStringLiteral("a piece record holds a value no game can have."));
}

}  // namespace

std::vector<std::uint8_t> WritePieceBlocks(std::span<const TPieceHome> homes, std::span<const TPieceState> pieces) {
  // Saved every few seconds for the recovery file, with ten thousand pieces:
  // each entry is written in place, its block's size fixed beforehand.
  const std::size_t count = pieces.size();
  std::vector<std::uint8_t> bytes(count * PieceEntrySize);
  std::uint8_t* a = bytes.data();
  std::uint8_t* b = a + count * PieceEntrySizeA;
  std::uint8_t* c = b + count * PieceEntrySizeB;
  for (std::size_t i = 0; i < count; ++i) {
    const TPieceHome& home = homes[i];
    const TPieceState& p = pieces[i];
    PutU16(a, std::uint16_t(home.HomeX));
    PutU16(a + 2, std::uint16_t(home.HomeY));
    PutU16(a + 4, home.Width);
    PutU16(a + 6, home.Height);
    PutU32(a + 8, p.ColourKey);
    const TReal48 x = ToReal48(p.NormX), y = ToReal48(p.NormY);
    std::copy(x.begin(), x.end(), b);
    std::copy(y.begin(), y.end(), b + 6);
    PutU32(b + 12, std::uint32_t(p.Group));
    PutU16(b + 16, p.ShuffleKey);
    b[18] = p.Rotation;
    b[19] = p.Joined;
    b[20] = p.Complete;
    b[21] = p.Placed;
    PutU16(c, std::uint16_t(p.Tray));
    a += PieceEntrySizeA;
    b += PieceEntrySizeB;
    c += PieceEntrySizeC;
  }
  return bytes;
}

std::vector<TPieceState> ReadPieceBlocks(std::span<const std::uint8_t> bytes, std::size_t count, int largestSide) {
  if (bytes.size() / PieceEntrySize < count)
    throw EError(QStringLiteral("the file ends inside its piece records."));
  const TPackedReader a(bytes.first(count * PieceEntrySizeA));
  const TPackedReader b(bytes.subspan(count * PieceEntrySizeA, count * PieceEntrySizeB));
  const TPackedReader c(bytes.subspan(count * (PieceEntrySizeA + PieceEntrySizeB), count * PieceEntrySizeC));
  std::vector<TPieceState> pieces(count);
  for (std::size_t i = 0; i < count; ++i) {
    TPieceState& p = pieces[i];
    const std::size_t atA = i * PieceEntrySizeA, atB = i * PieceEntrySizeB;
    // A piece never outgrows its cell: the cell is as tall as the largest side.
    if (largestSide > 0 && (a.U16(atA + 4) > largestSide || a.U16(atA + 6) > largestSide)) ThrowImpossiblePiece();
    p.ColourKey = a.U32(atA + 8);
    p.NormX = FromReal48(b.Bytes(atB, 6).first<6>());
    p.NormY = FromReal48(b.Bytes(atB + 6, 6).first<6>());
    p.Group = b.I32(atB + 12);
    p.ShuffleKey = b.U16(atB + 16);
    p.Rotation = b.U8(atB + 18);
    p.Joined = b.U8(atB + 19) != 0;
    p.Complete = b.U8(atB + 20) != 0;
    p.Placed = b.U8(atB + 21) != 0;
    p.Tray = c.U16(i * PieceEntrySizeC);
    if (p.Group < 0 || p.Group >= TPieces::GroupLimit || p.Rotation > 3) ThrowImpossiblePiece();
  }
  return pieces;
}

std::vector<std::uint8_t> WriteTrayRecords(std::span<const TTrayState> trays) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(trays.size() * TBox::RecordSize);
  for (const TTrayState& tray : trays) {
    const auto record = TBox::ToRecord(tray);
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

std::vector<TTrayState> ReadTrayRecords(std::span<const std::uint8_t> bytes, std::size_t count) {
  if (bytes.size() / TBox::RecordSize < count) throw EError(QStringLiteral("the file ends inside its tray records."));
  // Numbers are what the pieces refer to their trays by: 0 is the board's,
  // and each names one tray.
  std::vector<TTrayState> trays;
  for (std::size_t k = 0; k < count; ++k) {
    const auto record = bytes.subspan(k * TBox::RecordSize).first<TBox::RecordSize>();
    const std::uint32_t number = TBox::RecordNumber(record);
    if (number == 0) throw EError(QStringLiteral("tray record %1 cannot be a tray.").arg(k + 1));
    if (std::any_of(trays.begin(), trays.end(), [&](const TTrayState& t) { return t.Number == number; }))
      throw EError(QStringLiteral("two trays have the number %1.").arg(number));
    trays.push_back(TBox::FromRecord(record));
  }
  return trays;
}
