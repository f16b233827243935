#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <random>
#include <vector>

#include "game/gift.h"
#include "game/jigconfig.h"
#include "game/music.h"
#include "platform/packedrecord.h"
#include "game/picture.h"
#include "game/soundeffects.h"
#include "platform/colors.h"
#include "platform/messagebox.h"

namespace {

const QByteArray program = QByteArray("\x7F" "ELF stands in for the player here. ") + QByteArray(500, 'p');
constexpr char tuneBytes[] = "MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\4\0\xFF\x2F\0";
const QByteArray tune(tuneBytes, sizeof tuneBytes - 1);

QByteArray SmallJpeg() {
  QImage image(48, 32, QImage::Format_RGB32);
  image.fill(qRgb(10, 120, 240));
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "jpeg").write(image);
  return data;
}

TGiftTrailer SampleTrailer() {
  TGiftTrailer t;
  t.CreatorVersion = "v4.1";
  t.CreatedAt = 40000.25;
  t.Title = "Harbour";
  t.Creator = "Ann";
  t.Description = "A harbour at dawn";
  t.BackgroundColor = 0x336699;
  t.RequestedPieces = 120;
  t.Oddness = 4;
  t.Seed = 987654;
  t.OpeningText = "Hello\r\nthere";
  t.ClosingText = "Goodbye";
  t.OpeningFont = {0x000080, -16, 1, 0, fsBold, "Arial"};
  t.ClosingFont = {0x008000, -12, 2, 0, fsItalic, "Courier New"};
  t.OpeningColorName = "clWindow";
  t.ClosingColorName = "clCream";
  t.OpeningAlignment = 2;
  t.ClosingAlignment = 1;
  t.ShapeStyle = 4;
  t.OutlineStyle = 2;
  t.RotationOn = 1;
  return t;
}

class LoadGiftTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    messages_.clear();
    SetMessageHandler([this](TMsgType, TMsgButtons, const QString& text) {
      messages_.push_back(text);
      return TMsgResult::Ok;
    });
    ResetSystemColors();
  }
  void TearDown() override { SetMessageHandler({}); }

  // picture and music are appended after the program in that order; the
  // trailer's offsets are set to them unless keepOffsets.
  QString WriteGift(TGiftTrailer t, const QByteArray& music = {}, const QByteArray& extra = {},
                    bool keepOffsets = false) {
    const QByteArray jpeg = SmallJpeg();
    if (!keepOffsets) {
      t.PictureOffset = std::uint32_t(program.size());
      t.PictureLength = std::uint32_t(jpeg.size());
      t.MusicOffset = music.isEmpty() ? 0 : std::uint32_t(program.size() + jpeg.size());
      t.MusicLength = std::int32_t(music.size());
    }
    const TGiftTrailer::TBytes trailer = t.ToBytes();
    const QString path = dir_.filePath(QStringLiteral("gift%1").arg(++count_));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(program + jpeg + music);
    file.write(reinterpret_cast<const char*>(trailer.data()), qint64(trailer.size()));
    file.write(extra);
    return path;
  }

  QTemporaryDir dir_;
  int count_ = 0;
  std::vector<QString> messages_;
  TWindowState window_;
  TPuzzleRecord record_;
};

