// The "Make a Jigsaw Gift" window: every field filled and saved, read back by
// the player's own loader and by the gift tool; pictures of several formats,
// a camera photo turned upright; bad pictures, tunes and texts refused with a
// message; a save that fails leaves no file and keeps the window's contents.

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QKeyEvent>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>

#include "game/colornames.h"
#include "game/gift.h"
#include "game/music.h"
#include "game/picture.h"
#include "platform/messagebox.h"
#include "platform/random.h"
#include "platform/utility.h"
#include "shell/giftmakerdlg.h"
#include "shell/glyphs.h"
#include "shell/modal.h"
#include "shell/musicplayer.h"
#include "shell/splashform.h"
#include "shell/startup.h"
#include "tests/common/testgift.h"

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray bytes;
  for (int v : values) bytes.append(char(v));
  return bytes;
}
QByteArray Chunk(const char* name, const QByteArray& body) {
  const auto n = std::uint32_t(body.size());
  return QByteArray(name, 4) + Bytes({int(n >> 24), int(n >> 16 & 0xFF), int(n >> 8 & 0xFF), int(n & 0xFF)}) + body;
}
// One flute note, a standard MIDI file of format 0.
QByteArray Tune() {
  return Chunk("MThd", Bytes({0, 0, 0, 1, 0, 96})) +
         Chunk("MTrk", Bytes({0x00, 0xC0, 0x49, 0x00, 0x90, 0x48, 0x60, 0x30, 0x80, 0x48, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
}

bool WriteFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Left half red, right half blue, a green top row: which way up a picture
// lies shows in its corners.
QImage Quarters(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, y < height / 4 ? qRgb(0, 200, 0) : x < width / 2 ? qRgb(220, 0, 0) : qRgb(0, 0, 220));
  return image;
}

// A JPEG whose Exif orientation tag is `orientation`: the APP1 segment is
// written by hand after the start of the image (big-endian TIFF, one entry).
QByteArray JpegWithOrientation(const QImage& image, int orientation) {
  const QByteArray jpeg = EncodeJpeg(TBitmap(image.convertToFormat(QImage::Format_BGR888)), 95);
  const QByteArray tiff = QByteArray("MM\0\x2A\0\0\0\x08", 8) + Bytes({0, 1}) +  // one entry
                          Bytes({0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, orientation, 0, 0}) + Bytes({0, 0, 0, 0});
  const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
  const int length = int(body.size()) + 2;
  return jpeg.left(2) + Bytes({0xFF, 0xE1, length >> 8, length & 0xFF}) + body + jpeg.mid(2);
}

QColor PixelOf(const TBitmap& bitmap, int x, int y) { return bitmap.Image().pixelColor(x, y); }
bool Reddish(const QColor& c) { return c.red() > 150 && c.green() < 80 && c.blue() < 80; }
bool Greenish(const QColor& c) { return c.green() > 150 && c.red() < 80 && c.blue() < 80; }

// The gift tool built beside the tests, or empty.
QString BuiltGiftTool() {
  const QString tool = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../tessarine-gift"));
  return QFileInfo(tool).isExecutable() ? QFileInfo(tool).canonicalFilePath() : QString();
}

class GiftMakerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    SetMessageHandler([this](TMsgType, TMsgButtons, const QString& text) {
      messages_.push_back(text);
      return TMsgResult::Ok;
    });
    SetModalHandler([this](QDialog& dialog) {
      if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
        if (chosen_.isEmpty()) return int(QDialog::Rejected);
        files->selectFile(chosen_);
        if (!filter_.isEmpty()) files->selectNameFilter(filter_);
        return int(QDialog::Accepted);
      }
      if (auto* colours = qobject_cast<QColorDialog*>(&dialog)) {
        colours->setCurrentColor(colours_.empty() ? QColor(Qt::black) : colours_.front());
        if (!colours_.empty()) colours_.erase(colours_.begin());
        colours->accept();
        return int(QDialog::Accepted);
      }
      if (auto* fonts = qobject_cast<QFontDialog*>(&dialog)) {
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSize(14);
        font.setItalic(true);
        fonts->setCurrentFont(font);
        fonts->accept();
        return int(QDialog::Accepted);
      }
      return int(QDialog::Rejected);
    });
  }
  void TearDown() override {
    SetMessageHandler({});
    SetModalHandler({});
  }
  QString Path(const char* name) const { return QDir(dir_.path()).filePath(QLatin1String(name)); }
  QString Picture(const char* name, const QImage& image, const char* format) const {
    const QString path = Path(name);
    EXPECT_TRUE(image.save(path, format)) << name;
    return path;
  }
  static QStringList FilesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir_;
  std::vector<QString> messages_;
  QString chosen_;
  QString filter_;
  std::vector<QColor> colours_;
};

