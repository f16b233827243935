// The whole gift file as the player loads it: each input is the program's
// own file, and the game object reads it through its path seam, loads the
// gift, builds the puzzle and lays out a new game. A damaged gift stops with
// an error and changes nothing; any other gift gives a whole puzzle on the
// board, and its music, when it has some, is the bytes the trailer points
// at.

#include <QFile>
#include <cstdint>
#include <optional>

#include "game/jigsaw.h"
#include "game/picture.h"
#include "tests/common/testgame.h"
#include "tests/fuzz/fuzzing.h"

namespace {

// Pictures up to this size are built into puzzles. Larger ones up to the
// player's limit take seconds and gigabytes for a few bytes of input (the
// decoder fills in what is missing): they measure the memory, not the
// reader, and would starve the search. Their gifts are still loaded.
constexpr std::int64_t BuiltPixels = std::int64_t(400) * 400;

std::span<const std::uint8_t> Region(std::span<const std::uint8_t> file, std::int64_t offset, std::int64_t length) {
  if (offset < 0 || length <= 0 || offset + length > std::int64_t(file.size())) return {};
  return file.subspan(std::size_t(offset), std::size_t(length));
}

bool PictureTooLargeToBuild(std::span<const std::uint8_t> picture) {
  try {
    const TJpegInfo info = ReadJpegInfo(picture);
    const std::int64_t pixels = std::int64_t(info.Width) * info.Height;
    return pixels > BuiltPixels && pixels <= MaxPicturePixels;
  } catch (const EJpegError&) {
    return false;
  }
}

void CheckMusic(const TJigsaw& game, std::span<const std::uint8_t> file) {
  const TGiftTrailer& trailer = game.Gift.GiftTrailer;
  const auto music = Region(file, trailer.MusicOffset, trailer.MusicLength);
  const QByteArray& bytes = game.Window.MusicFile;
  FuzzCheck(bytes.isEmpty() == music.empty(), "music inside the gift was not extracted, or music outside it was");
  FuzzCheck(std::equal(music.begin(), music.end(), BytesOf(bytes).begin(), BytesOf(bytes).end()),
            "the extracted music is not the gift's");
}

void CheckPuzzle(const TJigsaw& game) {
  const TPuzzleRecord& r = game.Record;
  FuzzCheck(game.IsPlaying(), "the game does not play");
  FuzzCheck(r.PieceCount > 0 && std::size_t(r.Columns) * r.Rows == r.PieceCount && game.Pieces.size() == r.PieceCount,
            "the pieces are not the grid's");
  FuzzCheck(r.PictureWidth == game.OriginalPicture.Width() && r.PictureHeight == game.OriginalPicture.Height(),
            "the puzzle record's picture is not the one decoded");
  FuzzCheck(r.ShapeStyle >= 1 && r.ShapeStyle <= 6 && r.Oddness <= 10, "the cut takes values out of range");
  FuzzCheck(game.Trays.size() == 1 && game.BoardTray().Pieces.size() == game.Pieces.size(),
            "a new game's pieces are not all on the board");
  for (const TFormPiece& p : game.Pieces)
    FuzzCheck(p.Tray == 0 && p.Rotation <= 3 && p.Width > 0 && p.Height > 0, "a new game's piece is broken");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const QString path = ScratchFile(QStringLiteral("gift"));
  WriteWholeFile(path, file);
  TTestGame t(path);
  TJigsaw& game = *t.game;

  const auto untouched = game.Record.ToBytes();
  try {
    game.LoadGift();
  } catch (const EError&) {
    FuzzCheck(game.Record.ToBytes() == untouched && game.Window.MusicFile.isEmpty(), "a damaged gift changed the game");
    return 0;
  }
  CheckMusic(game, file);

  const TGiftTrailer& trailer = game.Gift.GiftTrailer;
  if (PictureTooLargeToBuild(Region(file, trailer.PictureOffset, trailer.PictureLength))) return 0;
  try {
    game.BuildPuzzle();
  } catch (const EError&) {
    return 0;
  }
  FuzzCheck(!game.BeginPlay(), "a gift without a saved game resumed one");
  t.screen.PaintInvalid();
  CheckPuzzle(game);
  return 0;
}
