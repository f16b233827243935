// The gift maker's checks on the trailer's texts, worked out from the
// fields: Windows-1252 bytes, line breaks stored as CR LF and counted as
// two, one-line fields; and a gift it writes read back by the player's own
// loader.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <stdexcept>

#include "game/gift.h"
#include "game/giftmaker.h"
#include "game/picture.h"
#include "tests/common/testgift.h"

namespace {

const TGiftTextField& Field(QString TGiftTrailer::*member) {
  for (const TGiftTextField& field : GiftTextFields())
    if (field.Field == member) return field;
  throw std::logic_error("no such field");
}

TEST(GiftMaker, TextsAreCheckedAgainstTheTrailersFields) {
  const TGiftTextField& title = Field(&TGiftTrailer::Title);
  const TGiftTextField& opening = Field(&TGiftTrailer::OpeningText);
  EXPECT_EQ(title.Capacity, 64u);
  EXPECT_EQ(opening.Capacity, 1024u);
  // The euro sign and the Latin-1 letters have bytes of their own.
  EXPECT_EQ(GiftTextProblem(title, QStringLiteral("Caf\u00e9 \u20ac5, \u00ff")), QString());
  EXPECT_EQ(GiftTextLength(QStringLiteral("Caf\u00e9 \u20ac5")), 7);
  EXPECT_EQ(GiftTextProblem(title, QStringLiteral("\u0100ra")),
            QStringLiteral("The title has characters that a gift cannot hold: \u0100. A gift takes only the letters "
                           "and signs of Western European languages."));
  EXPECT_EQ(GiftTextProblem(title, QString(64, u'x')), QString());
  EXPECT_FALSE(GiftTextProblem(title, QString(65, u'x')).isEmpty());
  EXPECT_EQ(GiftTextProblem(title, QStringLiteral("two\nlines")), QStringLiteral("The title must be one line."));
  // 1,022 letters and a line break fill the 1,024 bytes; one more letter does not fit.
  EXPECT_EQ(GiftTextLength(QString(1022, u'o') + u'\n'), 1024);
  EXPECT_EQ(GiftTextProblem(opening, QString(1022, u'o') + u'\n'), QString());
  EXPECT_EQ(GiftTextProblem(opening, QString(1023, u'o') + u'\n'),
            QStringLiteral("The opening message is too long: 1025 characters, at most 1024 (a line break counts as "
                           "two)."));
}

TEST(GiftMaker, AGiftIsReadBackByThePlayersLoader) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString picturePath = dir.filePath(QStringLiteral("p.jpg"));
  const QByteArray jpeg = EncodeJpeg(GiftTestPicture(96, 64), 90);
  QFile file(picturePath);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size());
  file.close();
  TGiftTrailer trailer = NewGiftTrailer();
  trailer.Title = QStringLiteral("Two\nlines");
  EXPECT_THROW(MakeGift(dir.filePath(QStringLiteral("bad.tgift")), trailer, TGiftPicture::FromFile(picturePath), {}),
               EError);
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("bad.tgift"))));
  trailer.Title = QStringLiteral("One line");
  trailer.Description = QStringLiteral("a\nb");
  trailer.RequestedPieces = 1;
  EXPECT_THROW(MakeGift(dir.filePath(QStringLiteral("bad.tgift")), trailer, TGiftPicture::FromFile(picturePath), {}),
               EError);
  trailer.RequestedPieces = 6;
  const QString gift = dir.filePath(QStringLiteral("g.tgift"));
  MakeGift(gift, trailer, TGiftPicture::FromFile(picturePath), {}, TestProgram());
  const TGiftTrailer read = CheckGiftFile(gift);
  EXPECT_EQ(read.Description, "a\r\nb");
  EXPECT_EQ(read.PictureOffset, std::uint32_t(TestProgram().size()));
  EXPECT_EQ(read.PictureLength, std::uint32_t(jpeg.size())) << "a baseline JPEG is kept as it is";
  EXPECT_EQ(read.MusicLength, 0);
  EXPECT_EQ(read.CreatorVersion, TG_VERSION);
  // A gift given as the player to copy gives back its program part alone.
  QFile made(gift);
  ASSERT_TRUE(made.open(QIODevice::ReadOnly));
  EXPECT_EQ(ProgramImage(made.readAll()), TestProgram());
}

}  // namespace
