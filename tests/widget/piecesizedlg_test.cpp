#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPainter>
#include <QStatusTipEvent>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>
#include <set>
#include <vector>

#include "pieces/samplepiece.h"
#include "platform/canvas.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "shell/flattenbuttons.h"
#include "shell/modal.h"
#include "shell/piecesizedlg.h"
#include "tests/common/testgame.h"

namespace {

// What the dialog asked of the game, in order: "SetShape 3 4", "SetScale 150".
using TCalls = std::vector<QString>;

// A puzzle record on its own, for the size limits, whose calls are noted.
class TRecordSource : public TPieceSizeSource {
 public:
  TRecordSource(int pictureWidth, int pictureHeight, int columns, int rows) {
    record.PictureWidth = std::uint16_t(pictureWidth);
    record.PictureHeight = std::uint16_t(pictureHeight);
    record.Columns = std::uint16_t(columns);
    record.Rows = std::uint16_t(rows);
    record.Oddness = 5;
  }
  const TPuzzleRecord& Record() const override { return record; }
  void SetShape(std::int16_t oddness, std::int32_t style) override {
    Calls.push_back(QStringLiteral("SetShape %1 %2").arg(oddness).arg(style));
  }
  void SetScale(int percent) override { Calls.push_back(QStringLiteral("SetScale %1").arg(percent)); }

  TPuzzleRecord record;
  TCalls Calls;
};

// A real game behind the dialog; its SetScale can be made to fail at one
// scale, as it does when the system runs out of graphics resources.
class TGameSource : public TPieceSizeSource {
 public:
  explicit TGameSource(TJigsaw& game) : game_(game) {}
  const TPuzzleRecord& Record() const override { return game_.Record; }
  void SetShape(std::int16_t oddness, std::int32_t style) override {
    Calls.push_back(QStringLiteral("SetShape %1 %2").arg(oddness).arg(style));
    game_.SetShape(oddness, style);
  }
  void SetScale(int percent) override {
    Calls.push_back(QStringLiteral("SetScale %1").arg(percent));
    if (percent == FailingScale) throw EError(QStringLiteral("Out of graphics resources"));
    game_.SetScale(percent);
  }

  TCalls Calls;
  int FailingScale = 0;

 private:
  TJigsaw& game_;
};

// Stands in for the main window: it shows the status texts it is sent.
class TMainWindowStandIn : public QWidget {
 public:
  QString Text;

 protected:
  bool event(QEvent* event) override {
    if (event->type() != QEvent::StatusTip) return QWidget::event(event);
    Text = static_cast<QStatusTipEvent*>(event)->tip();
    return true;
  }
};

struct TShownMessage {
  TMsgType Type;
  QString Text;
};

class PieceSizeDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageHandler([this](TMsgType type, TMsgButtons, const QString& text) {
      Messages.push_back({type, text});
      return TMsgResult::Ok;
    });
  }
  void TearDown() override {
    SetMessageHandler({});
    SetModalHandler({});
  }

  // A 400 x 300 picture in 12 pieces: 4 columns and 3 rows of 100 x 100 at
  // 100 %, oddness 5, Classic.
  void StartGame() {
    ASSERT_TRUE(dir_.isValid());
    const QString gift = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift, 400, 300));
    // A play area on which the picture fits at its own size.
    game_ = std::make_unique<TTestGame>(gift, 800, 600);
    game_->Start();
    ASSERT_TRUE(game_->game->IsPlaying());
    ASSERT_EQ(game_->game->Record.ScalePercent, 100);
    ASSERT_EQ(game_->game->Record.Columns, 4);
    ASSERT_EQ(game_->game->Record.Rows, 3);
  }
  TJigsaw& Game() { return *game_->game; }

  // Opens the dialog as the Piece Size command does and lets `user` work it.
  static int Choose(TPieceSizeDlg& dialog, std::function<void(TPieceSizeDlg&)> user) {
    SetModalHandler([user](QDialog& shown) {
      user(dynamic_cast<TPieceSizeDlg&>(shown));
      return shown.result();
    });
    dialog.setResult(-1);
    ChoosePieceSize(dialog);
    return dialog.result();
  }

  std::vector<TShownMessage> Messages;

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TTestGame> game_;
};

