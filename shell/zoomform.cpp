#include "shell/zoomform.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "shell/devicepixels.h"

TZoomForm::TZoomForm(std::function<void(TBitmap&)> painter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), painter_(std::move(painter)) {
  setObjectName(QStringLiteral("ZoomForm"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A window system that places windows itself (Wayland) is asked for the
  // whole screen.
  setWindowState(Qt::WindowFullScreen);
}

void TZoomForm::showEvent(QShowEvent* event) {
  // The screen the main window is on.
  const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (screen) setGeometry(screen->geometry());
  QDialog::showEvent(event);
}

void TZoomForm::paintEvent(QPaintEvent*) {
  const QSize device = DeviceSize(*this);
  if (picture_.Width() != device.width() || picture_.Height() != device.height()) {
    picture_ = TBitmap(device.width(), device.height());
    painter_(picture_);
  }
  QPainter painter(this);
  DrawDevicePixels(painter, picture_.Image(), rect(), devicePixelRatioF());
}

void TZoomForm::keyPressEvent(QKeyEvent*) { accept(); }

void TZoomForm::mousePressEvent(QMouseEvent*) { accept(); }
