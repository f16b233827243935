#include "game/gifttrailer.h"

#include "platform/packedrecord.h"

namespace {

// The font record at offset base; Font is TFontSpec or const TFontSpec.
template <class Font, class Access>
void FontFields(Font& font, std::size_t base, Access& access) {
  access.Field(base + 0, font.Color);
  access.Field(base + 4, font.Height);
  access.Field(base + 6, font.Pitch);
  access.Field(base + 7, font.Reserved);
  access.Field(base + 8, font.Style);
  access.ShortString(base + 9, TFontSpec::NameCapacity, font.Name);
}

// The one list of the trailer's fields, for reading (TPackedReader) and
// writing (TPackedWriter).
template <class Trailer, class Access>
void TrailerFields(Trailer& t, Access& access) {
  access.Field(0, t.RecordSize);
  access.Field(2, t.PictureOffset);
  access.Field(6, t.PictureLength);
  access.Field(10, t.MusicOffset);
  access.Field(14, t.MusicLength);
  access.ShortString(18, TGiftTrailer::VersionCapacity, t.CreatorVersion);
  access.Field(34, t.CreatedAt);
  access.ShortString(42, TGiftTrailer::NameCapacity, t.Title);
  access.ShortString(107, TGiftTrailer::NameCapacity, t.Creator);
  access.Text(172, TGiftTrailer::TextCapacity + 1, t.Description);
  access.Field(1197, t.BackgroundColor);
  access.Field(1201, t.RequestedPieces);
  access.Field(1203, t.Oddness);
  access.Field(1205, t.Seed);
  access.Text(1209, TGiftTrailer::TextCapacity + 1, t.OpeningText);
  access.Text(2234, TGiftTrailer::TextCapacity + 1, t.ClosingText);
  FontFields(t.OpeningFont, 3259, access);
  FontFields(t.ClosingFont, 3300, access);
  access.ShortString(3341, TGiftTrailer::ColorNameCapacity, t.OpeningColorName);
  access.ShortString(3374, TGiftTrailer::ColorNameCapacity, t.ClosingColorName);
  access.Field(3407, t.OpeningAlignment);
  access.Field(3408, t.ClosingAlignment);
  access.Field(3409, t.ShapeStyle);
  access.Field(3413, t.OutlineStyle);
  access.Field(3417, t.RotationOn);
}

}  // namespace

TGiftTrailer TGiftTrailer::FromBytes(std::span<const std::uint8_t, FileSize> bytes) {
  TGiftTrailer trailer;
  const TPackedReader reader(bytes);
  TrailerFields(trailer, reader);
  return trailer;
}

TGiftTrailer::TBytes TGiftTrailer::ToBytes() const {
  TBytes bytes{};
  TPackedWriter writer(bytes);
  TrailerFields(*this, writer);
  return bytes;
}