TEST_F(LoadGiftTest, FillsTheSplashMenusRecordAndOptions) {
  const QString path = WriteGift(SampleTrailer(), tune);
  window_.PlayAreaWidth = 640;
  window_.PlayAreaHeight = 400;
  TJigConfig config(window_);
  TGift gift([&] { return path; });
  record_.PieceCount = 77;  // the grid is not LoadGift's business
  record_.Completed = 1;
  record_.SolvedCount = 9;
  record_.ElapsedSeconds = 99;
  record_.CheatCount = 3;
  record_.AutoSolveUsed = 1;
  record_.Reserved4284 = 1;
  record_.Reserved4323 = 1;
  record_.Reserved4388 = 1;
  record_.Reserved4455 = 1;
  record_.ScalePercent = 150;
  record_.FormatVersion = 2;

  gift.LoadGift(window_, record_, config);

  EXPECT_EQ(gift.ExePath, path);
  EXPECT_EQ(gift.GiftTrailer.Title, "Harbour");

  const TSplashTexts& s = window_.OpeningSplash;
  EXPECT_EQ(s.GiftLab,
            "This free jigsaw gift was created by Tessarine v4. Click on our web site below and download the "
            "free demo to see what else the latest version can do!  Or order the full-version now!");
  EXPECT_EQ(s.MemoText, "Hello\nthere");
  EXPECT_EQ(s.MemoColor, SystemColor(COLOR_WINDOW));
  EXPECT_EQ(s.MemoAlignment, TAlignment::Center);
  EXPECT_EQ(s.MemoFont, (TFontSpec{0x000080, -16, 1, 0, fsBold, "Arial"}));
  EXPECT_TRUE(s.MemoVisible);
  EXPECT_EQ(s.ClientHeight, 414);
  EXPECT_EQ(window_.OrderDistrib, "Ann");

  // The music is held in memory, and the option stays on.
  EXPECT_EQ(window_.MusicFile, tune);
  EXPECT_TRUE(window_.Menus.Music.Checked());
  EXPECT_TRUE(window_.Menus.SpeedMusic.Checked());

  EXPECT_EQ(record_.RequestedPieces, 120);
  EXPECT_EQ(record_.Oddness, 4);
  EXPECT_EQ(record_.Seed, 987654u);
  EXPECT_EQ(record_.ScalePercent, 100);
  EXPECT_EQ(record_.FormatVersion, 5);
  EXPECT_EQ(record_.CreatorVersion, "v4.1");
  EXPECT_EQ(record_.CreatedAt, 40000.25);
  EXPECT_EQ(record_.Title, "Harbour");
  EXPECT_EQ(record_.Creator, "Ann");
  EXPECT_EQ(record_.Description, "A harbour at dawn");
  EXPECT_EQ(record_.Reserved4284, 24);
  EXPECT_EQ(record_.Completed, 0);
  EXPECT_EQ(record_.SolvedCount, 0);
  EXPECT_EQ(record_.ElapsedSeconds, 0);
  EXPECT_EQ(record_.CheatCount, 0);
  EXPECT_EQ(record_.AutoSolveUsed, 0);
  EXPECT_EQ(record_.ShowDescription, 1);
  EXPECT_EQ(record_.Reserved4323, 0);
  EXPECT_EQ(record_.Reserved4388, 0);
  EXPECT_EQ(record_.Reserved4455, 0);
  EXPECT_EQ(record_.ShapeStyle, 4);
  EXPECT_EQ(record_.PieceCount, 77);

  EXPECT_EQ(window_.Color(), 0x336699u);
  EXPECT_EQ(window_.Menus.Outlines.Tag(), 2);
  EXPECT_FALSE(window_.Menus.OutlinesNone.Checked());
  EXPECT_FALSE(window_.Menus.OutlinesPaper.Checked());
  EXPECT_TRUE(window_.Menus.OutlinesCard.Checked());
  EXPECT_FALSE(window_.Menus.OutlinesWood.Checked());
  EXPECT_TRUE(window_.Menus.Rotation.Checked());
  EXPECT_TRUE(window_.Menus.RotateRight.Enabled());
  EXPECT_TRUE(window_.Menus.RotateLeft.Enabled());

  EXPECT_EQ(config.OutlineStyle, 2);
  EXPECT_TRUE(config.Rotating);
  EXPECT_TRUE(config.Shadows);
  EXPECT_TRUE(config.SoundOn);
  EXPECT_TRUE(config.CheatingAllowed);
  EXPECT_FALSE(config.GhostPicture);
  EXPECT_EQ(config.PlayWidth, 640);
  EXPECT_EQ(config.PlayHeight, 400);
  EXPECT_TRUE(messages_.empty());

  // The picture comes from the same file.
  TBitmap picture;
  gift.LoadPicture(picture);
  EXPECT_EQ(picture.Width(), 48);
  EXPECT_EQ(picture.Height(), 32);

  // The closing splash: the same steps with the closing fields.
  TSplashTexts closing;
  gift.ShowClosingTexts(closing);
  EXPECT_EQ(closing.GiftLab, s.GiftLab);
  EXPECT_EQ(closing.MemoText, "Goodbye");
  EXPECT_EQ(closing.MemoColor, 0xF0FBFFu);
  EXPECT_EQ(closing.MemoAlignment, TAlignment::RightJustify);
  EXPECT_EQ(closing.MemoFont.Name, "Courier New");
}

