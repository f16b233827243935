#include "shell/quickhelpdlg.h"

#include <algorithm>
#include <span>
#include <utility>

#include "shell/adaptcolors.h"
#include "shell/fixeddialog.h"
#include "shell/fonts.h"

namespace {

constexpr int Margin = 12;
constexpr int GroupWidth = (TQuickHelpDlg::ClientWidth - 3 * Margin) / 2;
constexpr int SecondColumn = 2 * Margin + GroupWidth;
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

constexpr TText ZoomTexts[] = {
    {"Ctrl+wheel, pinch", "Zoom in or out there"},
    {"Wheel, Shift+wheel", "Scroll the view"},
    {"Middle mouse drag", "Move the zoomed view"},
    {"Space+left mouse drag", "Move the zoomed view"},
};

constexpr TText TrayTexts[] = {
    {"Left mouse on frame", "Move tray"},
    {"Left mouse on edge", "Resize tray"},
    {"Left mouse on box", "Close tray"},
    {"Right mouse", "Tray popup menu"},
    {"Tray bar button", "Open or close tray"},
};

constexpr TText KeyTexts[] = {
    {"Ctrl+Z", "Undo"},
    {"Ctrl+Y, Ctrl+Shift+Z", "Redo"},
    {"F2", "Zoom picture"},
    {"+ or Ctrl++", "Zoom in"},
    {"- or Ctrl+-", "Zoom out"},
    {"Ctrl+0", "Whole board"},
    {"Arrow keys", "Scroll the view"},
};

// A group just tall enough for its lines.
QGroupBox* Group(QWidget* parent, const QString& name, const char* title, int left, int top, int lines) {
  auto* group = new QGroupBox(QString::fromLatin1(title), parent);
  group->setObjectName(name);
  group->setGeometry(left, top, GroupWidth, FirstLine + (lines - 1) * LineStep + LineHeight + 14);
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
      PieceGroup(Group(this, QStringLiteral("PieceGroup"), "Mouse click over piece", Margin, 8,
                       std::size(PieceTexts))),
      BoardGroup(Group(this, QStringLiteral("BoardGroup"), "Mouse click over board", Margin,
                       PieceGroup->geometry().bottom() + 12, std::size(BoardTexts))),
      ZoomGroup(Group(this, QStringLiteral("ZoomGroup"), "Zoom and pan", Margin, BoardGroup->geometry().bottom() + 12,
                      std::size(ZoomTexts))),
      TrayGroup(Group(this, QStringLiteral("TrayGroup"), "Mouse on a tray", SecondColumn, 8, std::size(TrayTexts))),
      KeyGroup(Group(this, QStringLiteral("KeyGroup"), "Keys", SecondColumn, TrayGroup->geometry().bottom() + 12,
                     std::size(KeyTexts))),
      PieceLines(Lines(PieceGroup, PieceTexts)),
      BoardLines(Lines(BoardGroup, BoardTexts)),
      ZoomLines(Lines(ZoomGroup, ZoomTexts)),
      TrayLines(Lines(TrayGroup, TrayTexts)),
      KeyLines(Lines(KeyGroup, KeyTexts)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("QuickHelpDlg"));
  setWindowTitle(QStringLiteral("Quick help"));
  setFont(DesignFont(QStringLiteral("MS Sans Serif"), -13));
  SetFixedDialogSize(*this, ClientWidth, ClientHeight);

  // Centred below the groups; Enter and Escape close the window as well.
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry((ClientWidth - 96) / 2,
                     std::max(ZoomGroup->geometry().bottom(), KeyGroup->geometry().bottom()) + 24, 96, 33);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

  AdaptColors(*this);
}
