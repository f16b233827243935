#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QToolButton>

#include <ostream>
#include <vector>

#include "game/picture.h"
#include "game/windowstate.h"
#include "platform/colors.h"
#include "platform/messagebox.h"
#include "platform/system.h"
#include "platform/utility.h"
#include "shell/aboutbox.h"
#include "shell/flattenbuttons.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/mousedlg.h"
#include "shell/overlayform.h"
#include "shell/quickhelpdlg.h"
#include "tests/common/testgift.h"

// Sizes read as sizes in failure messages.
void PrintTo(const QSize& size, std::ostream* out) { *out << size.width() << " x " << size.height(); }

namespace {

struct TShownMessage {
  TMsgType Type;
  QString Text;
};

// Answers message boxes with OK and dialogs through `answer`, recording the
// messages; both handlers are put back afterwards.
class SecondaryWindows : public ::testing::Test {
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
    SetBrowserCommandSource({});
    ResetSystemColors();
  }

  std::vector<TShownMessage> Messages;
};

QColor TextColor(const QWidget& widget) { return widget.palette().color(QPalette::Active, QPalette::WindowText); }

// Lets the window system deliver what a resize or a show has queued.
void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// A picture of 400 x 300 behind the overlay, painted in one colour.
class TFakeSource : public TOverlaySource {
 public:
  explicit TFakeSource(TWindowState& window) : window_(window) {}

  bool BoardLive() const override { return Live; }
  void PaintOverlay(TBitmap& box) override {
    Painted.push_back({box.Width(), box.Height()});
    box.Fill(RGBColor(0x20, 0x80, 0x40));
  }
  void FitOverlay() override {
    ++Fits;
    const TSize fitted = FitSize(0, 400, 300, window_.OverlayClientWidth, window_.OverlayClientHeight);
    window_.SetOverlayClientSize(fitted.Width, fitted.Height);
  }

  bool Live = false;
  int Fits = 0;
  std::vector<QSize> Painted;

 private:
  TWindowState& window_;
};

}  // namespace

