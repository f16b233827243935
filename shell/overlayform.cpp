#include "shell/overlayform.h"

#include <QCloseEvent>
#include <QPainter>

#include "shell/devicepixels.h"
#include "shell/fonts.h"

TOverlayForm::TOverlayForm(TWindowState& window, TOverlaySource& source, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      window_(window),
      source_(source) {
  setObjectName(QStringLiteral("OverlayForm"));
  setWindowTitle(QStringLiteral("Picture"));
  // The picture covers every pixel; nothing needs erasing under it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Shown when the game starts, it must not take the keyboard and the clock
  // from the main window.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setMinimumSize(16, 16);
  move(16, 200);
  resize(window_.OverlayClientWidth, window_.OverlayClientHeight);
  connect(&window_, &TWindowState::OverlaySizeChanged, this,
          [this] { resize(window_.OverlayClientWidth, window_.OverlayClientHeight); });
}

void TOverlayForm::Invalidate() {
  picture_ = TBitmap();
  update();
}

void TOverlayForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!source_.BoardLive()) {
    painter.fillRect(rect(), ToQColor(clBtnFace));
    return;
  }
  // Drawn at the screen's device pixels, so the picture is as sharp at any
  // display scale.
  const QSize device = DeviceSize(*this);
  if (picture_.Width() != device.width() || picture_.Height() != device.height()) {
    picture_ = TBitmap(device.width(), device.height());
    source_.PaintOverlay(picture_);
  }
  DrawDevicePixels(painter, picture_.Image(), rect(), devicePixelRatioF());
}

void TOverlayForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The fitted size comes back through the window state and resizes the
  // window again; a fit never grows the size, so this soon settles.
  window_.SetOverlayClientSize(width(), height());
  if (source_.BoardLive()) source_.FitOverlay();
}

void TOverlayForm::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit Closed();
}
