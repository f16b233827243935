#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

#include <limits>

#include "platform/colors.h"
#include "shell/aboutjigdlg.h"
#include "shell/adaptcolors.h"
#include "shell/congratsdlg.h"
#include "shell/fonts.h"
#include "shell/solvedlg.h"

namespace {

// A dark scheme: the classic black texts would not read on it.
constexpr TColor DarkWindow = 0x202020;
constexpr TColor LightWindowText = 0xE0F0F0;
constexpr TColor YellowButtonText = 0x00FFFF;

class Dialogs : public ::testing::Test {
 protected:
  void TearDown() override { ResetSystemColors(); }

  static void UseDarkScheme() {
    SetSystemColor(COLOR_WINDOW, DarkWindow);
    SetSystemColor(COLOR_WINDOWTEXT, LightWindowText);
    SetSystemColor(COLOR_BTNTEXT, YellowButtonText);
  }
};

QColor TextColor(const QWidget& widget, QPalette::ColorRole role = QPalette::WindowText) {
  return widget.palette().color(QPalette::Active, role);
}

QRect Geometry(int left, int top, int width, int height) { return QRect(left, top, width, height); }

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
 public:
  explicit TPaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  int Paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return QObject::eventFilter(watched, event);
  }
};

// A gauge on its own, 61 x 59 like the solve window's, on screen.
class Gauge : public Dialogs {
 protected:
  Gauge() {
    gauge_.resize(61, 59);
    gauge_.SetColors(RGBColor(0, 0, 255), clBtnFace);
  }

  // The pixel half way from the centre to the circle along a diagonal: dx
  // and dy are +1 or -1, y growing downwards.
  QColor Quarter(const QImage& image, int dx, int dy) const {
    const double cx = (gauge_.width() - 1) / 2.0;
    const double cy = (gauge_.height() - 1) / 2.0;
    return image.pixelColor(int(cx + dx * cx * 0.55), int(cy + dy * cy * 0.55));
  }

  QColor Fore() const { return ToQColor(gauge_.ForeColor()); }
  QColor Back() const { return ToQColor(gauge_.BackColor()); }

  TGauge gauge_;
};

QColor Inverse(const QColor& color) {
  return QColor(255 - color.red(), 255 - color.green(), 255 - color.blue());
}

}  // namespace

TEST_F(Dialogs, CongratulationsLayout) {
  const QString status = QStringLiteral("You solved all 54 pieces in 3 minutes and 7 seconds without cheating!");
  TCongratsDlg dialog(status);
  EXPECT_EQ(dialog.windowTitle(), "You solved it!");
  EXPECT_EQ(dialog.size(), QSize(TCongratsDlg::ClientWidth, TCongratsDlg::ClientHeight));
  EXPECT_EQ(dialog.size(), QSize(401, 266));
  EXPECT_EQ(dialog.font().pixelSize(), 16);
  EXPECT_EQ(dialog.Bevel->geometry(), Geometry(10, 10, 381, 201));

  EXPECT_EQ(dialog.ProgramIcon->geometry(), Geometry(14, 14, 120, 134));
  const QImage icon = dialog.ProgramIcon->pixmap().toImage();
  ASSERT_EQ(icon.width(), 120);
  EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0) << "transparent around the piece";
  EXPECT_EQ(icon.pixelColor(60, 60).alpha(), 255) << "the piece fills the middle";

  for (QLabel* title : {dialog.TitleShad, dialog.Title}) {
    EXPECT_EQ(title->text(), "Congratulations!");
    EXPECT_EQ(title->font().family(), "Times New Roman");
    EXPECT_EQ(title->font().pixelSize(), 30);
    EXPECT_TRUE(title->font().bold());
  }
  // The title stands clear of the bevel around it.
  EXPECT_LE(dialog.Title->geometry().right() + 6, dialog.Bevel->geometry().right());
  EXPECT_EQ(dialog.TitleShad->pos(), QPoint(138, 48));
  EXPECT_EQ(dialog.Title->pos(), QPoint(139, 49));
  EXPECT_EQ(TextColor(*dialog.TitleShad), QColor(Qt::white));
  EXPECT_EQ(TextColor(*dialog.Title), QColor(0, 0, 255));
  EXPECT_GT(dialog.children().indexOf(dialog.Title), dialog.children().indexOf(dialog.TitleShad))
      << "the blue title lies in front";

  EXPECT_EQ(dialog.JigStatus->geometry(), Geometry(140, 108, 239, 97));
  EXPECT_TRUE(dialog.JigStatus->wordWrap());
  EXPECT_EQ(dialog.JigStatus->text(), status);

  EXPECT_EQ(dialog.OKButton->size(), QSize(96, 33));
  EXPECT_EQ(dialog.OKButton->text(), "OK");
  EXPECT_EQ(dialog.OKButton->font().pixelSize(), 15);
  EXPECT_TRUE(dialog.OKButton->font().bold());
  EXPECT_TRUE(QRect(QPoint(), dialog.size()).contains(dialog.OKButton->geometry()));
  EXPECT_GE(dialog.OKButton->y(), dialog.Bevel->geometry().bottom());
}