TEST_F(SecondaryWindows, QuickHelpLayoutAndTexts) {
  SetSystemColor(COLOR_WINDOWTEXT, 0xE0F0F0);
  TQuickHelpDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), "Quick help");
  EXPECT_EQ(dialog.size(), QSize(768, 524));
  EXPECT_EQ(dialog.font().family(), "MS Sans Serif");
  EXPECT_EQ(dialog.font().pixelSize(), 13);
  EXPECT_FALSE(dialog.font().bold());

  EXPECT_EQ(dialog.PieceGroup->title(), "Mouse click over piece");
  EXPECT_EQ(dialog.BoardGroup->title(), "Mouse click over board");
  EXPECT_GT(dialog.BoardGroup->y(), dialog.PieceGroup->geometry().bottom());
  const std::vector<std::pair<QString, QString>> pieceTexts{
      {"Left mouse", "Move piece"},           {"Right mouse", "Piece popup menu"},
      {"Shift+left mouse", "Fetch neighbor"}, {"Shift+right mouse", "Show neighbor"},
      {"Ctrl+left mouse", "Rotate piece left"}, {"Ctrl+right mouse", "Rotate piece right"}};
  const std::vector<std::pair<QString, QString>> boardTexts{{"Left mouse", "Drag box to select pieces"},
                                                            {"Right mouse", "Board popup menu"}};
  const auto check = [](QGroupBox* group, const std::vector<TQuickHelpDlg::TLine>& lines,
                        const std::vector<std::pair<QString, QString>>& texts) {
    ASSERT_EQ(lines.size(), texts.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const auto& [gesture, action] = lines[i];
      EXPECT_EQ(gesture->text(), texts[i].first);
      EXPECT_EQ(action->text(), texts[i].second);
      EXPECT_EQ(gesture->parent(), group);
      EXPECT_EQ(gesture->y(), action->y());
      EXPECT_TRUE(gesture->alignment() & Qt::AlignLeft);
      EXPECT_TRUE(action->alignment() & Qt::AlignRight);
      EXPECT_LT(gesture->geometry().right(), action->x());
      EXPECT_TRUE(QRect(QPoint(), group->size()).contains(action->geometry())) << i;
      // Each action is fully readable in its column.
      EXPECT_LE(action->fontMetrics().horizontalAdvance(action->text()), action->width()) << i;
      if (i > 0) {
        EXPECT_GT(gesture->y(), lines[i - 1].Gesture->geometry().bottom());
      }
    }
  };
  check(dialog.PieceGroup, dialog.PieceLines, pieceTexts);
  check(dialog.BoardGroup, dialog.BoardLines, boardTexts);
  EXPECT_EQ(dialog.ZoomGroup->title(), "Zoom and pan");
  EXPECT_GT(dialog.ZoomGroup->y(), dialog.BoardGroup->geometry().bottom());
  check(dialog.ZoomGroup, dialog.ZoomLines,
        {{"Ctrl+wheel, pinch", "Zoom in or out there"},
         {"Wheel, Shift+wheel", "Scroll the view"},
         {"Middle mouse drag", "Move the zoomed view"},
         {"Space+left mouse drag", "Move the zoomed view"}});
  // Beside them, the trays and the keys.
  EXPECT_GT(dialog.TrayGroup->x(), dialog.PieceGroup->geometry().right());
  EXPECT_GT(dialog.KeyGroup->y(), dialog.TrayGroup->geometry().bottom());
  check(dialog.TrayGroup, dialog.TrayLines,
        {{"Left mouse on frame", "Move tray"},
         {"Left mouse on edge", "Resize tray"},
         {"Left mouse on box", "Close tray"},
         {"Right mouse", "Tray popup menu"},
         {"Tray bar button", "Open or close tray"}});
  check(dialog.KeyGroup, dialog.KeyLines,
        {{"Ctrl+Z", "Undo"},
         {"Ctrl+Y, Ctrl+Shift+Z", "Redo"},
         {"F2", "Zoom picture"},
         {"+ or Ctrl++", "Zoom in"},
         {"- or Ctrl+-", "Zoom out"},
         {"Ctrl+0", "Whole board"},
         {"Arrow keys", "Scroll the view"}});
  // Black texts take the scheme's colour as the window is made.
  EXPECT_EQ(TextColor(*dialog.PieceLines[0].Gesture), ToQColor(0xE0F0F0));

  EXPECT_EQ(dialog.OKBtn->text(), "OK");
  EXPECT_TRUE(dialog.OKBtn->isDefault());
  EXPECT_EQ(dialog.OKBtn->x() + dialog.OKBtn->width() / 2, 768 / 2);
  EXPECT_GT(dialog.OKBtn->y(), dialog.ZoomGroup->geometry().bottom());
  EXPECT_GT(dialog.OKBtn->y(), dialog.KeyGroup->geometry().bottom());
  EXPECT_LE(dialog.OKBtn->geometry().bottom(), 524);
  dialog.show();
  dialog.OKBtn->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(SecondaryWindows, AboutBoxLayoutAndWebLabel) {
  TAboutBox box{QString()};
  EXPECT_EQ(box.windowTitle(), "About Tessarine Gift");
  EXPECT_EQ(box.size(), QSize(397, 216));
  EXPECT_EQ(box.font().family(), "Arial");
  EXPECT_EQ(box.font().pixelSize(), 13);
  EXPECT_EQ(box.Panel1->size(), QSize(378, 151));
  EXPECT_EQ(box.Panel1->frameShadow(), QFrame::Raised);
  EXPECT_EQ(box.ProgramIcon->size(), QSize(124, 104));
  EXPECT_FALSE(box.ProgramIcon->pixmap().isNull());

  for (QLabel* name : {box.ProductShad, box.ProductName}) {
    EXPECT_EQ(name->text(), "Tessarine Gift");
    EXPECT_EQ(name->font().family(), "Times New Roman");
    EXPECT_EQ(name->font().pixelSize(), 22);
    EXPECT_TRUE(name->font().bold());
    EXPECT_TRUE(name->font().italic());
  }
  EXPECT_EQ(TextColor(*box.ProductShad), QColor(Qt::white));
  EXPECT_EQ(TextColor(*box.ProductName), QColor(Qt::red));
  EXPECT_EQ(box.ProductName->pos(), box.ProductShad->pos() - QPoint(1, 0));
  EXPECT_GT(box.Panel1->children().indexOf(box.ProductName), box.Panel1->children().indexOf(box.ProductShad))
      << "the red name lies in front";
  EXPECT_EQ(box.Version->text(), "player " TG_VERSION);
  EXPECT_EQ(box.Notice->y(), box.Version->y() + 3 * box.Version->height() / 2);
  EXPECT_FALSE(box.Notice->text().isEmpty());
  EXPECT_GT(box.Comment->y(), box.ProgramIcon->geometry().bottom());
  for (QLabel* label : {box.ProgramIcon, box.Version, box.Notice, box.Comment})
    EXPECT_TRUE(box.Panel1->contentsRect().contains(label->geometry())) << label->objectName().toStdString();
  EXPECT_EQ(box.OKButton->text(), "OK");
  EXPECT_GT(box.OKButton->y(), box.Panel1->geometry().bottom());
  EXPECT_LE(box.OKButton->geometry().bottom(), 216);

  box.show();
  EXPECT_FALSE(box.WebLab->isVisible()) << "no web address, no link";

  // With an address: a blue underlined link that opens the browser on it;
  // here there is none, so the user is told where to go.
  SetBrowserCommandSource([] { return QString(); });
  TAboutBox withSite(QStringLiteral("https://example.org"));
  withSite.show();
  EXPECT_TRUE(withSite.WebLab->isVisible());
  EXPECT_EQ(withSite.WebLab->text(), "https://example.org");
  EXPECT_EQ(TextColor(*withSite.WebLab), QColor(Qt::blue));
  EXPECT_TRUE(withSite.WebLab->font().underline());
  EXPECT_EQ(withSite.WebLab->font().pixelSize(), 15);
  EXPECT_EQ(withSite.WebLab->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_GT(withSite.WebLab->y(), withSite.Panel1->geometry().bottom());
  EXPECT_FALSE(withSite.WebLab->geometry().intersects(withSite.OKButton->geometry()));
  const QPointF inside(4, 4);
  QMouseEvent press(QEvent::MouseButtonPress, inside, withSite.WebLab->mapToGlobal(inside), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, inside, withSite.WebLab->mapToGlobal(inside), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(withSite.WebLab, &press);
  QApplication::sendEvent(withSite.WebLab, &release);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_TRUE(Messages[0].Text.contains(QStringLiteral("please connect to https://example.org yourself")));
}

TEST_F(SecondaryWindows, MouseDialogLayoutAndChoice) {
  TMouseDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), "Choose mouse action");
  EXPECT_EQ(dialog.size(), QSize(294, 134));
  EXPECT_EQ(dialog.font().pixelSize(), 14);
  EXPECT_FALSE(dialog.font().bold());
  EXPECT_EQ(dialog.MouseAction->title(), "Mouse action");
  ASSERT_EQ(dialog.MouseAction->Items.size(), 2u);
  EXPECT_EQ(dialog.MouseAction->Items[0]->text(), "Default");
  EXPECT_EQ(dialog.MouseAction->Items[1]->text(), "Alternative");
  EXPECT_EQ(dialog.MouseAction->ItemIndex(), 0);
  EXPECT_EQ(dialog.OKBtn->text(), "OK");
  EXPECT_TRUE(dialog.OKBtn->isDefault());
  EXPECT_EQ(dialog.CancelBtn->text(), "Cancel");
  EXPECT_EQ(dialog.HelpBtn->text(), "&Help");
  std::vector<QRect> controls{dialog.MouseAction->geometry(), dialog.OKBtn->geometry(), dialog.CancelBtn->geometry(),
                              dialog.HelpBtn->geometry()};
  for (std::size_t i = 0; i < controls.size(); ++i) {
    EXPECT_TRUE(QRect(0, 0, 294, 134).contains(controls[i])) << i;
    for (std::size_t j = i + 1; j < controls.size(); ++j) EXPECT_FALSE(controls[i].intersects(controls[j])) << i << j;
  }

  // The user's answer: the item to pick, and OK or Cancel. The dialog must
  // open on the mode in use.
  int opened = -1;
  const auto answer = [&](int pick, int result) {
    SetModalHandler([&opened, pick, result](QDialog& shown) {
      auto& mouse = dynamic_cast<TMouseDlg&>(shown);
      opened = mouse.MouseAction->ItemIndex();
      mouse.MouseAction->Items[std::size_t(pick)]->click();
      return result;
    });
  };
  const QString reminder = QStringLiteral(
      "Alternative mouse action is enabled. Don't forget to enable \"Options/Rotating Pieces\" for piece rotation!");

  answer(1, QDialog::Accepted);
  EXPECT_EQ(ChooseMouseMode(dialog, 0, true), 1);
  EXPECT_EQ(opened, 0);
  EXPECT_TRUE(Messages.empty()) << "rotation is on: nothing to remind";

  EXPECT_EQ(ChooseMouseMode(dialog, 0, false), 1);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Type, TMsgType::Information);
  EXPECT_EQ(Messages[0].Text, reminder);

  // Cancel keeps the mode, and the reminder comes all the same.
  answer(0, QDialog::Rejected);
  EXPECT_EQ(ChooseMouseMode(dialog, 1, false), 1);
  EXPECT_EQ(opened, 1);
  ASSERT_EQ(Messages.size(), 2u);
  EXPECT_EQ(Messages[1].Text, reminder);

  answer(0, QDialog::Accepted);
  EXPECT_EQ(ChooseMouseMode(dialog, 1, false), 0);
  EXPECT_EQ(Messages.size(), 2u) << "back to Default: no reminder";

  // Help explains both modes.
  dialog.HelpBtn->click();
  ASSERT_EQ(Messages.size(), 3u);
  EXPECT_EQ(Messages[2].Type, TMsgType::Information);
  EXPECT_TRUE(Messages[2].Text.contains(QStringLiteral("Default:")));
  EXPECT_TRUE(Messages[2].Text.contains(QStringLiteral("Alternative:")));
}

