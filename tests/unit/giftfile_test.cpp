// Gift files of both kinds read through the game's one road: a data gift
// (picture, music and trailer, offsets from its start) plays exactly as the
// executable gift of the same puzzle and saves beside itself; bad paths and
// damaged files are refused with a message saying what is wrong; a program
// file tells whether it carries a gift.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

#include "game/gift.h"
#include "game/savedgame.h"
#include "platform/errors.h"
#include "tests/common/testgame.h"

namespace {

class GiftFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid() && state_.isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
    picture_ = EncodeJpeg(GiftTestPicture(400, 300), 90);
  }
  void TearDown() override { qunsetenv("XDG_STATE_HOME"); }

  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

  // The message CheckGiftFile gives for path; empty when it takes the file.
  static QString Refusal(const QString& path) {
    try {
      CheckGiftFile(path);
      return {};
    } catch (const EError& e) {
      return e.Message();
    }
  }

  QTemporaryDir dir_;
  QTemporaryDir state_;
  QByteArray picture_;
};

TEST_F(GiftFileTest, DataGiftPlaysAsItsExecutableGiftAndSavesBesideItself) {
  const QString executable = Path("birthday");
  const QString data = Path("birthday.tgift");
  ASSERT_TRUE(WriteTestGift(executable, TestTrailer(30), picture_));
  ASSERT_TRUE(WriteTestGift(data, TestTrailer(30), picture_, {}));
  // The data gift is the picture and the trailer, nothing else.
  EXPECT_EQ(QFileInfo(data).size(), picture_.size() + qint64(TGiftTrailer::FileSize));
  EXPECT_EQ(CheckGiftFile(data).PictureOffset, 0u);

  TTestGame fromProgram(executable);
  TTestGame fromData(data);
  fromProgram.Start();
  fromData.Start();
  ASSERT_EQ(fromData.records.Puzzle.PieceCount, fromProgram.records.Puzzle.PieceCount);
  const std::vector<TFormPiece> a = fromProgram.Records(), b = fromData.Records();
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].X, b[i].X) << i;
    EXPECT_EQ(a[i].Y, b[i].Y) << i;
    EXPECT_EQ(a[i].HomeX, b[i].HomeX) << i;
  }
  EXPECT_TRUE(SameBitmap(fromProgram.game->View.BoardBitmap, fromData.game->View.BoardBitmap));

  // Each saves beside itself, under its own name with ".sav" added.
  fromProgram.game->SaveGame();
  fromData.game->SaveGame();
  EXPECT_TRUE(QFileInfo(executable + ".sav").isFile());
  EXPECT_TRUE(QFileInfo(data + ".sav").isFile());

  // Renamed to any name, the data gift still opens, and resumes its game
  // from beside its new name.
  const QString renamed = Path("from Ann.jpg");
  ASSERT_TRUE(QFile::rename(data, renamed));
  ASSERT_TRUE(QFile::rename(data + ".sav", renamed + ".sav"));
  TTestGame again(renamed);
  EXPECT_TRUE(again.Start());
}

TEST_F(GiftFileTest, DataGiftThatCannotSaveBesideItselfSavesInTheStateFolder) {
  // A folder where the saved game would lie: the file cannot be written
  // there, whoever runs the test.
  const QString data = Path("gift.tgift");
  ASSERT_TRUE(WriteTestGift(data, TestTrailer(12), picture_, {}));
  ASSERT_TRUE(QDir().mkdir(data + ".sav"));
  TTestGame game(data);
  game.Start();
  game.game->SaveGame();
  EXPECT_TRUE(QFileInfo(data + ".sav").isDir());
  EXPECT_TRUE(QFileInfo(TSavedGamePlace(data).InStateFolder()).isFile());
  EXPECT_TRUE(TSavedGamePlace(data).InStateFolder().startsWith(state_.path()));
}

TEST_F(GiftFileTest, OnePieceAndTheLargestRequestBuildSoundPuzzles) {
  for (const std::uint16_t requested : {std::uint16_t(1), std::uint16_t(65535)}) {
    const QString data = Path("extreme.tgift");
    ASSERT_TRUE(WriteTestGift(data, TestTrailer(requested), picture_, {}));
    TTestGame game(data);
    game.Start();
    const TPuzzleRecord& r = game.records.Puzzle;
    EXPECT_EQ(r.PieceCount, r.Columns * r.Rows) << requested;
    EXPECT_EQ(game.game->Pieces.size(), std::size_t(r.PieceCount));
    // The smallest cell the grid takes is 8 pixels: 50 x 38 on 400 x 300.
    EXPECT_EQ(r.PieceCount, requested == 1 ? 1 : 50 * 38);
  }
}

