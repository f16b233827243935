#pragma once
// The screen's own pixels under a widget. Qt lays widgets out in logical
// pixels, which a display scale of 125 %, 150 % or 200 % magnifies; pictures
// that our code draws are drawn at the device's pixels instead and shown one
// to one, so they stay as sharp as at 100 %.

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

class QImage;
class QPainter;
class QWidget;

// The widget's size in device pixels.
QSize DeviceSize(const QWidget& widget);

// A logical point to the device pixel under it.
QPoint ToDevicePoint(QPointF logical, qreal ratio);
// A device point to the logical point it lies in, for mapping to the screen.
QPointF ToLogicalPoint(QPoint device, qreal ratio);
// Rectangles and regions between the two, rounded outward: every pixel that
// the rectangle touches on the other side is included.
QRect ToDeviceRect(const QRect& logical, qreal ratio);
QRect ToLogicalRect(const QRect& device, qreal ratio);
QRegion ToLogicalRegion(const QRegion& device, qreal ratio);

// Draws the part of a device-pixel image that lies under the logical rect
// of the painter's widget, its pixels one to one on the screen's.
void DrawDevicePixels(QPainter& painter, const QImage& image, const QRect& logical, qreal ratio);