TEST_F(Dialogs, CongratulationsCloseWithOk) {
  TCongratsDlg dialog(QStringLiteral("done"));
  dialog.show();
  dialog.OKButton->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(Dialogs, CongratulationsAdaptBlackTextOnlyWhenShown) {
  UseDarkScheme();
  TCongratsDlg dialog(QStringLiteral("done"));
  EXPECT_EQ(TextColor(*dialog.JigStatus), QColor(Qt::black));
  dialog.show();
  EXPECT_EQ(TextColor(*dialog.JigStatus), ToQColor(LightWindowText));
  EXPECT_EQ(TextColor(*dialog.OKButton, QPalette::ButtonText), ToQColor(YellowButtonText));
  // The coloured titles were chosen for their colour.
  EXPECT_EQ(TextColor(*dialog.TitleShad), QColor(Qt::white));
  EXPECT_EQ(TextColor(*dialog.Title), QColor(0, 0, 255));
}

TEST_F(Dialogs, AboutThisJigsawLayout) {
  TAboutJigDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), "About this jigsaw");
  EXPECT_EQ(dialog.size(), QSize(470, 442));
  EXPECT_EQ(dialog.font().pixelSize(), 14);
  EXPECT_TRUE(dialog.font().bold());

  EXPECT_EQ(dialog.InfoGroup->title(), "Information");
  EXPECT_EQ(dialog.InfoGroup->size(), QSize(448, 200));
  EXPECT_EQ(dialog.DescriptionGroup->title(), "Description");
  EXPECT_EQ(dialog.DescriptionGroup->size(), QSize(448, 161));
  EXPECT_GE(dialog.DescriptionGroup->y(), dialog.InfoGroup->geometry().bottom());

  EXPECT_EQ(dialog.TitleLabel->text(), "Title:");
  EXPECT_EQ(dialog.CreatorLabel->text(), "Creator:");
  EXPECT_EQ(dialog.InfoLabel->text(), "Info:");
  EXPECT_EQ(dialog.StatusLabel->text(), "Status:");
  // Each value beside its caption, the creation line under the statistics.
  const std::pair<QLabel*, QLabel*> rows[] = {{dialog.TitleLabel, dialog.TitleName},
                                              {dialog.CreatorLabel, dialog.CreatorName},
                                              {dialog.InfoLabel, dialog.PuzzleStats},
                                              {dialog.StatusLabel, dialog.JigStatus}};
  for (const auto& [caption, value] : rows) {
    EXPECT_EQ(value->parent(), dialog.InfoGroup);
    EXPECT_EQ(value->y(), caption->y()) << caption->text().toStdString();
    EXPECT_GT(value->x(), caption->geometry().right()) << caption->text().toStdString();
  }
  EXPECT_EQ(dialog.CreationStats->x(), dialog.PuzzleStats->x());
  EXPECT_GE(dialog.CreationStats->y(), dialog.PuzzleStats->geometry().bottom());
  EXPECT_LT(dialog.CreationStats->geometry().bottom(), dialog.JigStatus->y());
  EXPECT_EQ(dialog.JigStatus->size(), QSize(356, 49));
  EXPECT_TRUE(dialog.JigStatus->wordWrap());
  EXPECT_LE(dialog.JigStatus->geometry().bottom(), dialog.InfoGroup->height());

  EXPECT_EQ(dialog.Memo1->parent(), dialog.DescriptionGroup);
  EXPECT_EQ(dialog.Memo1->toPlainText(), "Hello there!");
  EXPECT_TRUE(dialog.Memo1->isReadOnly());
  EXPECT_EQ(dialog.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(dialog.Memo1->font().pixelSize(), 13);
  EXPECT_TRUE(dialog.Memo1->font().bold());

  EXPECT_EQ(dialog.OKBtn->text(), "OK");
  EXPECT_EQ(dialog.OKBtn->x() + dialog.OKBtn->width() / 2, 470 / 2);
  EXPECT_GE(dialog.OKBtn->y(), dialog.DescriptionGroup->geometry().bottom());
  EXPECT_LE(dialog.OKBtn->geometry().bottom(), 442);
}