// The preview as the screen shows it.
QImage Shown(const TPieceSizeDlg& dialog) {
  return dialog.PaintBox1->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The pieces subsystem's sample piece for that grid, worked out apart from
// the dialog, in the middle of the preview's background.
QImage SamplePiece(const TPieceSizeDlg& dialog, int scale, int oddness, int style, const TPictureGrid& grid) {
  const QColor background = dialog.PaintBox1->palette().color(QPalette::Window);
  const TColor fill = RGBColor(background.red(), background.green(), background.blue());
  TBitmap sheet(640, 640);
  sheet.Fill(fill);
  TCanvas canvas(sheet);
  DrawSamplePiece(&canvas, scale, oddness, style, grid);
  QRect drawn;
  for (int y = 0; y < sheet.Height(); ++y)
    for (int x = 0; x < sheet.Width(); ++x)
      if (sheet.Pixel(x, y) != fill) drawn |= QRect(x, y, 1, 1);
  TBitmap expected(213, 194);
  expected.Fill(fill);
  QPainter(&expected.Image())
      .drawImage(QPoint((213 - drawn.width()) / 2, (194 - drawn.height()) / 2), sheet.Image().copy(drawn));
  return expected.Image().convertToFormat(QImage::Format_RGB32);
}

// The box around the pure red pixels.
QRect RedBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == QColor(255, 0, 0)) box |= QRect(x, y, 1, 1);
  return box;
}

int RedPixels(const QImage& image) {
  int red = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) red += image.pixelColor(x, y) == QColor(255, 0, 0);
  return red;
}

std::vector<bool> Lights(const TPieceSizeDlg& dialog) {
  std::vector<bool> lit;
  for (const TLed* led : dialog.StyleLeds) lit.push_back(led->Lit());
  return lit;
}

std::vector<bool> OnlyLit(int style) {
  std::vector<bool> lit(6, false);
  lit[std::size_t(style - 1)] = true;
  return lit;
}

}  // namespace