TEST_F(SecondaryWindows, OverlayFollowsTheWindowStateAndFitsThePicture) {
  TWindowState window;
  TFakeSource source(window);
  TOverlayForm overlay(window, source);
  int closes = 0;
  QObject::connect(&overlay, &TOverlayForm::Closed, [&] { ++closes; });

  EXPECT_EQ(overlay.windowTitle(), "Picture");
  EXPECT_EQ(overlay.windowType(), Qt::Tool);
  const Qt::WindowFlags flags = overlay.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(overlay.pos(), QPoint(16, 200));
  EXPECT_EQ(overlay.size(), QSize(160, 95));

  // Before the board is live: an empty window, and the game is not asked.
  overlay.show();
  Settle();
  EXPECT_EQ(overlay.grab().toImage().pixelColor(80, 40), ToQColor(clBtnFace));
  EXPECT_TRUE(source.Painted.empty());
  overlay.resize(300, 120);
  Settle();
  EXPECT_EQ(source.Fits, 0);
  EXPECT_EQ(window.OverlayClientWidth, 300) << "the user's size is kept for the fit to come";
  EXPECT_EQ(window.OverlayClientHeight, 120);

  // The game sets the size: the window follows.
  window.SetOverlayClientSize(200, 150);
  Settle();
  EXPECT_EQ(overlay.size(), QSize(200, 150));

  // Live: a wider shape is narrowed to 4:3, a taller one lowered again.
  source.Live = true;
  overlay.resize(400, 120);
  Settle();
  EXPECT_EQ(overlay.size(), QSize(160, 120));
  EXPECT_EQ(window.OverlayClientWidth, 160);
  overlay.resize(200, 400);
  Settle();
  EXPECT_EQ(overlay.size(), QSize(200, 150));

  overlay.Invalidate();
  const QImage shown = overlay.grab().toImage();
  EXPECT_EQ(shown.pixelColor(100, 75), QColor(0x20, 0x80, 0x40));
  ASSERT_FALSE(source.Painted.empty());
  EXPECT_EQ(source.Painted.back(), QSize(200, 150));

  // Hidden by the Picture command: no signal; closed by its close box: one.
  overlay.hide();
  EXPECT_EQ(closes, 0);
  overlay.show();
  overlay.close();
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(overlay.isVisible());
}

TEST_F(SecondaryWindows, FlattenButtonsReachesEveryWindowButTheTaggedButtons) {
  QWidget first;
  QWidget second;
  auto* plain = new QToolButton(&first);
  auto* own = new QToolButton(&first);
  own->setProperty(ButtonTag, KeepOwnLook);
  auto* elsewhere = new QToolButton(&second);
  FlattenButtons(true);
  EXPECT_TRUE(plain->autoRaise());
  EXPECT_TRUE(elsewhere->autoRaise());
  EXPECT_FALSE(own->autoRaise());
  own->setAutoRaise(true);
  FlattenButtons(false);
  EXPECT_FALSE(plain->autoRaise());
  EXPECT_FALSE(elsewhere->autoRaise());
  EXPECT_TRUE(own->autoRaise());
}