TEST_F(GiftMakerTest, EveryFieldIsSavedAsTheGiftToolAndThePlayerReadIt) {
  const QString picture = Picture("lake.png", Quarters(320, 200), "PNG");
  ASSERT_TRUE(WriteFile(Path("tune.mid"), Tune()));
  QString played;
  TGiftMakerDlg maker({{}, [&](const QString& gift) { played = gift; }, nullptr, {}});
  EXPECT_EQ(maker.windowTitle(), "Make a Jigsaw Gift");
  EXPECT_FALSE(maker.isModal());
  EXPECT_FALSE(maker.SaveBtn->isEnabled()) << "no picture yet";
  EXPECT_FALSE(maker.PlayBtn->isEnabled());

  EXPECT_EQ(maker.LoadPicture(picture), QString());
  EXPECT_EQ(maker.Title->text(), "Lake") << "the title comes from the file's name";
  EXPECT_EQ(maker.PictureInfo->text(), "320 x 200 pixels");
  maker.Pieces->setValue(24);
  // 320 x 200 in 24 pieces: cells of 50 pixels, 6 x 4.
  EXPECT_EQ(maker.GridInfo->text(), "6 x 4 = 24 pieces of about 53 x 50 pixels");
  static_cast<QToolButton*>(maker.Shapes->button(4))->click();
  maker.Oddness->setValue(7);
  maker.Outline->setCurrentIndex(3);
  maker.Rotation->setChecked(true);
  colours_ = {QColor(0x33, 0x66, 0x99), QColor(0x10, 0x20, 0x30), QColor(0xFF, 0xEE, 0xDD), QColor(0xAA, 0, 0),
              QColor(0xEE, 0xFF, 0xEE)};
  maker.BoardColorBtn->click();
  maker.OpeningFontBtn->click();   // then its ink
  maker.OpeningColorBtn->click();  // paper
  maker.ClosingFontBtn->click();
  maker.ClosingColorBtn->click();
  maker.Title->setText(QStringLiteral("Lake day"));
  maker.Creator->setText(QStringLiteral("Ann Exampl\u00e9"));
  maker.Description->setPlainText(QStringLiteral("First line\nSecond line"));
  maker.OpeningText->setPlainText(QStringLiteral("Hello Ann"));
  maker.ClosingText->setPlainText(QStringLiteral("Bye now"));
  EXPECT_EQ(maker.findChild<QLabel*>(QStringLiteral("DescriptionCount"))->text(), "23 / 1024")
      << "a line break takes two bytes";
  EXPECT_EQ(maker.LoadMusic(Path("tune.mid")), QString());
  const std::uint32_t seed = maker.Trailer().Seed;
  maker.NewCutBtn->click();
  EXPECT_NE(maker.Trailer().Seed, seed);

  ASSERT_TRUE(maker.SaveBtn->isEnabled()) << maker.ProblemLabel->text().toStdString();
  chosen_ = Path("lake");  // the data gift's filter adds its extension
  maker.SaveBtn->click();
  const QString gift = Path("lake.tgift");
  ASSERT_TRUE(QFileInfo::exists(gift)) << maker.ProblemLabel->text().toStdString();
  EXPECT_TRUE(messages_.empty());

  const TGiftTrailer t = CheckGiftFile(gift);
  EXPECT_EQ(t.Title, "Lake day");
  EXPECT_EQ(t.Creator, QStringLiteral("Ann Exampl\u00e9"));
  EXPECT_EQ(t.Description, "First line\r\nSecond line");
  EXPECT_EQ(t.OpeningText, "Hello Ann");
  EXPECT_EQ(t.ClosingText, "Bye now");
  EXPECT_EQ(t.RequestedPieces, 24);
  EXPECT_EQ(t.ShapeStyle, 4u);
  EXPECT_EQ(t.Oddness, 7);
  EXPECT_EQ(t.Seed, maker.Trailer().Seed);
  EXPECT_EQ(t.OutlineStyle, 3u);
  EXPECT_EQ(t.RotationOn, 1u);
  EXPECT_EQ(t.BackgroundColor, RGBColor(0x33, 0x66, 0x99));
  EXPECT_EQ(t.OpeningFont.Name, "DejaVu Serif");
  EXPECT_EQ(t.OpeningFont.Height, 14) << "in points, as the font dialog chooses it";
  EXPECT_EQ(t.OpeningFont.Style, fsItalic);
  EXPECT_EQ(t.OpeningFont.Color, RGBColor(0x10, 0x20, 0x30));
  EXPECT_EQ(ColorFromName(t.OpeningColorName), RGBColor(0xFF, 0xEE, 0xDD));
  EXPECT_EQ(t.ClosingFont.Color, RGBColor(0xAA, 0, 0));
  EXPECT_EQ(ColorFromName(t.ClosingColorName), RGBColor(0xEE, 0xFF, 0xEE));
  EXPECT_EQ(t.PictureOffset, 0u) << "a data gift";
  TBitmap stored;
  LoadPicture(gift, t, stored);
  EXPECT_EQ(stored.Width(), 320);
  EXPECT_EQ(stored.Height(), 200);
  QFile file(gift);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(ExtractMusic(file, t), Tune());
  EXPECT_EQ(file.size(), qint64(t.PictureLength) + Tune().size() + qint64(TGiftTrailer::FileSize));

  maker.show();
  maker.PlayBtn->click();
  EXPECT_EQ(played, gift);
  EXPECT_FALSE(maker.isVisible()) << "the window steps aside for the game";
  EXPECT_EQ(maker.Title->text(), "Lake day");

  // The tool reads back what the window wrote.
  if (const QString tool = BuiltGiftTool(); !tool.isEmpty()) {
    QProcess info;
    info.start(tool, {QStringLiteral("info"), gift});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString out = QString::fromLocal8Bit(info.readAllStandardOutput());
    for (const char* line : {"Title: Lake day", "Description: First line\\nSecond line", "RequestedPieces: 24",
                             "ShapeStyle: 4 (star)", "OutlineStyle: 3 (wood)", "RotationOn: 1 (yes)",
                             "Grid: 6 x 4 (24 pieces)", "Picture: 320 x 200", "Oddness: 7"})
      EXPECT_TRUE(out.contains(QLatin1String(line))) << line << "\n" << out.toStdString();
  }

  // An executable gift: a copy of the player named by the host, then the rest.
  const QString player = Path("player");
  ASSERT_TRUE(WriteFile(player, TestProgram()));
  TGiftMakerDlg programMaker({[&] { return player; }, {}, nullptr, {}});
  EXPECT_FALSE(programMaker.PlayBtn->isVisibleTo(&programMaker)) << "no player to play it in";
  ASSERT_EQ(programMaker.LoadPicture(picture), QString());
  EXPECT_EQ(programMaker.SaveGift(Path("lake-program")), QString());
  const TGiftTrailer p = CheckGiftFile(Path("lake-program"));
  EXPECT_EQ(p.PictureOffset, std::uint32_t(TestProgram().size()));
  EXPECT_TRUE(QFileInfo(Path("lake-program")).isExecutable());
}

