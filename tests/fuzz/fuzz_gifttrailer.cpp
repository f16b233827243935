// The trailer at the end of a gift file, read as the player reads it: from
// the last 3,421 bytes of a file of any length. A file has a trailer exactly
// when it is long enough and its size word is right; a trailer read, written
// and read again is the same trailer; and what the splash makes of its
// texts and colour names never fails.

#include <QFile>
#include <bit>
#include <cstdint>
#include <optional>

#include "game/colornames.h"
#include "game/gift.h"
#include "game/gifttrailer.h"
#include "tests/fuzz/fuzzing.h"

namespace {

bool SameTrailer(TGiftTrailer a, TGiftTrailer b) {
  // By its bits: a day count that is not a number is still the one read.
  if (std::bit_cast<std::uint64_t>(a.CreatedAt) != std::bit_cast<std::uint64_t>(b.CreatedAt)) return false;
  a.CreatedAt = b.CreatedAt = 0;
  return a == b;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString path = ScratchFile(QStringLiteral("trailer"));
  WriteWholeFile(path, {data, size});
  QFile file(path);
  FuzzCheck(file.open(QIODevice::ReadOnly), "the scratch file cannot be opened");

  std::optional<TGiftTrailer> trailer;
  try {
    trailer = ReadGiftTrailer(file);
  } catch (const EStreamError&) {
  }
  const bool sizeWordRight = size >= TGiftTrailer::FileSize && data[size - TGiftTrailer::FileSize] == 0x5D &&
                             data[size - TGiftTrailer::FileSize + 1] == 0x0D;
  FuzzCheck(trailer.has_value() == sizeWordRight, "the size word does not decide whether a trailer is read");
  if (!trailer) return 0;

  FuzzCheck(SameTrailer(TGiftTrailer::FromBytes(trailer->ToBytes()), *trailer),
            "a trailer written and read again changed");

  GiftLabText(trailer->CreatorVersion);
  ColorFromName(trailer->OpeningColorName);
  ColorFromName(trailer->ClosingColorName);
  return 0;
}
