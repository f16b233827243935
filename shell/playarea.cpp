#include "shell/playarea.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "platform/cursors.h"
#include "platform/resources.h"

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
  const QPoint global = mapToGlobal(QPoint(point.X, point.Y));
  return {global.x(), global.y()};
}

void TPlayArea::paintEvent(QPaintEvent* event) {
  PaintInvalid();
  QPainter painter(this);
  for (const QRect& r : event->region()) {
    if (Image().IsEmpty())
      painter.fillRect(r, Qt::black);
    else
      painter.drawImage(r, Image().Image(), r);
  }
}

void TPlayArea::resizeEvent(QResizeEvent*) {
  Resize(width(), height());
  emit Resized();
}

void TPlayArea::mousePressEvent(QMouseEvent* event) {
  PassPendingMove();
  emit MousePressed(event->button(), event->modifiers(), event->buttons(), event->position().toPoint());
}

void TPlayArea::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void TPlayArea::mouseReleaseEvent(QMouseEvent* event) {
  PassPendingMove();
  emit MouseReleased(event->button(), event->position().toPoint());
}

void TPlayArea::mouseMoveEvent(QMouseEvent* event) {
  pendingModifiers_ = event->modifiers();
  pendingButtons_ = event->buttons();
  pendingPosition_ = event->position().toPoint();
  if (movePending_) return;
  movePending_ = true;
  QMetaObject::invokeMethod(this, &TPlayArea::PassPendingMove, Qt::QueuedConnection);
}

void TPlayArea::PassPendingMove() {
  if (!movePending_) return;
  movePending_ = false;
  emit MouseMoved(pendingModifiers_, pendingButtons_, pendingPosition_);
}

void TPlayArea::Show(const QRegion& region, bool now) {
  if (now)
    repaint(region);
  else
    update(region);
}

void TPlayArea::ShowCursor(int cursor) { setCursor(CursorFor(cursor)); }