TEST_F(GiftMakerTest, PicturesOfAnyFormatAreStoredUprightAsJpeg) {
  TGiftMakerDlg maker({});
  auto stored = [&](const QString& picture) {
    EXPECT_EQ(maker.LoadPicture(picture), QString());
    const QString gift = picture + QStringLiteral(".tgift");
    EXPECT_EQ(maker.SaveGift(gift), QString());
    const TGiftTrailer t = CheckGiftFile(gift);
    TBitmap bitmap;
    LoadPicture(gift, t, bitmap);
    return bitmap;
  };
  const TBitmap fromPng = stored(Picture("quarters.png", Quarters(64, 48), "PNG"));
  EXPECT_EQ(fromPng.Width(), 64);
  EXPECT_TRUE(Greenish(PixelOf(fromPng, 2, 2)));
  EXPECT_TRUE(Reddish(PixelOf(fromPng, 2, 40)));

  const TBitmap fromBmp = stored(Picture("quarters.bmp", Quarters(64, 48), "BMP"));
  EXPECT_TRUE(Reddish(PixelOf(fromBmp, 2, 40)));

  // A camera's portrait photo: stored 64 x 32, to be turned a quarter
  // clockwise. The gift's picture is 32 x 64 and upright: the green top row
  // of the stored picture becomes the right-hand column.
  ASSERT_TRUE(WriteFile(Path("camera.jpg"), JpegWithOrientation(Quarters(64, 32), 6)));
  const TBitmap turned = stored(Path("camera.jpg"));
  EXPECT_EQ(turned.Width(), 32);
  EXPECT_EQ(turned.Height(), 64);
  EXPECT_TRUE(Greenish(PixelOf(turned, 30, 5)));
  EXPECT_TRUE(Reddish(PixelOf(turned, 5, 5))) << "the stored picture's bottom left is the top left";

  // A baseline JPEG needing no turn is kept byte for byte.
  const QByteArray plain = EncodeJpeg(GiftTestPicture(40, 30), 90);
  ASSERT_TRUE(WriteFile(Path("plain.jpg"), plain));
  stored(Path("plain.jpg"));
  const TGiftTrailer t = CheckGiftFile(Path("plain.jpg.tgift"));
  QFile gift(Path("plain.jpg.tgift"));
  ASSERT_TRUE(gift.open(QIODevice::ReadOnly));
  EXPECT_EQ(gift.read(t.PictureLength), plain);

  if (!QImageWriter::supportedImageFormats().contains("webp"))
    GTEST_SKIP() << "Qt's WebP plugin (qt6-image-formats-plugins) is not installed";
  const TBitmap fromWebp = stored(Picture("quarters.webp", Quarters(64, 48), "WEBP"));
  EXPECT_EQ(fromWebp.Height(), 48);
  EXPECT_TRUE(Reddish(PixelOf(fromWebp, 2, 40)));
}

