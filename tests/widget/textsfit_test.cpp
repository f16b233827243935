#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>

#include <string>
#include <vector>

#include "game/progress.h"
#include "platform/messagebox.h"
#include "shell/aboutbox.h"
#include "shell/aboutjigdlg.h"
#include "shell/congratsdlg.h"
#include "shell/giftmakerdlg.h"
#include "shell/mainform.h"
#include "shell/modal.h"
#include "shell/mousedlg.h"
#include "shell/piecesizedlg.h"
#include "shell/quickhelpdlg.h"
#include "shell/solvedlg.h"
#include "shell/splashform.h"
#include "tests/common/testgift.h"

namespace {

// The texts of a window that do not show whole: a label's text wider or
// taller than the label (a wrapping label's lines taller than it), a
// button's text and icon wider than the button, a group's title wider than
// the group.
std::vector<std::string> CutTexts(QWidget& window) {
  std::vector<std::string> cut;
  const auto name = [&](const QWidget* w, const QString& text) {
    return (window.objectName() + QStringLiteral(" ") + w->objectName() + QStringLiteral(": ") + text).toStdString();
  };
  for (QLabel* label : window.findChildren<QLabel*>()) {
    QString text = label->text();
    // A label that names a field shows its shortcut's "&" as an underline.
    if (label->buddy()) text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    if (text.isEmpty() || !label->isVisibleTo(&window) || Qt::mightBeRichText(text)) continue;
    const QRect room = label->contentsRect().marginsRemoved(label->contentsMargins());
    if (label->wordWrap()) {
      if (label->heightForWidth(label->width()) > label->height()) cut.push_back(name(label, text));
      continue;
    }
    const QRect needs = label->fontMetrics().boundingRect(QRect(0, 0, 100000, 100000), Qt::TextExpandTabs, text);
    if (needs.width() > room.width() || needs.height() > room.height() + 2) cut.push_back(name(label, text));
  }
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    QString text = button->text();
    text.remove(QLatin1Char('&'));
    if (text.isEmpty() || !button->isVisibleTo(&window)) continue;
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    // A check box's or radio button's indicator stands before its text.
    const int indicator = button->inherits("QCheckBox") || button->inherits("QRadioButton") ? 20 : 8;
    // A tool button may show its text under its icon.
    const auto* tool = qobject_cast<QToolButton*>(button);
    const bool under = tool && tool->toolButtonStyle() == Qt::ToolButtonTextUnderIcon;
    const int advance = button->fontMetrics().horizontalAdvance(text);
    if ((under ? std::max(advance, icon) : advance + icon) + indicator > button->width())
      cut.push_back(name(button, text));
  }
  for (QGroupBox* group : window.findChildren<QGroupBox*>())
    if (!group->title().isEmpty() && group->fontMetrics().horizontalAdvance(group->title()) + 16 > group->width())
      cut.push_back(name(group, group->title()));
  return cut;
}

class TextsFit : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    gift_ = dir_.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(WriteTestGift(gift_, 400, 300));
    SetMessageHandler([](TMsgType, TMsgButtons, const QString&) { return TMsgResult::Ok; });
    SetModalHandler([](QDialog&) { return int(QDialog::Accepted); });
  }
  void TearDown() override {
    SetMessageHandler({});
    SetModalHandler({});
  }

  QTemporaryDir dir_;
  QString gift_;
};

}  // namespace

// Every window with the texts a long game gives it, at the fonts the windows
// were laid out for and at the display scale the test runs at.
TEST_F(TextsFit, EveryTextOfEveryWindowShowsWhole) {
  TMainForm form([this] { return gift_; });
  form.show();
  QApplication::processEvents();
  form.Timer1->stop();
  form.Timer1Timer();
  ASSERT_TRUE(form.Game && form.Game->IsPlaying());

  TPuzzleRecord record = form.Game->Record;
  record.PieceCount = 1000;
  record.SolvedCount = 999;
  record.ElapsedSeconds = 125 * 60 + 59;
  record.CheatCount = 12;
  record.AutoSolveUsed = 1;
  record.CreatorVersion = QStringLiteral("v1.0");
  record.FormatVersion = 5;
  record.CreatedAt = 45000.5;
  TAboutJigDlg about;
  about.Fill(AboutInfo(record));
  TCongratsDlg congratulations(CompletionText(record));
  TQuickHelpDlg help;
  TAboutBox box(QStringLiteral("https://example.org"));
  TGiftMakerDlg maker({});
  maker.show();  // laid out by its layouts

  for (QWidget* window : std::initializer_list<QWidget*>{
           &form, form.SplashForm.get(), form.PieceSizeDlg, form.MouseDlg, form.SolveDlg, &about, &congratulations,
           &help, &box, &maker}) {
    window->ensurePolished();
    EXPECT_EQ(CutTexts(*window), std::vector<std::string>{}) << window->objectName().toStdString();
  }
  EXPECT_TRUE(about.CreationStats->text().endsWith(QStringLiteral("(as v4)")));

  // A window of one size has nothing to minimise or maximise.
  for (QDialog* fixed : std::initializer_list<QDialog*>{form.PieceSizeDlg, form.MouseDlg, form.SolveDlg, &about,
                                                         &congratulations, &help, &box}) {
    EXPECT_EQ(fixed->minimumSize(), fixed->maximumSize()) << fixed->objectName().toStdString();
    EXPECT_FALSE(fixed->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint))
        << fixed->objectName().toStdString();
    EXPECT_TRUE(fixed->windowFlags() & Qt::WindowCloseButtonHint) << fixed->objectName().toStdString();
  }
}
