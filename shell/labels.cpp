#include "shell/labels.h"

#include <QPalette>

QLabel* PlacedLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

void SetTextColor(QLabel& label, const QColor& color) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, color);
  label.setPalette(palette);
}