TEST_F(GiftMakerTest, BadInputIsRefusedWithAMessageAndNothingIsWritten) {
  TGiftMakerDlg maker({});
  ASSERT_TRUE(WriteFile(Path("text.png"), "not a picture"));
  ASSERT_TRUE(WriteFile(Path("empty.jpg"), {}));
  // A BMP header of 70,000 x 1,000 pixels: more than a side may have.
  QByteArray huge = QByteArray("BM") + QByteArray(52, '\0');
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) huge[at + i] = char(v >> (8 * i));
  };
  put32(10, 54), put32(14, 40), put32(18, 70000), put32(22, 1000);
  huge[26] = 1, huge[28] = 24;
  ASSERT_TRUE(WriteFile(Path("huge.bmp"), huge));
  for (const char* name : {"missing.png", "text.png", "empty.jpg", "huge.bmp"}) {
    const QString problem = maker.LoadPicture(Path(name));
    EXPECT_TRUE(problem.contains(Path(name))) << name << ": " << problem.toStdString();
    EXPECT_EQ(maker.ProblemLabel->text(), problem);
    EXPECT_FALSE(maker.SaveBtn->isEnabled()) << name;
  }
  EXPECT_TRUE(maker.LoadPicture(Path("huge.bmp")).contains(QStringLiteral("too large")));

  const QString picture = Picture("quarters.png", Quarters(64, 48), "PNG");
  ASSERT_EQ(maker.LoadPicture(picture), QString());
  EXPECT_TRUE(maker.SaveBtn->isEnabled());

  // A tune the player would refuse (a header of seven bytes) is refused here.
  ASSERT_TRUE(WriteFile(Path("odd.mid"), Chunk("MThd", Bytes({0, 0, 0, 1, 0, 96, 0})) + Tune().mid(14)));
  const QString refused = maker.LoadMusic(Path("odd.mid"));
  EXPECT_TRUE(refused.contains(QStringLiteral("is not a standard MIDI file"))) << refused.toStdString();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_.back(), refused);
  EXPECT_TRUE(maker.MusicPath->text().isEmpty());

  // Texts: a character outside the Western European set, and too many.
  maker.Title->setText(QStringLiteral("Snow \u2744"));
  EXPECT_EQ(maker.Problem(), QStringLiteral("The title has characters that a gift cannot hold: \u2744. A gift takes "
                                            "only the letters and signs of Western European languages."));
  EXPECT_FALSE(maker.SaveBtn->isEnabled());
  EXPECT_TRUE(maker.SaveGift(Path("snow.tgift")).contains(QStringLiteral("cannot hold")));
  maker.Title->setText(QString(65, u'x'));
  EXPECT_EQ(maker.Problem(), "The title is too long: 65 characters, at most 64 (a line break counts as two).");
  EXPECT_EQ(maker.findChild<QLabel*>(QStringLiteral("TitleCount"))->text(), "65 / 64");
  maker.Title->setText(QStringLiteral("Fine"));
  maker.OpeningText->setPlainText(QString(1023, u'o') + u'\n');
  EXPECT_TRUE(maker.Problem().startsWith(QStringLiteral("The opening message is too long: 1025 characters")));
  maker.OpeningText->setPlainText(QStringLiteral("Hello"));
  EXPECT_EQ(maker.Problem(), QString());

  // A folder that does not exist, and a disk that fills up: the message says
  // so, nothing is left behind, and the window keeps what was typed.
  const QString missingFolder = maker.SaveGift(Path("no/such/folder/gift.tgift"));
  EXPECT_TRUE(missingFolder.startsWith(QStringLiteral("Cannot write"))) << missingFolder.toStdString();
  const QStringList before = FilesIn(dir_.path());
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 2000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const QString full = maker.SaveGift(Path("full.tgift"));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(full.startsWith(QStringLiteral("Cannot write"))) << full.toStdString();
  EXPECT_EQ(FilesIn(dir_.path()), before) << "no gift and no temporary file";
  EXPECT_EQ(maker.Title->text(), "Fine");
  EXPECT_EQ(maker.ProblemLabel->text(), full);
  EXPECT_FALSE(maker.PlayBtn->isEnabled());
  EXPECT_EQ(maker.SaveGift(Path("full.tgift")), QString()) << "with room again";
}