TEST_F(LoadGiftTest, SizeWordDecidesAndOneAppendedByteBreaksIt) {
  const QString good = WriteGift(SampleTrailer());
  // The 3,421st byte from the end is 0x5D, then 0x0D.
  QFile file(good);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  file.seek(file.size() - 3421);
  EXPECT_EQ(file.read(2), QByteArray("\x5D\x0D"));
  file.close();

  TJigConfig config(window_);
  TGift gift([&] { return good; });
  EXPECT_NO_THROW(gift.LoadGift(window_, record_, config));

  TWindowState untouched;
  TPuzzleRecord record;
  TJigConfig otherConfig(untouched);
  const QString longer = WriteGift(SampleTrailer(), {}, "x");
  TGift damaged([&] { return longer; });
  try {
    damaged.LoadGift(untouched, record, otherConfig);
    FAIL() << "no error";
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "This jigsaw gift file is damaged and cannot be opened");
  }
  EXPECT_EQ(untouched.OpeningSplash.GiftLab, "");
  EXPECT_EQ(untouched.Color(), clBtnFace);
  EXPECT_EQ(record.Title, "");
  EXPECT_TRUE(untouched.Menus.Music.Checked());

  // Shorter than a trailer, or no file at all.
  const QString tiny = dir_.filePath("tiny");
  QFile small(tiny);
  ASSERT_TRUE(small.open(QIODevice::WriteOnly));
  small.write(QByteArray(3420, '\x0D'));
  small.close();
  TGift shortGift([&] { return tiny; });
  EXPECT_THROW(shortGift.LoadGift(untouched, record, otherConfig), EStreamError);
  TGift missing([&] { return dir_.filePath("none"); });
  try {
    missing.LoadGift(untouched, record, otherConfig);
    FAIL() << "no error";
  } catch (const EError& e) {
    EXPECT_TRUE(e.Message().startsWith("Cannot open file")) << qPrintable(e.Message());
  }
}

