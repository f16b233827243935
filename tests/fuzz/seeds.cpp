// fuzz_seeds <folder>: the seed corpus of the fuzz targets, made with the
// program's own code, one subfolder per target: a gift as the gift tool
// writes one, its trailer, a JPEG picture, games of that gift saved by the
// game object (joined and turned pieces; with a tray, with a tray far
// larger than the board, and in format 2), and sprites made by the
// run-length encoder.

#include <QDir>
#include <QFile>
#include <cstdio>
#include <memory>
#include <vector>

#include "display/sprite.h"
#include "game/jigsaw.h"
#include "game/picture.h"
#include "tests/common/inkjpeg.h"
#include "game/savedgame.h"
#include "tests/common/testgame.h"
#include "tests/fuzz/fuzzgift.h"
#include "tests/fuzz/fuzzing.h"
#include "tests/fuzz/spriteinput.h"

namespace {

QByteArray ReadWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) FuzzFailure("a seed file cannot be read");
  return file.readAll();
}

class TSeedFolder {
 public:
  explicit TSeedFolder(const QString& root) : root_(root) {}

  void Add(const QString& target, const QString& name, std::span<const std::uint8_t> bytes) const {
    const QString folder = root_ + QLatin1Char('/') + target;
    if (!QDir().mkpath(folder)) FuzzFailure("the seed folder cannot be made");
    WriteWholeFile(folder + QLatin1Char('/') + name, bytes);
  }

 private:
  QString root_;
};

void AddSavedGames(const TSeedFolder& seeds, const QString& gift) {
  TTestGame t(gift);
  t.Start();
  TJigsaw& game = *t.game;
  const QString saved = TSavedGamePlace(gift).Beside();

  // Piece 1 turned as piece 0 is and dropped where it fits it: a group of
  // two; piece 5 turned.
  TFormPiece& moved = game.PieceAt(1);
  game.RotateGroup(moved, (game.PieceAt(0).Rotation - moved.Rotation + 4) % 4, false);
  const TPoint fits = TPieces::ExpectedPos(moved, game.PieceAt(0));
  moved.X = fits.X;
  moved.Y = fits.Y;
  game.PickGroup(&moved);
  game.DropMoving(&game.BoardTray(), true);
  game.RotateGroup(game.PieceAt(5), 1, false);
  if (!game.PieceAt(1).Joined) FuzzFailure("the seed game's pieces did not join");

  // A game of the older format that has no second record and no trays.
  game.Record.FormatVersion = 2;
  game.SaveGame();
  seeds.Add(QStringLiteral("savedgame"), QStringLiteral("format2.sav"), BytesOf(ReadWholeFile(saved)));
  game.Record.FormatVersion = 5;

  // A tray holding two loose pieces.
  TBox& tray = game.NewTray();
  tray.SetBounds({280, 180, 470, 350});
  tray.Description = QStringLiteral("Corners");
  const TPieceList corners{&game.PieceAt(3), &game.PieceAt(8)};
  game.MoveToTray(corners, tray);
  game.SaveGame();
  seeds.Add(QStringLiteral("savedgame"), QStringLiteral("tray.sav"), BytesOf(ReadWholeFile(saved)));

  // The tray as large as its record holds, reaching far beyond the board on
  // every side but the bottom, where a strip of it shows.
  tray.SetBounds(Bounds(-32768, game.Window.PlayAreaHeight - 40, 0xFFFF, 0xFFFF));
  game.SaveGame();
  seeds.Add(QStringLiteral("savedgame"), QStringLiteral("huge-tray.sav"), BytesOf(ReadWholeFile(saved)));
  QFile::remove(saved);
}

// A rim as the piece images have one: lightened and darkened lines on the
// transparent key.
std::vector<std::uint8_t> RimImage(int width, int height) {
  std::vector<std::uint8_t> image(std::size_t(width * height), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool edge = x == 2 || y == 2 || x == width - 3 || y == height - 3;
      const bool inside = x > 2 && y > 2 && x < width - 3 && y < height - 3;
      if (edge) image[std::size_t(y * width + x)] = (x + y) % 2 ? 50 : 186;
      if (inside && (x * y) % 7 == 0) image[std::size_t(y * width + x)] = std::uint8_t(x * 9 + y);
    }
  return image;
}

void AddSprites(const TSeedFolder& seeds) {
  constexpr int width = 24, height = 20;
  const std::vector<std::uint8_t> image = RimImage(width, height);
  TSpriteInput input;
  TSprite(true, 0).Encode(width, height, input.Block, image, width);

  // The whole block inside a larger bitmap.
  input.TargetWidth = 40;
  input.TargetHeight = 32;
  input.X = 5;
  input.Y = 4;
  input.Width = width;
  input.Height = height;
  seeds.Add(QStringLiteral("sprite"), QStringLiteral("rim"), input.ToBytes());

  // Palette mode, placed above and left of a clip that cuts it on all sides.
  input.Additive = false;
  input.Clipped = true;
  input.TargetWidth = 20;
  input.TargetHeight = 16;
  input.X = -6;
  input.Y = -3;
  input.Clip = {2, 1, 15, 12};
  seeds.Add(QStringLiteral("sprite"), QStringLiteral("side-clipped"), input.ToBytes());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
    return 2;
  }
  StartFuzzing();
  const TSeedFolder seeds(QFile::decodeName(argv[1]));

  const QString gift = ScratchFile(QStringLiteral("gift"));
  if (!WriteFuzzGift(gift)) FuzzFailure("the seed gift cannot be written");
  const QByteArray giftBytes = ReadWholeFile(gift);
  seeds.Add(QStringLiteral("giftfile"), QStringLiteral("gift"), BytesOf(giftBytes));
  seeds.Add(QStringLiteral("gifttrailer"), QStringLiteral("trailer"),
            BytesOf(giftBytes.right(qsizetype(TGiftTrailer::FileSize))));
  seeds.Add(QStringLiteral("picture"), QStringLiteral("picture.jpg"), BytesOf(EncodeJpeg(GiftTestPicture(64, 48), 90)));
  seeds.Add(QStringLiteral("picture"), QStringLiteral("inverted-cmyk.jpg"), BytesOf(InkJpeg(JCS_CMYK, true)));
  seeds.Add(QStringLiteral("picture"), QStringLiteral("ycck.jpg"), BytesOf(InkJpeg(JCS_YCCK, true)));
  AddSavedGames(seeds, gift);
  AddSprites(seeds);
  return 0;
}