TEST_F(GiftMakerTest, ThePreviewDrawsThePlayersCutAndFollowsTheSettings) {
  TGiftMakerDlg maker({});
  maker.resize(1000, 700);
  maker.show();
  QApplication::processEvents();
  EXPECT_TRUE(maker.Preview->Lines().isNull());
  ASSERT_EQ(maker.LoadPicture(Picture("quarters.png", Quarters(640, 480), "PNG")), QString());
  QApplication::processEvents();
  const QImage& shown = maker.Preview->Shown();
  ASSERT_FALSE(shown.isNull());
  EXPECT_LE(shown.width(), 640);
  EXPECT_LE(std::abs(shown.width() * 480 - shown.height() * 640), 640) << "keeps the picture's shape";
  auto lineCount = [&] {
    const QImage& lines = maker.Preview->Lines();
    int count = 0;
    for (int y = 0; y < lines.height(); ++y)
      for (int x = 0; x < lines.width(); ++x) count += qAlpha(lines.pixel(x, y)) != 0;
    return count;
  };
  maker.Oddness->setValue(0);
  maker.Pieces->setValue(12);  // 4 x 3 cells of 160 pixels
  const QImage& lines = maker.Preview->Lines();
  ASSERT_EQ(lines.size(), shown.size());
  // A straight grid: the lines between the cells lie at the fitted grid's
  // boundaries, scaled to the shown size, and the cells' middles are free.
  const int cellWidth = lines.width() / 4;
  const int cellHeight = lines.height() / 3;
  EXPECT_EQ(qAlpha(lines.pixel(cellWidth / 2, cellHeight / 2)), 0);
  const int fewer = lineCount();
  maker.Pieces->setValue(300);
  EXPECT_GT(lineCount(), 3 * fewer) << "more pieces, more lines";
  const QImage before = maker.Preview->Lines();
  maker.Oddness->setValue(8);
  maker.NewCutBtn->click();
  EXPECT_NE(maker.Preview->Lines(), before);
  // The game's generator is where it was.
  SetRandSeed(77);
  maker.NewCutBtn->click();
  EXPECT_EQ(RandSeed(), 77u);
  // Nor does the game's status line change.
  struct TRecordingLine : TStatusLine {
    std::vector<QString> Texts;
    void SetStatusText(const QString& text) override { Texts.push_back(text); }
  } line;
  SetStatusLine(&line);
  maker.Pieces->setValue(40);
  SetStatusLine(nullptr);
  EXPECT_TRUE(line.Texts.empty());
}

