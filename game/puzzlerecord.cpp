#include "game/puzzlerecord.h"

#include "platform/packedrecord.h"

namespace {

// The one list of the record's fields, for reading (TPackedReader) and
// writing (TPackedWriter).
template <class Record, class Access>
void RecordFields(Record& r, Access& access) {
  access.Field(0, r.FormatVersion);
  access.Field(2, r.Reserved2);
  access.Field(18, r.LabelBufferSize);
  access.ShortString(22, 15, r.CreatorVersion);
  access.Field(38, r.CreatedAt);
  access.ShortString(46, 64, r.Title);
  access.ShortString(111, 64, r.Creator);
  access.Text(176, 1025, r.Description);
  access.Field(1201, r.Reserved1201);
  access.Field(4264, r.ShapeStyle);
  access.Field(4268, r.Reserved4268);
  access.Field(4276, r.RequestedPieces);
  access.Field(4278, r.PieceCount);
  access.Field(4280, r.Columns);
  access.Field(4282, r.Rows);
  access.Field(4284, r.Reserved4284);
  access.Field(4286, r.Oddness);
  access.Field(4288, r.Seed);
  access.Field(4292, r.NextGroupId);
  access.Field(4296, r.PictureWidth);
  access.Field(4298, r.PictureHeight);
  access.Field(4300, r.CutWidth);
  access.Field(4302, r.CutHeight);
  access.Field(4304, r.CellWidth);
  access.Field(4306, r.CellHeight);
  access.Field(4308, r.SheetWidth);
  access.Field(4310, r.SheetHeight);
  access.Field(4312, r.Completed);
  access.Field(4313, r.SolvedCount);
  access.Field(TPuzzleRecord::ElapsedSecondsAt, r.ElapsedSeconds);
  access.Field(4319, r.CheatCount);
  access.Field(4321, r.AutoSolveUsed);
  access.Field(4322, r.ShowDescription);
  access.Field(4323, r.Reserved4323);
  access.Field(4324, r.Reserved4324);
  access.Field(4388, r.Reserved4388);
  access.Field(4389, r.Reserved4389);
  access.Field(4453, r.ScalePercent);
  access.Field(4455, r.Reserved4455);
}

}  // namespace

TPuzzleRecord::TBytes TPuzzleRecord::ToBytes() const {
  TBytes bytes{};
  TPackedWriter writer(bytes);
  RecordFields(*this, writer);
  return bytes;
}

TPuzzleRecord TPuzzleRecord::FromBytes(std::span<const std::uint8_t, FileSize> bytes) {
  TPuzzleRecord record;
  const TPackedReader reader(bytes);
  RecordFields(record, reader);
  return record;
}