TEST_F(PieceSizeDialog, LayoutTextsAndHints) {
  TRecordSource source(800, 600, 10, 10);
  TMainWindowStandIn mainWindow;
  TPieceSizeDlg dialog(source, &mainWindow);
  EXPECT_EQ(dialog.windowTitle(), "Set Piece Size and Shape");
  EXPECT_EQ(dialog.size(), QSize(337, 264));
  EXPECT_EQ(dialog.font().family(), "MS Sans Serif");
  EXPECT_EQ(dialog.font().pixelSize(), 13);
  EXPECT_FALSE(dialog.font().bold());

  EXPECT_EQ(dialog.Panel1->geometry(), QRect(8, 11, 217, 198));
  EXPECT_EQ(dialog.PaintBox1->parentWidget(), dialog.Panel1);
  EXPECT_EQ(dialog.PaintBox1->size(), QSize(213, 194));
  EXPECT_TRUE(dialog.Panel1->rect().contains(dialog.PaintBox1->geometry()));

  const std::vector<std::pair<QString, QString>> styles{
      {"Classic", "The traditional jigsaw piece style"}, {"Blip", "Straight edges and round tabs"},
      {"Squares", "Straight edges and no tabs"},         {"Stars", "Straight edges and pointed tabs"},
      {"Bubbles", "Curved edges and no tabs"},           {"Mixture", "A random mixture of all the different styles"}};
  const std::vector<QToolButton*> buttons{dialog.BtnClassic, dialog.BtnBlip,  dialog.BtnSquare,
                                          dialog.BtnStar,    dialog.BtnRound, dialog.BtnMix};
  const std::vector<TLed*> leds{dialog.LEDClassic, dialog.LEDBlip,  dialog.LEDSquare,
                                dialog.LEDStar,    dialog.LEDRound, dialog.LEDMix};
  std::set<QRgb> pictures;
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i + 1);
    QToolButton* button = buttons[std::size_t(i)];
    EXPECT_EQ(dialog.StyleButtons[std::size_t(i)], button);
    EXPECT_EQ(dialog.StyleLeds[std::size_t(i)], leds[std::size_t(i)]);
    EXPECT_EQ(button->geometry(), QRect(8 + 37 * i, 214, 32, 32));
    EXPECT_EQ(button->property(ButtonTag).toInt(), KeepOwnLook);
    EXPECT_TRUE(button->autoRaise());
    EXPECT_EQ(button->toolTip(), styles[std::size_t(i)].first);
    EXPECT_EQ(button->statusTip(), styles[std::size_t(i)].second);
    EXPECT_EQ(leds[std::size_t(i)]->geometry(), QRect(19 + 37 * i, 248, 10, 10));
    EXPECT_FALSE(leds[std::size_t(i)]->Lit());
    // Each style has its own picture: the piece, opaque in the middle.
    const QImage picture = button->icon().pixmap(26, 26).toImage();
    EXPECT_EQ(picture.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(picture.pixelColor(13, 13).alpha(), 255);
    QRgb sum = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) sum = sum * 31 + picture.pixel(x, y);
    pictures.insert(sum);
  }
  EXPECT_EQ(pictures.size(), 6u);

  EXPECT_EQ(dialog.OKBtn->geometry(), QRect(241, 10, 90, 30));
  EXPECT_EQ(dialog.OKBtn->text(), "OK");
  EXPECT_TRUE(dialog.OKBtn->isDefault());
  EXPECT_EQ(dialog.OKBtn->toolTip(), "");
  EXPECT_EQ(dialog.OKBtn->statusTip(), "Press OK to apply the new size");
  EXPECT_EQ(dialog.CancelBtn->pos(), QPoint(241, 45));
  EXPECT_EQ(dialog.CancelBtn->text(), "Cancel");
  // A push button as OK and Cancel are, right below them.
  EXPECT_EQ(dialog.ApplyBtn->geometry(), QRect(241, 80, 90, 30));
  EXPECT_FALSE(dialog.ApplyBtn->isFlat());
  EXPECT_EQ(dialog.ApplyBtn->text(), "Apply");
  EXPECT_EQ(dialog.ApplyBtn->toolTip(), "Apply changes");
  EXPECT_EQ(dialog.ApplyBtn->statusTip(), "Apply changes");

  EXPECT_EQ(dialog.Label4->text(), "Oddness:");
  EXPECT_EQ(dialog.Label4->pos(), QPoint(242, 161));
  EXPECT_EQ(dialog.Label1->text(), "Set size:");
  EXPECT_EQ(dialog.Label1->pos(), QPoint(241, 214));
  for (QLabel* label : {dialog.Label4, dialog.Label1, dialog.LabelScale})
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << label->text().toStdString();

  EXPECT_EQ(dialog.Panel3->geometry(), QRect(241, 177, 90, 31));
  EXPECT_EQ(dialog.ScrollBarOdd->parentWidget(), dialog.Panel3);
  EXPECT_EQ(dialog.LabelOdd->parentWidget(), dialog.Panel3);
  EXPECT_EQ(dialog.ScrollBarOdd->width(), 38);
  EXPECT_EQ(dialog.ScrollBarOdd->minimum(), 0);
  EXPECT_EQ(dialog.ScrollBarOdd->maximum(), 10);
  EXPECT_EQ(dialog.ScrollBarOdd->singleStep(), 1);
  EXPECT_EQ(dialog.ScrollBarOdd->statusTip(), "Set the amount of shape irregularity");
  EXPECT_EQ(dialog.LabelOdd->toolTip(), "Piece oddness");
  EXPECT_EQ(dialog.LabelOdd->statusTip(), "Change piece oddness factor");

  EXPECT_EQ(dialog.Panel2->geometry(), QRect(241, 230, 90, 31));
  EXPECT_EQ(dialog.ScrollBarScale->parentWidget(), dialog.Panel2);
  EXPECT_EQ(dialog.LabelScale->parentWidget(), dialog.Panel2);
  EXPECT_EQ(dialog.ScrollBarScale->width(), 38);
  EXPECT_EQ(dialog.ScrollBarScale->minimum(), 10);
  EXPECT_EQ(dialog.ScrollBarScale->maximum(), 300);
  EXPECT_EQ(dialog.ScrollBarScale->value(), 100);
  EXPECT_EQ(dialog.ScrollBarScale->singleStep(), 10);
  EXPECT_EQ(dialog.ScrollBarScale->pageStep(), 20);
  EXPECT_EQ(dialog.ScrollBarScale->toolTip(), "");
  EXPECT_EQ(dialog.ScrollBarScale->statusTip(), "");
  EXPECT_EQ(dialog.LabelScale->text(), "100%");
  EXPECT_EQ(dialog.LabelScale->toolTip(), "Piece size");
  EXPECT_EQ(dialog.LabelScale->statusTip(), "Change piece scale factor");
  EXPECT_EQ(dialog.ScaleLimit, 100);

  // A control's status text shows on the main window's status line.
  QStatusTipEvent tip(dialog.LabelScale->statusTip());
  QCoreApplication::sendEvent(&dialog, &tip);
  EXPECT_EQ(mainWindow.Text, "Change piece scale factor");

  // Nothing overlaps, and everything lies inside the client area.
  std::vector<QRect> controls{dialog.Panel1->geometry(),   dialog.OKBtn->geometry(),  dialog.CancelBtn->geometry(),
                              dialog.ApplyBtn->geometry(), dialog.Label4->geometry(), dialog.Panel3->geometry(),
                              dialog.Label1->geometry(),   dialog.Panel2->geometry()};
  for (QToolButton* button : buttons) controls.push_back(button->geometry());
  for (TLed* led : leds) controls.push_back(led->geometry());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    EXPECT_TRUE(QRect(0, 0, 337, 264).contains(controls[i])) << i;
    for (std::size_t j = i + 1; j < controls.size(); ++j)
      EXPECT_FALSE(controls[i].intersects(controls[j])) << i << " " << j;
  }
}

