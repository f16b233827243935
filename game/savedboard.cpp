#include "game/savedboard.h"

#include <QString>

#include <algorithm>

#include "pieces/pieces.h"
#include "pieces/real48.h"
#include "platform/errors.h"
#include "platform/packedrecord.h"
#include "play/box.h"

namespace {

[[noreturn]] void ThrowImpossiblePiece() {
  throw EError(QStringLiteral("a piece record holds a value no game can have."));
}

}  // namespace

std::vector<std::uint8_t> WritePieceBlocks(std::span<const TFormPiece> cut, std::span<const TPieceState> pieces) {
  const std::size_t count = pieces.size();
  std::vector<std::uint8_t> bytes(count * PieceEntrySize);
  const std::span<std::uint8_t> blocks(bytes);
  TPackedWriter a(blocks.first(count * PieceEntrySizeA));
  TPackedWriter b(blocks.subspan(count * PieceEntrySizeA, count * PieceEntrySizeB));
  TPackedWriter c(blocks.last(count * PieceEntrySizeC));
  for (std::size_t i = 0; i < count; ++i) {
    const TFormPiece& home = cut[i];
    const TPieceState& p = pieces[i];
    const std::size_t atA = i * PieceEntrySizeA, atB = i * PieceEntrySizeB;
    a.I16(atA, std::int16_t(home.HomeX));
    a.I16(atA + 2, std::int16_t(home.HomeY));
    a.U16(atA + 4, home.Width);
    a.U16(atA + 6, home.Height);
    a.U32(atA + 8, p.ColourKey);
    b.Bytes(atB, ToReal48(p.NormX));
    b.Bytes(atB + 6, ToReal48(p.NormY));
    b.I32(atB + 12, p.Group);
    b.U16(atB + 16, p.ShuffleKey);
    b.U8(atB + 18, p.Rotation);
    b.U8(atB + 19, p.Joined);
    b.U8(atB + 20, p.Complete);
    b.U8(atB + 21, p.Placed);
    c.U16(i * PieceEntrySizeC, std::uint16_t(p.Tray));
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