TEST_F(Dialogs, AboutThisJigsawShowsTheTexts) {
  TAboutJigDlg dialog;
  TAboutInfo info{"Harbour", "Ann", "54 pieces 9x6, (640x427)", "Created 15/03/2023 by version v4.1 ",
                  "You have solved 12 out of 54 pieces without cheating!", std::nullopt};
  dialog.Fill(info);
  EXPECT_EQ(dialog.TitleName->text(), "Harbour");
  EXPECT_EQ(dialog.CreatorName->text(), "Ann");
  EXPECT_EQ(dialog.PuzzleStats->text(), "54 pieces 9x6, (640x427)");
  EXPECT_EQ(dialog.CreationStats->text(), "Created 15/03/2023 by version v4.1 ");
  EXPECT_EQ(dialog.JigStatus->text(), "You have solved 12 out of 54 pieces without cheating!");
  EXPECT_EQ(dialog.Memo1->toPlainText(), "Hello there!") << "no description: the memo keeps its text";

  info.Description = QStringLiteral("A harbour at dawn\nwith boats");
  dialog.Fill(info);
  EXPECT_EQ(dialog.Memo1->toPlainText(), "A harbour at dawn\nwith boats");
  info.Description.reset();
  dialog.Fill(info);
  EXPECT_EQ(dialog.Memo1->toPlainText(), "A harbour at dawn\nwith boats");
}

TEST_F(Dialogs, AboutThisJigsawDescriptionIsNavyOnlyOnWhite) {
  TAboutJigDlg dialog;
  dialog.show();
  EXPECT_EQ(TextColor(*dialog.Memo1, QPalette::Text), QColor(0, 0, 128));
  EXPECT_EQ(TextColor(*dialog.Memo1, QPalette::Base), QColor(Qt::white));
  dialog.hide();

  UseDarkScheme();
  dialog.show();
  EXPECT_EQ(TextColor(*dialog.Memo1, QPalette::Text), ToQColor(LightWindowText));
  EXPECT_EQ(TextColor(*dialog.Memo1, QPalette::Base), ToQColor(DarkWindow));
  EXPECT_EQ(TextColor(*dialog.JigStatus), ToQColor(LightWindowText));
  EXPECT_EQ(TextColor(*dialog.InfoGroup), ToQColor(LightWindowText));
  dialog.hide();

  // Any window colour but pure white, even a light one.
  SetSystemColor(COLOR_WINDOW, 0xFEFFFF);
  SetSystemColor(COLOR_WINDOWTEXT, 0x000000);
  dialog.show();
  EXPECT_EQ(TextColor(*dialog.Memo1, QPalette::Text), QColor(Qt::black));
}