// 790 x 1000 in 10 columns and 4 rows: at scale s a piece is
// (s * 790 div 100) div 10 wide and (s * 1000 div 100) div 4 high. At 10 %
// that is 7 pixels wide (refused), at 20 % 15; at 256 % 640 high (the
// largest allowed), at 257 % 642 (refused).
TEST_F(PieceSizeDialog, RefusedScalesSpringBackToTheLastAccepted) {
  TRecordSource source(790, 1000, 10, 4);
  TPieceSizeDlg dialog(source);
  dialog.FormShow();
  EXPECT_EQ(dialog.LabelScale->text(), "100%");
  EXPECT_EQ(dialog.LabelOdd->text(), "5");

  dialog.ScrollBarScale->setValue(20);
  EXPECT_EQ(dialog.ScaleLimit, 20);
  EXPECT_EQ(dialog.LabelScale->text(), "20%");
  dialog.ScrollBarScale->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(dialog.ScrollBarScale->value(), 20) << "7-pixel pieces";
  EXPECT_EQ(dialog.LabelScale->text(), "20%");
  EXPECT_EQ(Shown(dialog), SamplePiece(dialog, 20, 5, 1, {790, 1000, 10, 4}))
      << "the preview shows the accepted scale again";

  dialog.ScrollBarScale->setValue(250);
  dialog.ScrollBarScale->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(dialog.ScrollBarScale->value(), 250) << "650-pixel pieces";
  dialog.ScrollBarScale->setValue(256);
  EXPECT_EQ(dialog.LabelScale->text(), "256%");
  dialog.ScrollBarScale->setValue(257);
  EXPECT_EQ(dialog.ScrollBarScale->value(), 256);
  EXPECT_EQ(dialog.ScaleLimit, 256);
  // The bar's range ends at 10 and 300, both refused here.
  dialog.ScrollBarScale->setValue(5);
  EXPECT_EQ(dialog.ScrollBarScale->value(), 256);
  dialog.ScrollBarScale->setValue(400);
  EXPECT_EQ(dialog.ScrollBarScale->value(), 256);
  EXPECT_EQ(dialog.LabelScale->text(), "256%");

  // The limit stays for the next opening: a game whose own scale is refused
  // springs back to it.
  source.record.ScalePercent = 10;
  dialog.FormShow();
  EXPECT_EQ(dialog.ScrollBarScale->value(), 256);
  EXPECT_FALSE(dialog.Changed);

  // 8000 x 8000 in 100 x 100: pieces of 88 pixels at 110 %, but a picture of
  // 8800 x 8800 is larger than the game holds, so that scale is refused too.
  TRecordSource large(8000, 8000, 100, 100);
  TPieceSizeDlg largeDialog(large);
  largeDialog.FormShow();
  largeDialog.ScrollBarScale->setValue(110);
  EXPECT_EQ(largeDialog.ScrollBarScale->value(), 100);
  largeDialog.ScrollBarScale->setValue(90);
  EXPECT_EQ(largeDialog.ScrollBarScale->value(), 90);

  EXPECT_TRUE(source.Calls.empty()) << "a refused scale never reaches the game";
  EXPECT_TRUE(large.Calls.empty());
}

