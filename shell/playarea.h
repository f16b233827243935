#pragma once
// The play area's widget: it shows the screen copy that the game draws on,
// recomposes what is invalid through the paint handler, and passes the mouse
// on. The copy, and so the board, has the screen's device pixels: at a display
// scale above 100 % the board is drawn at full resolution, never magnified.
// Everything the game sees (sizes, mouse positions, popup points) is in those
// pixels; the widget maps them to and from Qt's logical ones. A zoomed board
// is larger than the widget, which shows it from the screen's origin on: the
// board pixel under a device pixel of the widget is that pixel plus the
// origin.

#include <QImage>
#include <QWidget>

#include <functional>

#include "display/screen.h"

class TPlayArea : public QWidget, public TScreen {
  Q_OBJECT

 public:
  explicit TPlayArea(QWidget* parent = nullptr);

  TPoint ClientToScreen(TPoint point) const override;

  // Device pixels per logical pixel that the copy was sized for.
  qreal Ratio() const { return ratio_; }
  // The copy's pixels per logical pixel: the device's, fewer while the
  // copy is magnified.
  qreal CopyRatio() const { return ratio_ / Magnification(); }
  // A widget position to the pixel of the copy under it (the device's,
  // unless magnified), and that to the board pixel shown there.
  QPoint DevicePoint(QPointF logical) const;
  QPoint BoardPoint(QPoint device) const;

  // A zoom's first frame: the picture shows instead of the screen copy, at
  // once, until DropStandIn; what the game invalidates meanwhile waits.
  void ShowStandIn(const QImage& picture);
  void DropStandIn();
  bool ShowsStandIn() const { return !standIn_.isNull(); }
  // While the view is dragged along, the closed hand shows; after it, the
  // game's cursor again.
  void ShowPanCursor(bool panning);

 signals:
  // The device size changed: a new widget size, or a new display scale.
  void Resized();
  // Positions are board pixels.
  void MousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons,
                    QPoint position);
  void MouseReleased(Qt::MouseButton button, QPoint position);
  void MouseMoved(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, QPoint position);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

  void Show(const QRegion& region, bool now) override;
  void ShowCursor(int cursor) override;

 private:
  // Moves that arrive faster than frames are drawn are passed on as one,
  // the latest, so the floating image is where the pointer is.
  void PassPendingMove();
  QPoint ToBoard(const QMouseEvent& event) const;
  // Sizes the copy to the widget's device pixels, and tells.
  void SizeToDevice();
  // The same, when they changed.
  void FollowDeviceSize();

  qreal ratio_ = 1;

  bool movePending_ = false;
  Qt::KeyboardModifiers pendingModifiers_;
  Qt::MouseButtons pendingButtons_;
  // In device pixels: the view may scroll before the move is passed on.
  QPoint pendingPosition_;
  QImage standIn_;
};