TEST_F(Dialogs, AdaptColorsReplacesOnlyBlackText) {
  UseDarkScheme();
  QWidget form;
  auto* label = new QLabel(QStringLiteral("black"), &form);
  auto* blueLabel = new QLabel(QStringLiteral("blue"), &form);
  QPalette blue = blueLabel->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  blueLabel->setPalette(blue);
  auto* box = new QCheckBox(QStringLiteral("box"), &form);
  auto* group = new QGroupBox(QStringLiteral("group"), &form);
  auto* button = new QPushButton(QStringLiteral("button"), group);
  auto* panel = new QFrame(&form);
  auto* panelLabel = new QLabel(QStringLiteral("in the panel"), panel);
  auto* edit = new QLineEdit(&form);
  const QColor editText = TextColor(*edit, QPalette::Text);

  AdaptColors(form);

  EXPECT_EQ(TextColor(*label), ToQColor(LightWindowText));
  EXPECT_EQ(TextColor(*blueLabel), QColor(Qt::blue));
  EXPECT_EQ(TextColor(*box), ToQColor(LightWindowText));
  EXPECT_EQ(TextColor(*group), ToQColor(LightWindowText));
  EXPECT_EQ(TextColor(*button, QPalette::ButtonText), ToQColor(YellowButtonText));
  EXPECT_EQ(TextColor(*panel), ToQColor(YellowButtonText));
  // The label takes the panel's new colour, which is no longer black.
  EXPECT_EQ(TextColor(*panelLabel), ToQColor(YellowButtonText));
  EXPECT_EQ(TextColor(*edit, QPalette::Text), editText);
  EXPECT_EQ(TextColor(form), QColor(Qt::black)) << "the form itself is left alone";
  EXPECT_EQ(label->palette().color(QPalette::Disabled, QPalette::WindowText),
            form.palette().color(QPalette::Disabled, QPalette::WindowText));
}

TEST_F(Dialogs, SolveWindowLayout) {
  TSolveDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), "Set speed");
  EXPECT_EQ(dialog.size(), QSize(180, 70));
  EXPECT_EQ(dialog.pos(), QPoint(14, 334));
  EXPECT_EQ(dialog.windowType(), Qt::Tool);
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(dialog.font().pixelSize(), 13);
  EXPECT_FALSE(dialog.font().bold());

  EXPECT_EQ(dialog.OKBtn->text(), "Stop!");
  EXPECT_EQ(dialog.OKBtn->size(), QSize(105, 33));
  EXPECT_FALSE(dialog.OKBtn->icon().isNull());
  EXPECT_EQ(dialog.Panel1->size(), QSize(63, 61));
  EXPECT_EQ(dialog.Panel1->frameShadow(), QFrame::Sunken);
  EXPECT_EQ(dialog.SolveGauge->parent(), dialog.Panel1);
  EXPECT_EQ(dialog.SolveGauge->geometry(), dialog.Panel1->contentsRect());
  EXPECT_EQ(dialog.SolveGauge->ForeColor(), RGBColor(0, 0, 255));
  EXPECT_EQ(dialog.SolveGauge->BackColor(), clBtnFace);
  EXPECT_EQ(dialog.SolveGauge->toolTip(), "Percentage complete");
  EXPECT_EQ(dialog.SolveGauge->Minimum(), 0);
  EXPECT_EQ(dialog.SolveGauge->Maximum(), 100);
  EXPECT_EQ(dialog.SolveGauge->Progress(), 0);

  EXPECT_EQ(dialog.SpeedBar->size(), QSize(105, 27));
  EXPECT_EQ(dialog.SpeedBar->minimum(), 1);
  EXPECT_EQ(dialog.SpeedBar->maximum(), 10);
  EXPECT_EQ(dialog.SpeedBar->value(), 5);
  EXPECT_NE(dialog.SpeedBar->tickPosition(), QSlider::NoTicks);
  for (QWidget* control : {static_cast<QWidget*>(dialog.OKBtn), static_cast<QWidget*>(dialog.Panel1),
                           static_cast<QWidget*>(dialog.SpeedBar)})
    EXPECT_TRUE(QRect(QPoint(), dialog.size()).contains(control->geometry()))
        << control->objectName().toStdString();
  EXPECT_FALSE(dialog.OKBtn->geometry().intersects(dialog.SpeedBar->geometry()));
  EXPECT_FALSE(dialog.Panel1->geometry().intersects(dialog.OKBtn->geometry()));
}

