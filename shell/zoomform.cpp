#include "shell/zoomform.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

TZoomForm::TZoomForm(std::function<void(TBitmap&)> painter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), painter_(std::move(painter)) {
  setObjectName(QStringLiteral("ZoomForm"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TZoomForm::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
  QDialog::showEvent(event);
}

void TZoomForm::paintEvent(QPaintEvent*) {
  if (picture_.Width() != width() || picture_.Height() != height()) {
    picture_ = TBitmap(width(), height());
    painter_(picture_);
  }
  QPainter(this).drawImage(0, 0, picture_.Image());
}

void TZoomForm::keyPressEvent(QKeyEvent*) { accept(); }

void TZoomForm::mousePressEvent(QMouseEvent*) { accept(); }
