#pragma once
// The play area's widget: it shows the screen copy that the game draws on,
// recomposes what is invalid through the paint handler, and passes the mouse
// on.

#include <QWidget>

#include <functional>

#include "display/screen.h"

class TPlayArea : public QWidget, public TScreen {
  Q_OBJECT

 public:
  explicit TPlayArea(QWidget* parent = nullptr);

  TPoint ClientToScreen(TPoint point) const override;

 signals:
  void Resized();
  void MousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons,
                    QPoint position);
  void MouseReleased(Qt::MouseButton button, QPoint position);
  void MouseMoved(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, QPoint position);

 protected:
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

  bool movePending_ = false;
  Qt::KeyboardModifiers pendingModifiers_;
  Qt::MouseButtons pendingButtons_;
  QPoint pendingPosition_;
};
