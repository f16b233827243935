#include "game/extrasrecord.h"

#include "platform/packedrecord.h"

namespace {

// The one list of the record's fields, for reading and writing it.
template <class Record, class Access>
void RecordFields(Record& r, Access& access) {
  access.Field(0, r.Reserved0);
  access.Field(4, r.Reserved4);
  access.Field(8, r.TrayCount);
  access.Field(10, r.FirstShownTray);
  access.Field(12, r.ClockLimited);
  access.Field(13, r.CountDown);
  access.Field(14, r.ShowLimit);
  access.Field(15, r.LimitSeconds);
  access.Field(19, r.WindowColour);
  access.Field(23, r.NextFrontNo);
}

}  // namespace

TExtrasRecord::TBytes TExtrasRecord::ToBytes() const {
  TBytes bytes{};
  TPackedWriter writer(bytes);
  RecordFields(*this, writer);
  return bytes;
}

TExtrasRecord TExtrasRecord::FromBytes(std::span<const std::uint8_t, FileSize> bytes) {
  TExtrasRecord record;
  const TPackedReader reader(bytes);
  RecordFields(record, reader);
  return record;
}