TEST_F(PieceSizeDialog, OpensOnTheGameAndPreviewsTheSamplePieceOfTheChoice) {
  StartGame();
  Game().SetShape(7, 4);  // stored for the next cut: Stars, oddness 7
  TGameSource source(Game());
  TPieceSizeDlg dialog(source);
  const TPictureGrid grid{400, 300, 4, 3};
  const TBitmap board = Game().View.BoardBitmap;
  const TPuzzleRecord record = Game().Record;

  int result = Choose(dialog, [&](TPieceSizeDlg& shown) {
    EXPECT_EQ(shown.ScrollBarScale->value(), 100);
    EXPECT_EQ(shown.LabelScale->text(), "100%");
    EXPECT_EQ(shown.ScrollBarOdd->value(), 7);
    EXPECT_EQ(shown.LabelOdd->text(), "7");
    EXPECT_EQ(shown.StyleIndex, 4);
    EXPECT_EQ(Lights(shown), OnlyLit(4));
    EXPECT_FALSE(shown.Changed);
    const QImage star = Shown(shown);
    EXPECT_EQ(star, SamplePiece(shown, 100, 7, 4, grid));
    EXPECT_GT(RedPixels(star), 100 * 100 / 2) << "a piece of 100 x 100 pixels";

    shown.BtnRound->click();
    EXPECT_EQ(Lights(shown), OnlyLit(5));
    EXPECT_EQ(shown.StyleIndex, 5);
    EXPECT_TRUE(shown.Changed);
    const QImage bubble = Shown(shown);
    EXPECT_EQ(bubble, SamplePiece(shown, 100, 7, 5, grid));
    EXPECT_NE(bubble, star);

    shown.ScrollBarOdd->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(shown.LabelOdd->text(), "6");
    EXPECT_EQ(Shown(shown), SamplePiece(shown, 100, 6, 5, grid));
    shown.ScrollBarScale->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(shown.LabelScale->text(), "120%");
    EXPECT_EQ(Lights(shown), OnlyLit(5)) << "the scale leaves the style alone";
    EXPECT_EQ(Shown(shown), SamplePiece(shown, 120, 6, 5, grid));

    EXPECT_TRUE(shown.PreviewNote().isEmpty());

    // A piece larger than the box is shown whole in its middle, smaller,
    // and the box says so.
    shown.ScrollBarScale->setValue(200);
    const QImage large = Shown(shown);
    const QRect red = RedBox(large);
    EXPECT_GT(red.left(), 0);
    EXPECT_GT(red.top(), 0);
    EXPECT_LT(red.right(), large.width() - 1);
    EXPECT_LE(std::abs(red.left() - (large.width() - 1 - red.right())), 2) << "centred across";
    EXPECT_TRUE(shown.PreviewNote().startsWith(QStringLiteral("Shown at "))) << shown.PreviewNote().toStdString();

    shown.BtnMix->click();
    EXPECT_EQ(Lights(shown), OnlyLit(6));
    shown.CancelBtn->click();
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_TRUE(source.Calls.empty()) << "Cancel applies nothing";
  EXPECT_EQ(Game().Record, record);
  EXPECT_TRUE(SameBitmap(Game().View.BoardBitmap, board));
  EXPECT_TRUE(Messages.empty());
}

TEST_F(PieceSizeDialog, ApplyRecutsThroughTheOwnerAndOkAppliesOnlyWhatIsLeft) {
  StartGame();
  TGameSource source(Game());
  TPieceSizeDlg dialog(source);
  // The owner holds the re-cut back, as it does while auto-solve runs.
  std::vector<std::function<void()>> heldBack;
  dialog.OnRecut = [&](std::function<void()> recut) { heldBack.push_back(std::move(recut)); };

  // Untouched, OK cuts nothing.
  EXPECT_EQ(Choose(dialog, [](TPieceSizeDlg& shown) { shown.OKBtn->click(); }), QDialog::Accepted);
  EXPECT_TRUE(heldBack.empty());

  // Apply, then OK: one re-cut, of the values chosen when Apply was pressed.
  EXPECT_EQ(Choose(dialog,
                   [](TPieceSizeDlg& shown) {
                     shown.BtnSquare->click();
                     shown.ScrollBarOdd->setValue(3);
                     shown.ScrollBarScale->setValue(150);
                     shown.ApplyBtn->click();
                     EXPECT_FALSE(shown.Changed);
                     shown.OKBtn->click();
                   }),
            QDialog::Accepted);
  ASSERT_EQ(heldBack.size(), 1u);
  EXPECT_TRUE(source.Calls.empty()) << "nothing happens before the owner runs the re-cut";
  EXPECT_EQ(Game().Record.ScalePercent, 100);
  heldBack[0]();
  EXPECT_EQ(source.Calls, (TCalls{"SetShape 3 3", "SetScale 150"}));
  EXPECT_EQ(Game().Record.ShapeStyle, 3);
  EXPECT_EQ(Game().Record.Oddness, 3);
  EXPECT_EQ(Game().Record.ScalePercent, 150);
  EXPECT_EQ(Game().Record.CutWidth, 600);
  EXPECT_EQ(Game().Record.CutHeight, 450);

  // OK after a change applies it; the next opening starts from the game.
  dialog.OnRecut = {};
  source.Calls.clear();
  EXPECT_EQ(Choose(dialog,
                   [](TPieceSizeDlg& shown) {
                     EXPECT_EQ(shown.LabelScale->text(), "150%");
                     EXPECT_EQ(Lights(shown), OnlyLit(3));
                     shown.BtnBlip->click();
                     shown.OKBtn->click();
                   }),
            QDialog::Accepted);
  EXPECT_EQ(source.Calls, (TCalls{"SetShape 3 2", "SetScale 150"}));
  EXPECT_EQ(Game().Record.ShapeStyle, 2);
  EXPECT_TRUE(Messages.empty());
}

TEST_F(PieceSizeDialog, FailedCutSaysSoAndFallsBackToFullSize) {
  StartGame();
  TGameSource source(Game());
  source.FailingScale = 200;
  TPieceSizeDlg dialog(source);
  Choose(dialog, [](TPieceSizeDlg& shown) {
    shown.ScrollBarScale->setValue(150);
    shown.ApplyBtn->click();
    shown.ScrollBarScale->setValue(200);
    shown.ApplyBtn->click();
    // The dialog shows the scale the puzzle has now.
    EXPECT_EQ(shown.ScrollBarScale->value(), 100);
    EXPECT_EQ(shown.LabelScale->text(), "100%");
    EXPECT_FALSE(shown.Changed);
    shown.OKBtn->click();
  });
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Type, TMsgType::Error);
  EXPECT_EQ(Messages[0].Text,
            "Insufficient graphics resources to set such a large piece size - reducing the number of Windows desktop "
            "colors may help. Setting scale factor back to 100%...");
  EXPECT_EQ(source.Calls, (TCalls{"SetShape 5 1", "SetScale 150", "SetShape 5 1", "SetScale 200", "SetScale 100"}));
  EXPECT_EQ(Game().Record.ScalePercent, 100);
  EXPECT_EQ(Game().Record.CutWidth, 400);
  EXPECT_EQ(Game().Record.CutHeight, 300);
}
