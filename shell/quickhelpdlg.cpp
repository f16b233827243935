#include "shell/quickhelpdlg.h"

#include <span>
#include <utility>

#include "shell/adaptcolors.h"
#include "shell/fonts.h"

namespace {

constexpr int Margin = 12;
constexpr int GroupWidth = TQuickHelpDlg::ClientWidth - 2 * Margin;
constexpr int FirstLine = 28;
constexpr int LineStep = 26;
constexpr int LineHeight = 20;
constexpr int TextInset = 14;
constexpr int GestureWidth = 160;

using TText = std::pair<const char*, const char*>;

constexpr TText PieceTexts[] = {
    {"Left mouse", "Move piece"},
    {"Right mouse", "Piece popup menu"},
    {"Shift+left mouse", "Fetch neighbor"},
    {"Shift+right mouse", "Show neighbor"},
    {"Ctrl+left mouse", "Rotate piece left"},
    {"Ctrl+right mouse", "Rotate piece right"},
};

constexpr TText BoardTexts[] = {
    {"Left mouse", "Drag box to select pieces"},
    {"Right mouse", "Board popup menu"},
};

// A group just tall enough for its lines.
QGroupBox* Group(QWidget* parent, const QString& name, const char* title, int top, int lines) {
  auto* group = new QGroupBox(QString::fromLatin1(title), parent);
  group->setObjectName(name);
  group->setGeometry(Margin, top, GroupWidth, FirstLine + (lines - 1) * LineStep + LineHeight + 14);
  return group;
}

std::vector<TQuickHelpDlg::TLine> Lines(QGroupBox* group, std::span<const TText> texts) {
  std::vector<TQuickHelpDlg::TLine> lines;
  const int actionLeft = TextInset + GestureWidth;
  const int actionWidth = group->width() - TextInset - actionLeft;
  for (const auto& [gesture, action] : texts) {
    const int top = FirstLine + int(lines.size()) * LineStep;
    auto* left = new QLabel(QString::fromLatin1(gesture), group);
    left->setGeometry(TextInset, top, GestureWidth, LineHeight);
    left->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* right = new QLabel(QString::fromLatin1(action), group);
    right->setGeometry(actionLeft, top, actionWidth, LineHeight);
    right->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lines.push_back({left, right});
  }
  return lines;
}

}  // namespace

TQuickHelpDlg::TQuickHelpDlg(QWidget* parent)
    : QDialog(parent),
      PieceGroup(Group(this, QStringLiteral("PieceGroup"), "Mouse click over piece", 8, std::size(PieceTexts))),
      BoardGroup(Group(this, QStringLiteral("BoardGroup"), "Mouse click over board",
                       PieceGroup->geometry().bottom() + 12, std::size(BoardTexts))),
      PieceLines(Lines(PieceGroup, PieceTexts)),
      BoardLines(Lines(BoardGroup, BoardTexts)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("QuickHelpDlg"));
  setWindowTitle(QStringLiteral("Quick help"));
  setFont(DesignFont(QStringLiteral("MS Sans Serif"), -13));
  setFixedSize(ClientWidth, ClientHeight);

  // Centred below the groups; Enter and Escape close the window as well.
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry((ClientWidth - 96) / 2, BoardGroup->geometry().bottom() + 24, 96, 33);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

  AdaptColors(*this);
}