TEST_F(GiftFileTest, BadPathsAndDamagedFilesSayWhatIsWrong) {
  EXPECT_EQ(Refusal(Path("missing.tgift")),
            QStringLiteral("Cannot open file \"%1\". There is no such file.").arg(Path("missing.tgift")));
  EXPECT_EQ(Refusal(dir_.path()),
            QStringLiteral("Cannot open file \"%1\". It is a folder, not a gift file.").arg(dir_.path()));

  // A picture is not a gift: it has no trailer.
  const QString picture = Path("picture.jpg");
  QFile file(picture);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(picture_);
  file.close();
  EXPECT_EQ(Refusal(picture), QStringLiteral("This jigsaw gift file is damaged and cannot be opened"));
  // Nor is an empty file, or one shorter than a trailer.
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(QByteArray(100, '\0'));
  file.close();
  EXPECT_EQ(Refusal(picture), QStringLiteral("This jigsaw gift file is damaged and cannot be opened"));

  // A trailer whose picture lies outside the file, or is empty.
  TGiftTrailer t = TestTrailer();
  t.PictureOffset = 10;
  t.PictureLength = std::uint32_t(TGiftTrailer::FileSize);
  const TGiftTrailer::TBytes bytes = t.ToBytes();
  const QString outside = Path("outside.tgift");
  QFile gift(outside);
  ASSERT_TRUE(gift.open(QIODevice::WriteOnly));
  gift.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
  gift.close();
  EXPECT_EQ(Refusal(outside), MissingPictureMessage());
  t.PictureOffset = 0;
  t.PictureLength = 0;
  const TGiftTrailer::TBytes empty = t.ToBytes();
  ASSERT_TRUE(gift.open(QIODevice::WriteOnly | QIODevice::Truncate));
  gift.write(reinterpret_cast<const char*>(empty.data()), qint64(empty.size()));
  gift.close();
  EXPECT_EQ(Refusal(outside), MissingPictureMessage());

  // A file that cannot be read.
  if (geteuid() != 0) {
    const QString locked = Path("locked.tgift");
    ASSERT_TRUE(WriteTestGift(locked, TestTrailer(), picture_, {}));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::WriteOwner));
    EXPECT_TRUE(Refusal(locked).startsWith(QStringLiteral("Cannot open file \"%1\".").arg(locked)))
        << qPrintable(Refusal(locked));
  }

  // Loading a game of a missing gift says the same, and changes nothing.
  TTestGame missing(Path("missing.tgift"));
  try {
    missing.game->LoadGift();
    FAIL() << "no error";
  } catch (const EError& e) {
    EXPECT_EQ(e.Message(), Refusal(Path("missing.tgift")));
  }

  const QString good = Path("good.tgift");
  ASSERT_TRUE(WriteTestGift(good, TestTrailer(), picture_, {}));
  EXPECT_EQ(Refusal(good), QString());
}

TEST_F(GiftFileTest, AProgramCarriesAGiftOnlyWithBytesAfterItsImage) {
  // This test program carries nothing after its own image.
  const QString self = QCoreApplication::applicationFilePath();
  EXPECT_FALSE(CarriesGift(self));
  const QString copy = Path("player");
  ASSERT_TRUE(QFile::copy(self, copy));
  EXPECT_FALSE(CarriesGift(copy));
  // One byte after it is enough: a damaged gift is still a gift, which then
  // says it is damaged.
  QFile file(copy);
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write("x", 1);
  file.close();
  EXPECT_TRUE(CarriesGift(copy));
  // What is no program of this machine is read as a gift.
  const QString data = Path("gift.tgift");
  ASSERT_TRUE(WriteTestGift(data, TestTrailer(), picture_, {}));
  EXPECT_TRUE(CarriesGift(data));
  EXPECT_TRUE(CarriesGift(Path("missing")));
}

}  // namespace
