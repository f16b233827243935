#pragma once
// The whole picture on the whole screen, until a key or a click.

#include <QDialog>

#include <functional>

#include "platform/bitmap.h"

class TZoomForm : public QDialog {
  Q_OBJECT

 public:
  // painter draws the picture into a bitmap of the window's size.
  TZoomForm(std::function<void(TBitmap&)> painter, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::function<void(TBitmap&)> painter_;
  TBitmap picture_;
};