TEST_F(Dialogs, SolveWindowStopsOnEveryWayOfClosing) {
  TSolveDlg dialog;
  int stops = 0;
  dialog.OnStop = [&] { ++stops; };

  dialog.show();
  dialog.OKBtn->click();
  EXPECT_EQ(stops, 1) << "Stop!";
  EXPECT_FALSE(dialog.isVisible());

  dialog.show();
  dialog.close();
  EXPECT_EQ(stops, 2) << "the close box";
  EXPECT_FALSE(dialog.isVisible());

  dialog.show();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &escape);
  EXPECT_EQ(stops, 3) << "Escape";
  EXPECT_FALSE(dialog.isVisible());

  // Put away by the program, not closed by the user.
  dialog.show();
  dialog.hide();
  EXPECT_EQ(stops, 3);
  // Nobody listening.
  dialog.OnStop = nullptr;
  dialog.show();
  dialog.OKBtn->click();
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(Gauge, PercentageIsTruncatedAndTheProgressClamped) {
  EXPECT_EQ(gauge_.PercentDone(), 0);
  gauge_.SetProgress(37);
  EXPECT_EQ(gauge_.PercentDone(), 37);
  gauge_.SetProgress(150);
  EXPECT_EQ(gauge_.Progress(), 100);
  EXPECT_EQ(gauge_.PercentDone(), 100);
  gauge_.SetProgress(-5);
  EXPECT_EQ(gauge_.Progress(), 0);
  EXPECT_EQ(gauge_.PercentDone(), 0);

  gauge_.SetRange(10, 20);
  EXPECT_EQ(gauge_.Progress(), 10) << "clamped into the new range";
  gauge_.SetProgress(15);
  EXPECT_EQ(gauge_.PercentDone(), 50);
  gauge_.SetProgress(19);
  EXPECT_EQ(gauge_.PercentDone(), 90);

  gauge_.SetRange(0, 3);
  EXPECT_EQ(gauge_.Progress(), 3);
  gauge_.SetProgress(1);
  EXPECT_EQ(gauge_.PercentDone(), 33);
  gauge_.SetProgress(2);
  EXPECT_EQ(gauge_.PercentDone(), 66);

  // The widest range: 2^31 * 100 / (2^32 - 1) is just over 50.
  gauge_.SetRange(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
  gauge_.SetProgress(0);
  EXPECT_EQ(gauge_.PercentDone(), 50);
  gauge_.SetProgress(std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(gauge_.PercentDone(), 100);
}

TEST_F(Gauge, EmptyRangeShowsNothingDone) {
  gauge_.SetRange(5, 5);
  for (std::int32_t progress : {-100, 5, 6, 1000}) {
    gauge_.SetProgress(progress);
    EXPECT_EQ(gauge_.Progress(), 5);
    EXPECT_EQ(gauge_.PercentDone(), 0) << progress;
  }
  // A maximum below the minimum leaves no range either.
  gauge_.SetRange(10, 4);
  EXPECT_EQ(gauge_.Maximum(), 10);
  gauge_.SetProgress(7);
  EXPECT_EQ(gauge_.Progress(), 10);
  EXPECT_EQ(gauge_.PercentDone(), 0);
}

TEST_F(Gauge, RepaintsOnlyWhenThePercentageShownChanges) {
  gauge_.SetRange(0, 1000);
  gauge_.show();
  QApplication::processEvents();
  TPaintCounter counter(gauge_);

  gauge_.SetProgress(5);
  gauge_.SetProgress(9);
  EXPECT_EQ(counter.Paints, 0) << "still 0 %";
  gauge_.SetProgress(10);
  EXPECT_EQ(counter.Paints, 1) << "1 %, painted at once";
  gauge_.SetProgress(19);
  gauge_.SetProgress(10);
  EXPECT_EQ(counter.Paints, 1);
  gauge_.SetProgress(20);
  EXPECT_EQ(counter.Paints, 2);
  // The same progress in a wider range: 20 of 2000 is 1 %, and so is 20 of
  // 1999.
  gauge_.SetRange(0, 2000);
  EXPECT_EQ(counter.Paints, 3);
  gauge_.SetRange(0, 1999);
  EXPECT_EQ(counter.Paints, 3);
  gauge_.SetProgress(2500);
  EXPECT_EQ(counter.Paints, 4);
  gauge_.SetProgress(2600);
  EXPECT_EQ(counter.Paints, 4) << "clamped to the same 100 %";
}

TEST_F(Gauge, PieGrowsClockwiseFromTwelve) {
  struct TCase {
    std::int32_t Progress;
    bool TopRight, BottomRight, BottomLeft, TopLeft;
  };
  for (const TCase& c : {TCase{0, false, false, false, false}, TCase{25, true, false, false, false},
                         TCase{50, true, true, false, false}, TCase{75, true, true, true, false},
                         TCase{100, true, true, true, true}}) {
    gauge_.SetProgress(c.Progress);
    const QImage image = gauge_.Render();
    const auto colour = [&](bool fore) { return fore ? Fore() : Back(); };
    EXPECT_EQ(Quarter(image, 1, -1), colour(c.TopRight)) << c.Progress;
    EXPECT_EQ(Quarter(image, 1, 1), colour(c.BottomRight)) << c.Progress;
    EXPECT_EQ(Quarter(image, -1, 1), colour(c.BottomLeft)) << c.Progress;
    EXPECT_EQ(Quarter(image, -1, -1), colour(c.TopLeft)) << c.Progress;
  }
}

TEST_F(Gauge, CircleInTheForeColourOnTheControlColour) {
  const QImage image = gauge_.Render();
  ASSERT_EQ(image.size(), QSize(61, 59));
  const QColor control = gauge_.palette().color(QPalette::Window);
  EXPECT_EQ(image.pixelColor(0, 0), control);
  EXPECT_EQ(image.pixelColor(60, 58), control);
  // The outline touches the middle of every side.
  EXPECT_EQ(image.pixelColor(0, 29), Fore());
  EXPECT_EQ(image.pixelColor(60, 29), Fore());
  EXPECT_EQ(image.pixelColor(30, 0), Fore());
  EXPECT_EQ(image.pixelColor(30, 58), Fore());
  EXPECT_EQ(image.pixelColor(5, 29), Back());
}

TEST_F(Gauge, PercentageIsWrittenByExclusiveOrOverBothColours) {
  gauge_.SetProgress(50);
  const QImage image = gauge_.Render();
  const QColor control = gauge_.palette().color(QPalette::Window);
  // Nothing but the three colours and their opposites: no smoothed edges.
  QSet<QRgb> allowed;
  for (const QColor& c : {Fore(), Back(), control}) allowed << c.rgb() << Inverse(c).rgb();
  int overFore = 0;
  int overBack = 0;
  QRect text;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      ASSERT_TRUE(allowed.contains(pixel.rgb())) << x << "," << y << " " << pixel.name().toStdString();
      const bool inverted = pixel == Inverse(Fore()) || pixel == Inverse(Back());
      overFore += pixel == Inverse(Fore());
      overBack += pixel == Inverse(Back());
      if (inverted) text |= QRect(x, y, 1, 1);
    }
  // "50%" straddles the slice's edge at twelve and six o'clock.
  EXPECT_GT(overFore, 10);
  EXPECT_GT(overBack, 10);
  EXPECT_NEAR(text.center().x(), 30, 3);
  EXPECT_NEAR(text.center().y(), 29, 3);
}

TEST_F(Gauge, ScreenShowsTheRenderedGauge) {
  gauge_.SetProgress(25);
  gauge_.show();
  EXPECT_EQ(gauge_.grab().toImage().convertToFormat(QImage::Format_RGB32), gauge_.Render());
}
