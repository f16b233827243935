#include "shell/adaptcolors.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

#include "platform/colors.h"
#include "shell/fonts.h"

namespace {

void ReplaceBlack(QWidget& widget, QPalette::ColorRole role, TColor systemColor) {
  QPalette palette = widget.palette();
  if (palette.color(QPalette::Active, role).rgb() != QColor(Qt::black).rgb()) return;
  // Disabled text keeps the scheme's grey.
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
    palette.setColor(group, role, ToQColor(systemColor));
  widget.setPalette(palette);
}

bool ShowsWindowText(const QWidget& widget) {
  return qobject_cast<const QLabel*>(&widget) || qobject_cast<const QCheckBox*>(&widget) ||
         qobject_cast<const QRadioButton*>(&widget) || qobject_cast<const QGroupBox*>(&widget);
}

}  // namespace

void AdaptColors(QWidget& form) {
  // Parents come before their children, so a child that takes its colour
  // from a panel is judged by the panel's new colour, as it is drawn.
  for (QWidget* child : form.findChildren<QWidget*>()) {
    if (ShowsWindowText(*child)) {
      ReplaceBlack(*child, QPalette::WindowText, SystemColor(COLOR_WINDOWTEXT));
    } else if (qobject_cast<QPushButton*>(child)) {
      ReplaceBlack(*child, QPalette::ButtonText, clBtnText);
    } else if (child->metaObject() == &QFrame::staticMetaObject) {
      // A plain frame is a panel; labels, memos and lists are frames too,
      // but of their own kinds.
      ReplaceBlack(*child, QPalette::WindowText, clBtnText);
    }
  }
}