TEST_F(LoadGiftTest, NoMusicTurnsTheMusicOptionOff) {
  TGiftTrailer t = SampleTrailer();
  t.CreatorVersion = "v5";
  const QString path = WriteGift(t);
  TJigConfig config(window_);
  TGift gift([&] { return path; });
  gift.LoadGift(window_, record_, config);
  EXPECT_TRUE(window_.MusicFile.isEmpty());
  EXPECT_FALSE(window_.Menus.Music.Checked());
  EXPECT_FALSE(window_.Menus.SpeedMusic.Checked());
  EXPECT_TRUE(window_.OpeningSplash.GiftLab.contains("created by Tessarine v5. Click"));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(LoadGiftTest, EmptyOpeningTextHidesTheMemoOnce) {
  TGiftTrailer t = SampleTrailer();
  t.OpeningText = "";
  const QString path = WriteGift(t);
  TJigConfig config(window_);
  TGift gift([&] { return path; });
  gift.LoadGift(window_, record_, config);
  EXPECT_FALSE(window_.OpeningSplash.MemoVisible);
  EXPECT_EQ(window_.OpeningSplash.PanelHeight, 408 - 199);
  EXPECT_EQ(window_.OpeningSplash.ClientHeight, 414 - 199);
  // Loading again (the user declined to resume) shortens nothing more.
  gift.LoadGift(window_, record_, config);
  EXPECT_EQ(window_.OpeningSplash.ClientHeight, 414 - 199);
}

TEST_F(LoadGiftTest, InvalidColourNameGivesWhiteAndKeepsTheAlignment) {
  TGiftTrailer t = SampleTrailer();
  t.OpeningColorName = "clNoSuchColour";
  t.OpeningAlignment = 1;
  const QString path = WriteGift(t);
  window_.OpeningSplash.MemoAlignment = TAlignment::Center;
  TJigConfig config(window_);
  TGift gift([&] { return path; });
  gift.LoadGift(window_, record_, config);
  EXPECT_EQ(window_.OpeningSplash.MemoColor, 0xFFFFFFu);
  EXPECT_EQ(window_.OpeningSplash.MemoAlignment, TAlignment::Center);
  EXPECT_EQ(window_.OpeningSplash.MemoText, "Hello\nthere");
}

TEST_F(LoadGiftTest, OptionsFollowTheGift) {
  TGiftTrailer t = SampleTrailer();
  t.OutlineStyle = 3;
  t.RotationOn = 0;
  const QString path = WriteGift(t);
  window_.Menus.Rotation.SetChecked(true);
  int rotationChanges = 0;
  QObject::connect(&window_.Menus.Rotation, &TMenuItemState::Changed, [&] { ++rotationChanges; });
  TJigConfig config(window_);
  TGift gift([&] { return path; });
  gift.LoadGift(window_, record_, config);
  EXPECT_EQ(rotationChanges, 1);
  EXPECT_FALSE(window_.Menus.Rotation.Checked());
  EXPECT_FALSE(window_.Menus.RotateRight.Enabled());
  EXPECT_FALSE(window_.Menus.RotateLeft.Enabled());
  EXPECT_TRUE(window_.Menus.OutlinesWood.Checked());
  EXPECT_FALSE(window_.Menus.OutlinesCard.Checked());
  EXPECT_TRUE(config.IsWoodOutline());
  EXPECT_FALSE(config.Rotating);
}

TEST_F(LoadGiftTest, HostileTrailersGiveClearErrorsAndSaneValues) {
  TGiftTrailer t = SampleTrailer();
  t.ShapeStyle = 99;
  t.Oddness = 5000;
  t.OutlineStyle = 0x7FFFFFFF;
  const QByteArray jpeg = SmallJpeg();
  // Music that runs past the end of the file, and a picture far outside it.
  t.MusicOffset = std::uint32_t(program.size());
  t.MusicLength = 0x7FFFFFFF;
  t.PictureOffset = 0xFFFFFF00;
  t.PictureLength = 0xFFFFFFFF;
  const QString path = WriteGift(t, {}, {}, true);
  TJigConfig config(window_);
  TGift gift([&] { return path; });
  gift.LoadGift(window_, record_, config);
  EXPECT_EQ(record_.ShapeStyle, 1);
  EXPECT_EQ(record_.Oddness, 10);
  EXPECT_EQ(window_.Menus.Outlines.Tag(), 2);
  EXPECT_TRUE(window_.MusicFile.isEmpty());
  EXPECT_FALSE(window_.Menus.Music.Checked());
  EXPECT_TRUE(messages_.empty());

  TBitmap picture;
  try {
    gift.LoadPicture(picture);
    FAIL() << "no error";
  } catch (const EError& e) {
    EXPECT_EQ(e.Message(), "The picture in this jigsaw gift file is missing or damaged");
  }

  // A picture region inside the file that holds no JPEG.
  t.PictureOffset = 0;
  t.PictureLength = 100;
  const QString garbage = WriteGift(t, {}, {}, true);
  TGift garbageGift([&] { return garbage; });
  garbageGift.LoadGift(window_, record_, config);
  try {
    garbageGift.LoadPicture(picture);
    FAIL() << "no error";
  } catch (const EJpegError& e) {
    EXPECT_TRUE(e.Message().contains("Not a JPEG file")) << qPrintable(e.Message());
  }
  EXPECT_TRUE(picture.IsEmpty());
}

TEST_F(LoadGiftTest, RandomTrailersNeverCrashOrReadOutsideTheFile) {
  std::mt19937 random(7);
  const QString path = dir_.filePath("random");
  const QByteArray jpeg = SmallJpeg();
  for (int round = 0; round < 200; ++round) {
    TGiftTrailer::TBytes bytes;
    for (std::uint8_t& b : bytes) b = std::uint8_t(random());
    bytes[0] = 0x5D;
    bytes[1] = 0x0D;
    // Every other round the picture region is right but its JPEG damaged.
    QByteArray damaged = jpeg;
    if (round % 2) {
      for (int k = 0; k < 4; ++k) damaged[2 + qsizetype(random() % std::uint32_t(damaged.size() - 2))] = char(random());
      TPackedWriter(bytes).U32(2, std::uint32_t(program.size()));
      TPackedWriter(bytes).U32(6, std::uint32_t(damaged.size()));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(program + damaged);
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    file.close();

    TWindowState window;
    TJigConfig config(window);
    TGift gift([&] { return path; });
    gift.LoadGift(window, record_, config);
    EXPECT_GE(record_.ShapeStyle, 1);
    EXPECT_LE(record_.ShapeStyle, 6);
    EXPECT_LE(record_.Oddness, 10);
    EXPECT_LE(window.Menus.Outlines.Tag(), 3);
    TBitmap picture;
    try {
      gift.LoadPicture(picture);
    } catch (const EError&) {
    }
  }
}

TEST_F(LoadGiftTest, MusicIsNeverWrittenToAFile) {
  // Where older players wrote the tune: a link planted there by another user
  // is left as it is, and so is the file it points to.
  const QString temporary = dir_.filePath(QStringLiteral("tmp"));
  ASSERT_TRUE(QDir().mkpath(temporary));
  const QByteArray savedTmp = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(temporary));
  const auto restore = qScopeGuard([&] {
    if (savedTmp.isNull())
      qunsetenv("TMPDIR");
    else
      qputenv("TMPDIR", savedTmp);
  });
  const QString target = dir_.filePath(QStringLiteral("notes.txt"));
  {
    QFile notes(target);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("my notes\n");
  }
  const QString oldName =
      QDir(temporary).filePath(QStringLiteral("jig%1.mid").arg(QCoreApplication::applicationPid()));
  ASSERT_TRUE(QFile::link(target, oldName));

  const QString path = WriteGift(SampleTrailer(), tune);
  TJigConfig config(window_);
  TGift gift([&] { return path; });
  gift.LoadGift(window_, record_, config);
  EXPECT_EQ(window_.MusicFile, tune);
  EXPECT_TRUE(window_.Menus.Music.Checked());
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(QFileInfo(oldName).symLinkTarget(), target);
  EXPECT_EQ(QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
            QStringList{QFileInfo(oldName).fileName()});
  QFile notes(target);
  ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
  EXPECT_EQ(notes.readAll(), "my notes\n");
}

class TRecordedEffects : public TSoundEffects {
 public:
  void PlaySoundEntry(int n) override { played.push_back(n); }
  std::vector<int> played;
};

TEST(JigConfig, EffectsSoundOnlyWithTheSoundOption) {
  TWindowState window;
  TJigConfig config(window);
  TRecordedEffects effects;
  SetSoundEffects(&effects);
  config.PlayEffect(1);
  config.SoundOn = false;
  config.PlayEffect(2);
  config.SoundOn = true;
  config.PlayEffect(4);
  SetSoundEffects(nullptr);
  config.PlayEffect(5);
  EXPECT_EQ(effects.played, (std::vector<int>{1, 4}));

  // CaptureFromMenus leaves SnapDivisor alone.
  config.SnapDivisor = 4;
  window.Menus.Shadows.SetChecked(false);
  window.Menus.Ghostpicture.SetChecked(true);
  window.Menus.AllowCheating.SetChecked(false);
  config.CaptureFromMenus();
  EXPECT_EQ(config.SnapDivisor, 4);
  EXPECT_FALSE(config.Shadows);
  EXPECT_TRUE(config.GhostPicture);
  EXPECT_FALSE(config.CheatingAllowed);
}

}  // namespace
