#include "shell/speedbar.h"

#include <QLinearGradient>
#include <QPainter>

#include "shell/glyphs.h"

namespace {

enum TButtonFlags : unsigned { Disabled = 1, Toggle = 2, Down = 4 };

struct TButtonRow {
  QToolButton* TSpeedBar::*Button;
  const char* Name;
  int Left;
  const char* Hint;  // "tool tip|status tip"
  TGlyph Glyph;
  unsigned Flags;
};

constexpr TButtonRow Buttons[] = {
    {&TSpeedBar::SpeedPicture, "SpeedPicture", 8, "Picture|Toggle the picture overlay", TGlyph::Picture, 0},
    {&TSpeedBar::SpeedSize, "SpeedSize", 38, "Piece size|Change the size of pieces", TGlyph::PieceSize,
     Disabled},
    {&TSpeedBar::SpeedEdge, "SpeedEdge", 68, "Arrange at edge|Arrange pieces around edge",
     TGlyph::ArrangeAtEdge, Disabled},
    {&TSpeedBar::SpeedGrid, "SpeedGrid", 98, "Arrange in grid|Arrange pieces in a grid",
     TGlyph::ArrangeInGrid, Disabled},
    {&TSpeedBar::SpeedSound, "SpeedSound", 138, "Sound|Turn sound effects on/off", TGlyph::Sound,
     Toggle | Down},
    {&TSpeedBar::SpeedMusic, "SpeedMusic", 168, "Music|Turn background music on/off", TGlyph::Music,
     Toggle | Down},
    {&TSpeedBar::SpeedUndo, "SpeedUndo", 208, "Undo (Ctrl+Z)|Take back the last change to the board",
     TGlyph::Undo, Disabled},
    {&TSpeedBar::SpeedRedo, "SpeedRedo", 238, "Redo (Ctrl+Y)|Make the change taken back again",
     TGlyph::Redo, Disabled},
    {&TSpeedBar::SpeedHelp, "SpeedHelp", 278, "Quick Help|Display mouse and keyboard controls",
     TGlyph::QuickHelp, 0},
};

}  // namespace

TSpeedBar::TSpeedBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("SpeedBar"));
  setFixedHeight(BarHeight);
  for (const TButtonRow& row : Buttons) {
    auto* button = new QToolButton(this);
    this->*row.Button = button;
    button->setObjectName(QString::fromLatin1(row.Name));
    const QString hint = QString::fromLatin1(row.Hint);
    button->setToolTip(hint.section(u'|', 0, 0));
    button->setStatusTip(hint.section(u'|', 1));
    button->setIcon(GlyphIcon(row.Glyph));
    button->setIconSize(QSize(GlyphSize(row.Glyph), GlyphSize(row.Glyph)));
    button->setGeometry(row.Left, (BarHeight - ButtonSize) / 2, ButtonSize, ButtonSize);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setEnabled(!(row.Flags & Disabled));
    button->setCheckable(row.Flags & Toggle);
    button->setChecked(row.Flags & Down);
  }
}

void PaintBarFace(QWidget& bar, int lineY) {
  QPainter painter(&bar);
  const QColor face = bar.palette().color(QPalette::Button);
  QLinearGradient shade(0, 0, 0, bar.height());
  shade.setColorAt(0, face.lighter(108));
  shade.setColorAt(1, face.darker(106));
  painter.fillRect(bar.rect(), shade);
  painter.setPen(bar.palette().color(QPalette::Mid));
  painter.drawLine(0, lineY, bar.width(), lineY);
}

void TSpeedBar::paintEvent(QPaintEvent*) { PaintBarFace(*this, height() - 1); }
