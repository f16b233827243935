#include "shell/playarea.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "platform/cursors.h"
#include "platform/resources.h"
#include "shell/devicepixels.h"

namespace {

QCursor CursorFor(int cursor) {
  switch (cursor) {
    case crSizeNESW:
      return Qt::SizeBDiagCursor;
    case crSizeNS:
      return Qt::SizeVerCursor;
    case crSizeNWSE:
      return Qt::SizeFDiagCursor;
    case crSizeWE:
      return Qt::SizeHorCursor;
    case crHourGlass:
      return Qt::WaitCursor;
    case crHandPoint:
      return Qt::PointingHandCursor;
    case crSizeAll:
      return Qt::SizeAllCursor;
    case crClosedHand: {
      static const TCursorImage hand = LoadCursorResource(crClosedHand);
      return QCursor(QPixmap::fromImage(hand.Image), hand.HotSpot.X, hand.HotSpot.Y);
    }
    default:
      return Qt::ArrowCursor;
  }
}

}  // namespace

TPlayArea::TPlayArea(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PaintBox1"));
  // Every pixel comes from the screen copy: nothing is erased underneath.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

TPoint TPlayArea::ClientToScreen(TPoint point) const {
  const TPoint origin = Origin();
  const QPoint device(point.X - origin.X, point.Y - origin.Y);
  const QPoint global = mapToGlobal(ToLogicalPoint(device, CopyRatio())).toPoint();
  return {global.x(), global.y()};
}

bool TPlayArea::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  // Moved to a screen of another scale: the same widget has other device
  // pixels, and the board follows.
  if (event->type() == QEvent::ScreenChangeInternal) FollowDeviceSize();
  return handled;
}

void TPlayArea::paintEvent(QPaintEvent* event) {
  if (devicePixelRatioF() != ratio_) {
    // A change of scale that came without a screen change: the board is
    // rebuilt once this paint is over.
    QMetaObject::invokeMethod(this, &TPlayArea::FollowDeviceSize, Qt::QueuedConnection);
  }
  QPainter painter(this);
  if (ShowsStandIn()) {
    for (const QRect& r : event->region()) DrawDevicePixels(painter, standIn_, r, CopyRatio());
    return;
  }
  PaintInvalid();
  for (const QRect& r : event->region()) {
    if (Image().IsEmpty())
      painter.fillRect(r, Qt::black);
    else
      DrawDevicePixels(painter, Image().Image(), r, CopyRatio());
  }
}

void TPlayArea::resizeEvent(QResizeEvent*) { SizeToDevice(); }

void TPlayArea::SizeToDevice() {
  ratio_ = devicePixelRatioF();
  const QSize device = DeviceSize(*this);
  Resize(device.width(), device.height());
  emit Resized();
}

void TPlayArea::FollowDeviceSize() {
  const QSize device = DeviceSize(*this);
  if (devicePixelRatioF() != ratio_ || device != QSize(PlayAreaWidth(), PlayAreaHeight())) SizeToDevice();
}

QPoint TPlayArea::DevicePoint(QPointF logical) const { return ToDevicePoint(logical, CopyRatio()); }

QPoint TPlayArea::BoardPoint(QPoint device) const {
  const TPoint origin = Origin();
  return device + QPoint(origin.X, origin.Y);
}

QPoint TPlayArea::ToBoard(const QMouseEvent& event) const { return BoardPoint(DevicePoint(event.position())); }

void TPlayArea::ShowStandIn(const QImage& picture) {
  standIn_ = picture;
  repaint();
}

void TPlayArea::DropStandIn() {
  if (!ShowsStandIn()) return;
  standIn_ = QImage();
  update();
}

void TPlayArea::ShowPanCursor(bool panning) {
  setCursor(panning ? QCursor(Qt::ClosedHandCursor) : CursorFor(Cursor()));
}

void TPlayArea::mousePressEvent(QMouseEvent* event) {
  PassPendingMove();
  emit MousePressed(event->button(), event->modifiers(), event->buttons(), ToBoard(*event));
}

void TPlayArea::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void TPlayArea::mouseReleaseEvent(QMouseEvent* event) {
  PassPendingMove();
  emit MouseReleased(event->button(), ToBoard(*event));
}

void TPlayArea::mouseMoveEvent(QMouseEvent* event) {
  pendingModifiers_ = event->modifiers();
  pendingButtons_ = event->buttons();
  pendingPosition_ = DevicePoint(event->position());
  if (movePending_) return;
  movePending_ = true;
  QMetaObject::invokeMethod(this, &TPlayArea::PassPendingMove, Qt::QueuedConnection);
}

void TPlayArea::PassPendingMove() {
  if (!movePending_) return;
  movePending_ = false;
  emit MouseMoved(pendingModifiers_, pendingButtons_, BoardPoint(pendingPosition_));
}

void TPlayArea::Show(const QRegion& region, bool now) {
  const QRegion logical = ToLogicalRegion(region, CopyRatio());
  if (now)
    repaint(logical);
  else
    update(logical);
}

void TPlayArea::ShowCursor(int cursor) { setCursor(CursorFor(cursor)); }
