#include "shell/aboutjigdlg.h"

#include <QPalette>

#include "platform/colors.h"
#include "shell/adaptcolors.h"
#include "shell/fixeddialog.h"
#include "shell/fonts.h"
#include "shell/labels.h"

namespace {

constexpr int CaptionLeft = 12;
constexpr int ValueLeft = 84;
// The creation line, "Created <date> by version <version>  (as v4)", shows
// whole at the design's font.
constexpr int ValueWidth = 356;
constexpr int LineHeight = 18;
constexpr TColor Navy = 0x800000;

QLabel* Caption(QWidget* parent, const QString& name, const QString& text, int top) {
  return PlacedLabel(parent, name, text, {CaptionLeft, top, ValueLeft - CaptionLeft, LineHeight});
}

QLabel* Value(QWidget* parent, const QString& name, int top, int height = LineHeight) {
  return PlacedLabel(parent, name, QString(), {ValueLeft, top, ValueWidth, height});
}

QGroupBox* Group(QWidget* parent, const QString& name, const QString& title, QRect geometry) {
  auto* group = new QGroupBox(title, parent);
  group->setObjectName(name);
  group->setGeometry(geometry);
  return group;
}

}  // namespace

TAboutJigDlg::TAboutJigDlg(QWidget* parent)
    : QDialog(parent),
      InfoGroup(Group(this, QStringLiteral("InfoGroup"), QStringLiteral("Information"), {11, 8, ClientWidth - 22, 200})),
      TitleLabel(Caption(InfoGroup, QStringLiteral("TitleLabel"), QStringLiteral("Title:"), 26)),
      CreatorLabel(Caption(InfoGroup, QStringLiteral("CreatorLabel"), QStringLiteral("Creator:"), 52)),
      InfoLabel(Caption(InfoGroup, QStringLiteral("InfoLabel"), QStringLiteral("Info:"), 78)),
      StatusLabel(Caption(InfoGroup, QStringLiteral("StatusLabel"), QStringLiteral("Status:"), 126)),
      TitleName(Value(InfoGroup, QStringLiteral("TitleName"), 26)),
      CreatorName(Value(InfoGroup, QStringLiteral("CreatorName"), 52)),
      PuzzleStats(Value(InfoGroup, QStringLiteral("PuzzleStats"), 78)),
      CreationStats(Value(InfoGroup, QStringLiteral("CreationStats"), 78 + LineHeight + 2)),
      JigStatus(Value(InfoGroup, QStringLiteral("JigStatus"), 126, 49)),
      DescriptionGroup(Group(this, QStringLiteral("DescriptionGroup"), QStringLiteral("Description"),
                             {11, 216, ClientWidth - 22, 161})),
      Memo1(new QPlainTextEdit(QStringLiteral("Hello there!"), DescriptionGroup)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("AboutJigDlg"));
  setWindowTitle(QStringLiteral("About this jigsaw"));
  setFont(DesignFont(QStringLiteral("MS Sans Serif"), -14, true));
  SetFixedDialogSize(*this, ClientWidth, ClientHeight);

  JigStatus->setWordWrap(true);

  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(10, 22, ClientWidth - 42, 129);
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setFont(DesignFont(QStringLiteral("MS Sans Serif"), -13, true));

  // Centred below the groups.
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry((ClientWidth - 96) / 2, 393, 96, 33);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutJigDlg::Fill(const TAboutInfo& info) {
  TitleName->setText(info.Title);
  CreatorName->setText(info.Creator);
  PuzzleStats->setText(info.Statistics);
  CreationStats->setText(info.Creation);
  JigStatus->setText(info.Status);
  if (info.Description) Memo1->setPlainText(*info.Description);
}

void TAboutJigDlg::showEvent(QShowEvent* event) {
  AdaptColors(*this);
  // The description is navy on white; on any other window colour navy may
  // not read, so it takes the scheme's own text colour.
  const TColor window = ColorToRGB(SystemColor(COLOR_WINDOW));
  QPalette memo = Memo1->palette();
  memo.setColor(QPalette::Base, ToQColor(window));
  memo.setColor(QPalette::Text, ToQColor(window == clWhite ? Navy : SystemColor(COLOR_WINDOWTEXT)));
  Memo1->setPalette(memo);
  QDialog::showEvent(event);
}
