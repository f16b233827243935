#pragma once
// Labels placed as the windows are laid out: at a fixed place, text from the
// top left, in a colour of their own.

#include <QColor>
#include <QLabel>
#include <QRect>
#include <QString>

QLabel* PlacedLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry);
void SetTextColor(QLabel& label, const QColor& color);