TEST_F(GiftMakerTest, TheTuneIsHeardThroughThePlayersMusicAndTheGameGetsItBack) {
  // SDL's silent driver, as the sound tests use it; the driver set before
  // comes back at the end.
  struct TDummyAudio {
    const QByteArray saved = qgetenv("SDL_AUDIODRIVER");
    TDummyAudio() { qputenv("SDL_AUDIODRIVER", "dummy"); }
    ~TDummyAudio() { saved.isNull() ? void(qunsetenv("SDL_AUDIODRIVER")) : void(qputenv("SDL_AUDIODRIVER", saved)); }
  } dummy;
  TAudioDevice device;
  TMusicPlayer player(device);
  int givenBack = 0;
  TGiftMakerDlg maker({{}, {}, &player, [&] { ++givenBack; }});
  EXPECT_TRUE(maker.ListenBtn->isVisibleTo(&maker));
  EXPECT_FALSE(maker.ListenBtn->isEnabled()) << "no tune yet";
  ASSERT_TRUE(WriteFile(Path("tune.mid"), Tune()));
  ASSERT_EQ(maker.LoadMusic(Path("tune.mid")), QString());
  ASSERT_TRUE(maker.ListenBtn->isEnabled());
  maker.ListenBtn->click();
  const bool heard = player.IsPlaying();
  if (!heard) {
    GTEST_SKIP() << "no audio device here: " << (messages_.empty() ? "" : messages_.back().toStdString());
  }
  EXPECT_EQ(maker.ListenBtn->text(), "S&top");
  maker.ListenBtn->click();
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_EQ(givenBack, 1);
  maker.ListenBtn->click();
  maker.NoMusicBtn->click();
  EXPECT_FALSE(player.IsPlaying()) << "the tune taken out stops";
  EXPECT_EQ(givenBack, 2);
  EXPECT_FALSE(maker.ListenBtn->isEnabled());
  // Escape leaves the window, and the tune stops with it.
  ASSERT_EQ(maker.LoadMusic(Path("tune.mid")), QString());
  maker.show();
  maker.ListenBtn->click();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&maker, &escape);
  EXPECT_FALSE(maker.isVisible());
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_EQ(givenBack, 3);
}

TEST_F(GiftMakerTest, TheSplashsOrderButtonOpensTheMakerOverTheSplash) {
  QString shown;
  SetModalHandler([&](QDialog& dialog) {
    shown = dialog.objectName();
    auto* maker = qobject_cast<TGiftMakerDlg*>(&dialog);
    EXPECT_TRUE(maker && !maker->PlayBtn->isVisibleTo(maker)) << "the splash has no game to open a gift in";
    return int(QDialog::Rejected);
  });
  TSplashForm splash;
  splash.OrderBtn->click();
  EXPECT_EQ(shown, "GiftMakerDlg");

  // With no maker's site to order from, the splash says what this build
  // does: which version made the gift, and how to make one.
  if (!MakerWebAddress().isEmpty()) GTEST_SKIP() << "built with a maker's web address";
  EXPECT_EQ(splash.OrderBtn->text(), "Make a Gift");
  EXPECT_EQ(splash.OrderBtn->icon().pixmap(32).toImage(), WindowIcon().pixmap(32).toImage())
      << "a jigsaw piece, not a shopping cart";
  EXPECT_EQ(splash.Version->text(), "player " TG_VERSION);
  TSplashTexts texts;
  texts.CreatorVersion = QStringLiteral("v0.1");
  splash.ShowTexts(texts);
  EXPECT_EQ(splash.GiftLab->text(),
            QStringLiteral("This jigsaw gift was made with Tessarine Gift v0.1. You can make one of your own from any "
                           "picture: press Make a Gift below, or choose File \u203A Make a Gift... while you play."));
  splash.ShowTexts(TSplashTexts{});
  EXPECT_TRUE(splash.GiftLab->text().startsWith(QStringLiteral("This jigsaw gift was made with Tessarine Gift. ")));
  EXPECT_EQ(NewGiftTrailer().CreatorVersion, TG_VERSION) << "a new gift names this program as its maker";
}

}  // namespace
