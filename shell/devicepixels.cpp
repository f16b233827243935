#include "shell/devicepixels.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace {

int Floor(qreal value) { return int(std::floor(value)); }
// A value a hair above a whole number, as 3 x 1.1 comes out, is that number.
int Ceil(qreal value) { return int(std::ceil(value - 1e-9)); }

}  // namespace

QSize DeviceSize(const QWidget& widget) {
  const qreal ratio = widget.devicePixelRatioF();
  return {int(std::lround(widget.width() * ratio)), int(std::lround(widget.height() * ratio))};
}

QPoint ToDevicePoint(QPointF logical, qreal ratio) {
  // A hair below a whole number still lands on it: 100 / 1.5 x 1.5 is 100.
  return {Floor(logical.x() * ratio + 1e-9), Floor(logical.y() * ratio + 1e-9)};
}

QPointF ToLogicalPoint(QPoint device, qreal ratio) { return {device.x() / ratio, device.y() / ratio}; }

QRect ToDeviceRect(const QRect& logical, qreal ratio) {
  if (logical.isEmpty()) return {};
  const int left = Floor(logical.x() * ratio + 1e-9), top = Floor(logical.y() * ratio + 1e-9);
  const int right = Ceil((logical.x() + logical.width()) * ratio);
  const int bottom = Ceil((logical.y() + logical.height()) * ratio);
  return QRect(left, top, right - left, bottom - top);
}

QRect ToLogicalRect(const QRect& device, qreal ratio) {
  if (device.isEmpty()) return {};
  const int left = Floor(device.x() / ratio + 1e-9), top = Floor(device.y() / ratio + 1e-9);
  const int right = Ceil((device.x() + device.width()) / ratio);
  const int bottom = Ceil((device.y() + device.height()) / ratio);
  return QRect(left, top, right - left, bottom - top);
}

QRegion ToLogicalRegion(const QRegion& device, qreal ratio) {
  QRegion logical;
  for (const QRect& r : device) logical += ToLogicalRect(r, ratio);
  return logical;
}

void DrawDevicePixels(QPainter& painter, const QImage& image, const QRect& logical, qreal ratio) {
  const QRect source = ToDeviceRect(logical, ratio).intersected(image.rect());
  if (source.isEmpty()) return;
  // The target is the source's own size in logical units, so the painter's
  // scale to the device brings every pixel back to one pixel.
  const QRectF target(source.x() / ratio, source.y() / ratio, source.width() / ratio, source.height() / ratio);
  painter.drawImage(target, image, source);
}
